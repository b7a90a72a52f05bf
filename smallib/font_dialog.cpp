// The system font dialog bound to a control's font.
#include "smallib/font_dialog.h"

#include <commdlg.h>

#include <algorithm>

#include "common/lazy_library.h"
#include "smallib/application.h"
#include "smallib/form.h"

LOGFONTW FontDialogStart(const TSFont& font) {
    LOGFONTW lf{};
    lf.lfHeight = font.Height();
    lf.lfWeight = font.Style().Contains(fsBold) ? 800 : 400;
    lf.lfItalic = font.Style().Contains(fsItalic) ? 1 : 0;
    const TFontName& name = font.Name();
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return lf;
}

void TakeChosenFont(TSFont& font, const LOGFONTW& chosen) {
    TFontName name{};
    std::copy(std::begin(chosen.lfFaceName), std::end(chosen.lfFaceName), name.begin());
    font.StoreName(name);
    font.SetHeight(chosen.lfHeight);
    TFontStyles style = font.Style();
    if (chosen.lfItalic)
        style.Include(fsItalic);
    else
        style.Exclude(fsItalic);
    font.SetStyle(style);
    // Any weight above normal counts as bold: a semibold face (600) keeps the font bold.
    if (chosen.lfWeight > FW_NORMAL)
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    font.SetStyle(style);
}

bool FontDialog(TSFont& font) {
    LOGFONTW lf = FontDialogStart(font);
    wchar_t styleName[32] = {};
    CHOOSEFONTW cf{};
    // The size of this build's record: a 64-bit program's is larger than the 60 bytes of a
    // 32-bit one, and ChooseFontW rejects any other.
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = Application && Application->MainForm() ? Application->MainForm()->Handle() : nullptr;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST | CF_TTONLY;
    cf.rgbColors = 0;
    cf.nFontType = SCREEN_FONTTYPE;
    cf.lpszStyle = styleName;
    static const auto chooseFont = LazyFunction<decltype(&ChooseFontW)>(L"comdlg32.dll", "ChooseFontW");
    if (!chooseFont || !chooseFont(&cf)) return false;
    TakeChosenFont(font, lf);
    return true;
}
