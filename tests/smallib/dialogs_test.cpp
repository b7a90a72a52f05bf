// Tests of the dialogs: the about box's layout and links, the message dialogs and the font dialog.
#include <windows.h>

#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/dpi.h"
#include "common/drawing.h"
#include "common/platform.h"
#include "common/wtext.h"
#include "smallib/about_box.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/font_dialog.h"
#include "smallib/form.h"
#include "smallib/gdi_handles.h"
#include "tests/smallib/app_test_support.h"

using namespace apptest;

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartFramework();
        app = std::make_unique<TSApplication>(u"S-DlgTest_", u"MAINICON", u"");
        form = makeForm<HookForm>(u"DlgForm");
    }
    void TearDown() override {
        app.reset();
        EndFramework();
        discardMessages();
    }

    std::unique_ptr<TSApplication> app;
    HookForm* form = nullptr;
};

// --- About box --------------------------------------------------------------------------------

TAboutInfo sampleInfo() {
    TAboutInfo info;
    info.Icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    info.Line1 = u"Tessarino 4.0";
    info.CopyRight = u"\u00A9 Test Maker 2024";
    info.Mail = u"someone@example.org?subject=Tessarino.exe";
    info.WWW = u"https://example.org/tessarino";
    return info;
}

// What the open box shows, gathered while it is open.
struct AboutSnapshot {
    int dpi = 96;
    RECT window{};
    RECT client{};
    RECT button{};  // in client coordinates
    RECT mailRect{};
    RECT wwwRect{};
};

AboutSnapshot snapshot(HWND dlg, const TAboutInfo& info) {
    AboutSnapshot s;
    s.dpi = WindowDpi(dlg);
    GetWindowRect(dlg, &s.window);
    GetClientRect(dlg, &s.client);
    HWND const ok = GetDlgItem(dlg, IDOK);
    GetWindowRect(ok, &s.button);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&s.button), 2);
    s.mailRect = info.mailRect;
    s.wwwRect = info.wwwRect;
    return s;
}

// The text height and widths in the about box's font at a DPI.
struct AboutFont {
    explicit AboutFont(int dpi = WindowDpi(nullptr)) {
        TFontName face{};
        StrToFontName(u"Arial", face);
        font = MakeFont(face, ScaleForDpi(20, dpi), TFontStyles{fsBold}, 0);
        selected.emplace(dc.get(), font.get());
        height = TextHeightOf(dc.get());
    }
    int width(const std::u16string& s) const { return TextWidthOf(dc.get(), s); }

    WindowDC dc{nullptr};
    FontHandle font;
    std::optional<SelectObjectScope> selected;
    int height = 0;
};

TEST_F(DialogTest, AboutBoxLaysItselfOutFromItsTextsAndOpensItsLinks) {
    TAboutInfo info = sampleInfo();
    std::vector<std::u16string> opened;
    const ShellOpenFunction previous = setShellOpenFunction([&](HWND, const std::u16string& t) { opened.push_back(t); });

    AboutSnapshot s;
    struct Probe {
        const char* what;
        int x, y;
        bool hand;
        std::u16string opens;  // empty: nothing
    };
    std::vector<Probe> probes;
    std::vector<std::pair<HCURSOR, std::vector<std::u16string>>> seen;
    DialogDriver driver([&](HWND dlg) {
        s = snapshot(dlg, info);
        const RECT m = s.mailRect;
        const RECT w = s.wwwRect;
        const int mid = (m.top + m.bottom) / 2;
        probes = {
            {"inside the mail link", (m.left + m.right) / 2, mid, true, u"mailto:someone@example.org?subject=Tessarino.exe"},
            {"on the mail link's left border", m.left, mid, true, u"mailto:someone@example.org?subject=Tessarino.exe"},
            {"on the mail link's right border", m.right, mid, true, u""},
            {"on the mail link's bottom border", (m.left + m.right) / 2, m.bottom, true, u""},
            {"on the web link's top left corner", w.left, w.top, true, u"https://example.org/tessarino"},
            {"on the web link's bottom right corner", w.right, w.bottom, true, u""},
            {"beside the links", 2, mid, false, u""},
        };
        for (const Probe& p : probes) {
            opened.clear();
            SendMessageW(dlg, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
            HCURSOR const cursor = GetCursor();
            SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            seen.emplace_back(cursor, opened);
        }
        // A picture to look at: the box as the display shows it.
        SendMessageW(dlg, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        UpdateWindow(dlg);
        saveScreenShot(u"about_box.bmp");
        clickButton(dlg, IDOK);
    });
    // The form's about command shows the program's record, and nothing while there is none.
    SendMessageW(form->Handle(), WM_COMMAND, cmAbout, 0);
    EXPECT_EQ(driver.dialogsSeen(), 0);
    AboutInfo = &info;
    SendMessageW(form->Handle(), WM_COMMAND, cmAbout, 0);
    AboutInfo = nullptr;
    setShellOpenFunction(previous);

    ASSERT_EQ(driver.dialogsSeen(), 1);
    EXPECT_EQ(CurAboutInfo, &info);

    // Every size is one at 96 dpi, grown to the box's DPI.
    const auto px = [&](int size) { return ScaleForDpi(size, s.dpi); };
    const AboutFont f(s.dpi);
    const int h = f.height;
    std::u16string date = ProgramDateText();
    const int width = std::max({px(104) + f.width(info.Line1) + px(40), px(104) + f.width(date) + px(40),
                                px(80) + f.width(info.CopyRight), px(80) + f.width(u"someone@example.org"),
                                px(80) + f.width(info.WWW)});
    const int buttonTop = px(20) + h + (h + h / 2) + px(10) + (h + px(7)) + (h + px(8)) + (h + h / 2);
    const int height = s.window.bottom - s.window.top;
    EXPECT_EQ(s.window.right - s.window.left, width);
    EXPECT_EQ(height, buttonTop + px(70));
    EXPECT_EQ(s.window.top, (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2);
    EXPECT_EQ(s.window.left, driver.createdAt().x) << "the box keeps its horizontal position";
    EXPECT_EQ(s.button.left, width / 2 - px(50));
    EXPECT_EQ(s.button.top, buttonTop);
    EXPECT_EQ(s.button.right - s.button.left, px(100));
    EXPECT_EQ(s.button.bottom - s.button.top, px(30));

    // The links: the text's width and 5 pixels on each side, centred in the client area; the
    // button sits right under the web line.
    const int W = s.client.right;
    // Centring rounds the text's left edge down, which widens the area by one pixel when the
    // text and the client width differ by an odd number.
    const int mailWidth = f.width(u"someone@example.org");
    EXPECT_EQ(s.mailRect.right - s.mailRect.left, mailWidth + (W - mailWidth) % 2 + 2 * px(5));
    EXPECT_EQ(s.mailRect.left + s.mailRect.right, W);
    EXPECT_EQ(s.mailRect.bottom - s.mailRect.top, h);
    EXPECT_EQ(s.wwwRect.left + s.wwwRect.right, W);
    EXPECT_EQ(s.wwwRect.top, s.mailRect.bottom + px(8));
    EXPECT_EQ(s.button.top, s.wwwRect.bottom + h / 2);

    ASSERT_EQ(seen.size(), probes.size());
    for (std::size_t i = 0; i < probes.size(); ++i) {
        SCOPED_TRACE(probes[i].what);
        EXPECT_EQ(seen[i].first, probes[i].hand ? HandCursor : ArrowCursor);
        EXPECT_EQ(seen[i].second, probes[i].opens.empty() ? std::vector<std::u16string>{} : std::vector{probes[i].opens});
    }
    EXPECT_FALSE(driver.timedOut());
}

TEST_F(DialogTest, OptionalLinesTakeRoomOnlyWhenTheyAreSet) {
    const AboutFont f;
    const int h = f.height;
    const auto px = [](int size) { return ScaleForDpi(size, WindowDpi(nullptr)); };
    struct Case {
        const char* what;
        std::u16string line2, line3, instit;
        int extraLines;
    } const cases[] = {
        {"no optional line", u"", u"", u"", 0},
        {"a second line", u"Second line", u"", u"", 1},
        {"an institution", u"", u"", u"Institute", 1},
        {"both", u"Second line", u"", u"Institute", 2},
        {"a third line in place of the date", u"", u"Built today", u"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TAboutInfo info = sampleInfo();
        info.Line2 = c.line2;
        info.Line3 = c.line3;
        info.Instit = c.instit;
        int buttonTop = 0;
        DialogDriver driver([&](HWND dlg) {
            buttonTop = snapshot(dlg, info).button.top;
            clickButton(dlg, IDOK);
        });
        ShowAboutBox(form->Handle(), &info);
        EXPECT_EQ(buttonTop,
                  px(20) + h + (h + h / 2) + px(10) + (h + px(7)) + (h + px(8)) + (h + h / 2) + c.extraLines * h);
    }
}

TEST_F(DialogTest, AboutBoxWidensForItsWidestLine) {
    TAboutInfo info = sampleInfo();
    info.Line2 = u"A second line that is much wider than every other line of the box";
    int width = 0;
    DialogDriver driver([&](HWND dlg) {
        const AboutSnapshot s = snapshot(dlg, info);
        width = s.window.right - s.window.left;
        clickButton(dlg, IDOK);
    });
    ShowAboutBox(form->Handle(), &info);
    const AboutFont f;
    EXPECT_EQ(width, ScaleForDpi(104, WindowDpi(nullptr)) + f.width(info.Line2) + ScaleForDpi(40, WindowDpi(nullptr)));
}

// Whatever the DPI, every line fits the box's width, the lines end above the button, the
// button lies inside the client area and its caption inside the button, and the name lines keep
// clear of the icon. TESS_EXPECT_DPI names the DPI a run was set up for, so that a run meant
// for a higher scale cannot pass at 96 dpi.
TEST_F(DialogTest, AboutBoxShowsAllItsTextAtTheDpi) {
    TAboutInfo info = sampleInfo();
    info.Line2 = u"Schiebepuzzle f\u00FCr Windows";
    info.Instit = u"Tessarino-Projekt, Abteilung Spiele";
    AboutSnapshot s;
    SIZE caption{};
    DialogDriver driver([&](HWND dlg) {
        s = snapshot(dlg, info);
        HWND const ok = GetDlgItem(dlg, IDOK);
        const WindowDC dc(ok);
        const SelectObjectScope font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(ok, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc.get(), L"OK", 2, &caption);
        UpdateWindow(dlg);
        saveScreenShot(u"about_box_" + platform::FromUtf8(std::to_string(s.dpi)) + u"dpi.bmp");
        clickButton(dlg, IDOK);
    });
    ShowAboutBox(form->Handle(), &info);
    ASSERT_EQ(driver.dialogsSeen(), 1);
    if (const char* expected = std::getenv("TESS_EXPECT_DPI")) {
        EXPECT_EQ(s.dpi, std::atoi(expected));
    }

    const auto px = [&](int size) { return ScaleForDpi(size, s.dpi); };
    const AboutFont f(s.dpi);
    const int W = s.client.right;
    const int nameLeft = px(20) + px(32);  // right of the icon
    for (const std::u16string& line : {info.Line1, info.Line2, ProgramDateText()}) {
        SCOPED_TRACE(platform::ToUtf8(line));
        EXPECT_GE((W - f.width(line)) / 2, nameLeft);
    }
    for (const std::u16string& line : {info.Instit, info.CopyRight, std::u16string(u"someone@example.org"), info.WWW}) {
        SCOPED_TRACE(platform::ToUtf8(line));
        EXPECT_LE(f.width(line), W);
    }
    EXPECT_LE(s.wwwRect.bottom, s.button.top) << "the last line ends above the button";
    EXPECT_GE(s.button.left, 0);
    EXPECT_LE(s.button.right, W);
    EXPECT_LE(s.button.bottom, s.client.bottom) << "the button is not cut off";
    EXPECT_LE(caption.cx, s.button.right - s.button.left - 8);
    EXPECT_LE(caption.cy, s.button.bottom - s.button.top - 4);
    EXPECT_LE(s.window.bottom - s.window.top, GetSystemMetrics(SM_CYFULLSCREEN));
    EXPECT_FALSE(driver.timedOut());
}

TEST(AboutDate, IsTheProgramFilesLastWriteTime) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(path, GetFileExInfoStandard, &data));
    FILETIME local{};
    SYSTEMTIME t{};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &t);
    wchar_t expected[32] = {};
    std::swprintf(expected, 32, L"%02u.%02u.%02u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear % 100, t.wHour, t.wMinute,
                  t.wSecond);
    EXPECT_EQ(ProgramDateText(), U(expected));
}

// --- Message dialogs --------------------------------------------------------------------------

TEST_F(DialogTest, MessageDialogsShowTheirButtonsAndIconsInABoxOfTheForm) {
    using Method = WORD (TSForm::*)(const std::u16string&);
    struct Case {
        const char* name;
        Method method;
        UINT style;
    } const cases[] = {
        {"msgError", &TSForm::msgError, 49},       {"msgInfo", &TSForm::msgInfo, 64},
        {"msgYesNo", &TSForm::msgYesNo, 36},       {"msgNoYes", &TSForm::msgNoYes, 292},
        {"msgYesNoCancel", &TSForm::msgYesNoCancel, 35}, {"msgNoYesCancel", &TSForm::msgNoYesCancel, 291},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BoxCapture boxes(IDNO);
        EXPECT_EQ((form->*c.method)(u"Frage?"), IDNO);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].style, c.style);
        EXPECT_EQ(boxes.boxes()[0].owner, form->Handle());
        EXPECT_EQ(boxes.boxes()[0].text, u"Frage?");
        EXPECT_EQ(boxes.boxes()[0].caption, u"DlgForm");
    }
    const BoxCapture boxes(0x12345);
    EXPECT_EQ(form->MessageDlg(u"x", MB_OK), 0x2345) << "the result is a 16-bit value";
}

TEST_F(DialogTest, EnterAtOnceChoosesTheDefaultButton) {
    using Method = WORD (TSForm::*)(const std::u16string&);
    struct Case {
        const char* name;
        Method method;
        WORD answer;
    } const cases[] = {
        {"msgNoYes", &TSForm::msgNoYes, IDNO},
        {"msgYesNo", &TSForm::msgYesNo, IDYES},
        {"msgNoYesCancel", &TSForm::msgNoYesCancel, IDNO},
        {"msgInfo", &TSForm::msgInfo, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogDriver driver([](HWND dlg) {
            SetForegroundWindow(dlg);
            typeKeys({}, VK_RETURN);
        });
        EXPECT_EQ((form->*c.method)(u"Weiter?"), c.answer);
        EXPECT_EQ(driver.dialogsSeen(), 1);
        EXPECT_FALSE(driver.timedOut());
    }
}

// --- Font dialog ------------------------------------------------------------------------------

TEST_F(DialogTest, FontDialogStartsFromTheFontsValues) {
    TSFont& font = form->font();
    font.SetName(u"Tahoma");
    font.SetHeight(-20);
    font.SetStyle(TFontStyles{fsBold, fsItalic, fsUnderline});
    LOGFONTW lf = FontDialogStart(font);
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(lf.lfWeight, 800);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(U(lf.lfFaceName), u"Tahoma");

    font.SetStyle(TFontStyles{});
    lf = FontDialogStart(font);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfItalic, 0);
}

TEST_F(DialogTest, AChosenFontIsTakenOverWithoutItsEffects) {
    struct Case {
        const char* what;
        TFontStyles before;
        LONG weight;
        BYTE italic, underline;
        TFontStyles after;
    } const cases[] = {
        {"a semibold weight keeps the font bold", {fsBold}, 600, 0, 0, {fsBold}},
        {"normal weight is not bold", {fsBold, fsItalic}, 400, 0, 0, {}},
        {"bold and italic", {}, 700, 1, 0, {fsBold, fsItalic}},
        {"underline is not taken over", {fsUnderline}, 400, 0, 0, {fsUnderline}},
        {"nor dropped", {fsUnderline}, 400, 0, 1, {fsUnderline}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSFont& font = form->font();
        font.SetStyle(c.before);
        LOGFONTW lf = FontDialogStart(font);
        lf.lfWeight = c.weight;
        lf.lfItalic = c.italic;
        lf.lfUnderline = c.underline;
        TakeChosenFont(font, lf);
        EXPECT_EQ(font.Style(), c.after);
    }
}

TEST_F(DialogTest, ANewFaceAloneIsStoredButNotYetMadeIntoAFont) {
    TSFont& font = form->font();
    font.SetName(u"Tahoma");
    font.SetHeight(-20);
    HFONT const before = font.Handle();
    LOGFONTW lf = FontDialogStart(font);
    std::wcscpy(lf.lfFaceName, L"Courier New");
    TakeChosenFont(font, lf);
    EXPECT_EQ(FontNameToStr(font.Name()), u"Courier New");
    EXPECT_EQ(font.Handle(), before);

    lf.lfHeight = -24;
    TakeChosenFont(font, lf);
    ASSERT_NE(font.Handle(), before);
    LOGFONTW made{};
    GetObjectW(font.Handle(), sizeof made, &made);
    EXPECT_EQ(U(made.lfFaceName), u"Courier New");
    EXPECT_EQ(made.lfHeight, -24);
}

// A face the font dialog offers: it lists the TrueType faces of the machine, and starts at the
// first of them when it does not have the font's face.
int CALLBACK countFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    ++*reinterpret_cast<int*>(found);
    return 0;
}

TEST_F(DialogTest, FontDialogConfirmedOrCancelled) {
    const std::u16string face = u"DejaVu Sans";
    int found = 0;
    LOGFONTW wanted{};
    std::wcscpy(wanted.lfFaceName, W(face));
    EnumFontFamiliesExW(WindowDC(nullptr).get(), &wanted, countFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found == 0) GTEST_SKIP() << "the machine has no " << platform::ToUtf8(face);

    TSFont& font = form->font();
    font.SetName(face);
    font.SetHeight(-20);
    font.SetStyle(TFontStyles{fsBold});
    struct Case {
        const char* what;
        int button;
        bool result;
    } const cases[] = {{"cancelled", IDCANCEL, false}, {"confirmed", IDOK, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND owner = nullptr;
        HFONT const handle = font.Handle();
        DialogDriver driver([&](HWND dlg) {
            owner = GetWindow(dlg, GW_OWNER);
            clickButton(dlg, c.button);
        });
        EXPECT_EQ(FontDialog(font), c.result);
        EXPECT_EQ(driver.dialogsSeen(), 1);
        EXPECT_EQ(owner, form->Handle()) << "owned by the main form";
        // The dialog started at the font's own values, so confirming them changes nothing.
        EXPECT_EQ(FontNameToStr(font.Name()), face);
        EXPECT_EQ(font.Style(), TFontStyles{fsBold});
        EXPECT_EQ(font.Height(), -20);
        EXPECT_EQ(font.Handle(), handle);
    }
}

// The game's face. Where the machine lacks it (Linux under Wine) the scripts' prefixes map it to
// its metric-compatible twin; without that the board is painted in a sans-serif stand-in and
// the font dialog starts at the first face of its list instead of the game's.
struct FaceSeen {
    std::wstring face;
    BYTE family;
    SIZE extent;
};

FaceSeen faceOf(const wchar_t* name) {
    WindowDC screen(nullptr);
    FontHandle font(CreateFontW(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, name));
    SelectObjectScope selected(screen.get(), font.get());
    FaceSeen seen{};
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen.get(), LF_FACESIZE, face);
    seen.face = face;
    TEXTMETRICW tm{};
    GetTextMetricsW(screen.get(), &tm);
    seen.family = static_cast<BYTE>(tm.tmPitchAndFamily & 0xF0);
    GetTextExtentPoint32W(screen.get(), L"Tessarino \u00DF\u0416", 12, &seen.extent);
    return seen;
}

TEST_F(DialogTest, TheGamesFaceIsThereAndTheFontDialogStartsOnIt) {
    const FaceSeen game = faceOf(L"Times New Roman");
    EXPECT_EQ(game.face, L"Times New Roman");
    EXPECT_EQ(game.family, FF_ROMAN) << "a serif face";
    const FaceSeen twin = faceOf(L"Liberation Serif");
    if (twin.face == L"Liberation Serif") {
        EXPECT_EQ(game.extent.cx, twin.extent.cx) << "metric-compatible widths";
        EXPECT_EQ(game.extent.cy, twin.extent.cy);
    }

    TSFont& font = form->font();
    font.SetName(u"Times New Roman");
    font.SetHeight(-20);
    font.SetStyle(TFontStyles{fsBold});
    wchar_t shown[LF_FACESIZE] = {};
    DialogDriver driver([&](HWND dlg) {
        GetDlgItemTextW(dlg, cmb1, shown, LF_FACESIZE);
        clickButton(dlg, IDCANCEL);
    });
    EXPECT_FALSE(FontDialog(font));
    EXPECT_EQ(driver.dialogsSeen(), 1);
    EXPECT_STREQ(shown, L"Times New Roman");
}

}  // namespace
