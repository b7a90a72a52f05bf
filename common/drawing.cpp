// Small drawing operations on a device context: text width and output, solid fills, character set.
#include "common/drawing.h"

#include <climits>

namespace {

const wchar_t* wide(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }

int lengthOf(std::u16string_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

// A GDI object that is deleted with its owner.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ obj) noexcept : FObj(obj) {}
    ~GdiObject() {
        if (FObj) DeleteObject(FObj);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const noexcept { return FObj; }

private:
    HGDIOBJ FObj;
};

}  // namespace

int TextWidthOf(HDC dc, std::u16string_view text) {
    if (text.empty()) return 0;
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc, wide(text), lengthOf(text), &size)) return 0;
    return size.cx;
}

void TextOutAt(HDC dc, int x, int y, std::u16string_view text) { TextOutW(dc, x, y, wide(text), lengthOf(text)); }

int TextOutCentered(HDC dc, int x, int y, int width, std::u16string_view text) {
    const int w = TextWidthOf(dc, text);
    TextOutAt(dc, x + (width - w) / 2, y, text);
    return w;
}

void FillColorRect(HDC dc, const RECT& rect, COLORREF colour) {
    const GdiObject brush(CreateSolidBrush(colour));
    if (brush.get()) FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
}

std::uint8_t DCCharSet(HDC dc) {
    TEXTMETRICW tm = {};
    if (!GetTextMetricsW(dc, &tm)) return DEFAULT_CHARSET;
    return tm.tmCharSet;
}
