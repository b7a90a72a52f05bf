// Tests of colour values, font creation and a control's font: values, re-creation, repaint.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/wtext.h"
#include "smallib/ctrl.h"
#include "smallib/fonts.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

LOGFONTW logFontOf(HFONT font) {
    LOGFONTW lf{};
    EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    return lf;
}

TEST(Colors, NegativeValuesNameSystemColors) {
    const struct {
        TColor value;
        COLORREF expected;
    } cases[] = {
        {-COLOR_BTNFACE, GetSysColor(COLOR_BTNFACE)},
        {-COLOR_WINDOW, GetSysColor(COLOR_WINDOW)},
        {0, RGB(0, 0, 0)},
        {static_cast<TColor>(RGB(255, 255, 255)), RGB(255, 255, 255)},
        {static_cast<TColor>(RGB(1, 2, 3)), RGB(1, 2, 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ResolveColor(c.value), c.expected);
    }
}

TEST(MakeFont, TurnsValuesIntoTheLogicalFont) {
    TFontName arial;
    StrToFontName(u"Arial", arial);
    TFontName longName;
    StrToFontName(std::u16string(40, u'x'), longName);

    const struct {
        const char* what;
        const TFontName& face;
        int height;
        TFontStyles style;
        int weight, italic, underline, strikeOut;
        std::u16string faceName;
        int lfHeight;
    } cases[] = {
        {"height 0 is the menu bar's", arial, 0, {}, FW_NORMAL, 0, 0, 0, u"Arial", GetSystemMetrics(SM_CYMENU)},
        {"style 9: bold, struck out", arial, -12, TFontStyles::FromByte(9), FW_BOLD, 0, 0, 1, u"Arial", -12},
        {"italic and underlined", arial, 20, {fsItalic, fsUnderline}, FW_NORMAL, 1, 1, 0, u"Arial", 20},
        {"a 40-character face is cut to 31", longName, 20, {}, FW_NORMAL, 0, 0, 0, std::u16string(31, u'x'), 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FontHandle font = MakeFont(c.face, c.height, c.style, RUSSIAN_CHARSET);
        ASSERT_TRUE(font);
        const LOGFONTW lf = logFontOf(font.get());
        EXPECT_EQ(lf.lfHeight, c.lfHeight);
        EXPECT_EQ(lf.lfWeight, c.weight);
        EXPECT_EQ(lf.lfItalic, c.italic);
        EXPECT_EQ(lf.lfUnderline, c.underline);
        EXPECT_EQ(lf.lfStrikeOut, c.strikeOut);
        EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
        EXPECT_EQ(U(lf.lfFaceName), c.faceName);
    }
}

TEST(FontStyles, TheByteIsTheSettingsFormat) {
    EXPECT_EQ((TFontStyles{fsBold}.Byte()), 1);
    EXPECT_EQ((TFontStyles{fsItalic}.Byte()), 2);
    EXPECT_EQ((TFontStyles{fsUnderline}.Byte()), 4);
    EXPECT_EQ((TFontStyles{fsBold, fsStrikeOut}.Byte()), 9);
    EXPECT_TRUE(TFontStyles::FromByte(9).Contains(fsStrikeOut));
    EXPECT_FALSE(TFontStyles::FromByte(9).Contains(fsItalic));
}

class ControlFont : public FrameworkTest {};

TEST_F(ControlFont, HasNoFontObjectUntilAValueChanges) {
    TSCtrl ctrl(nullptr);
    EXPECT_EQ(ctrl.font().Handle(), nullptr);
    EXPECT_EQ(FontNameToStr(ctrl.font().Name()), u"System");
    EXPECT_EQ(ctrl.font().Style().Byte(), 0);

    ctrl.font().SetHeight(ctrl.font().Height());
    ctrl.font().SetName(u"System");
    EXPECT_EQ(ctrl.font().Handle(), nullptr) << "setting the current values changes nothing";

    // Units behind the terminator count: the whole array is compared.
    TFontName name = ctrl.font().Name();
    name[20] = u'z';
    ctrl.font().SetName(name);
    EXPECT_NE(ctrl.font().Handle(), nullptr);
}

TEST_F(ControlFont, AChangeRecreatesOneFontTellsTheWindowAndRepaints) {
    ProbeForm* form = makeForm<PopupProbeForm>(log, u"FontProbe");
    ASSERT_NE(form, nullptr);
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form->Handle());
    ValidateRect(form->Handle(), nullptr);
    log.clear();

    const int before = creatableBrushes();
    form->font().SetHeight(31);
    HFONT const first = form->font().Handle();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(log.count("WM_SETFONT"), 1);
    EXPECT_TRUE(GetUpdateRect(form->Handle(), nullptr, FALSE)) << "the window is to be repainted";
    EXPECT_EQ(logFontOf(first).lfHeight, 31);

    form->font().SetStyle({fsBold});
    EXPECT_NE(form->font().Handle(), first);
    EXPECT_EQ(logFontOf(form->font().Handle()).lfWeight, FW_BOLD);
    EXPECT_EQ(creatableBrushes(), before - 1) << "exactly one font object alive: the old one was deleted";

    ValidateRect(form->Handle(), nullptr);
    log.clear();
    form->font().SetStyle({fsBold});
    form->font().SetCharSet(0);
    EXPECT_EQ(log.count("WM_SETFONT"), 0);
    EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
}

}  // namespace
