// Tests of the small drawing operations in a memory device context with a bitmap of known pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "common/drawing.h"
#include "common/wtext.h"

namespace {

std::string utf8(const std::u16string& s) {
    std::string r;
    for (const char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
    return r;
}

constexpr int canvasWidth = 240;
constexpr int canvasHeight = 40;

// A memory DC with a white 32-bit top-down bitmap whose pixels the test reads directly, and a
// font of the given character set selected.
class Canvas {
public:
    explicit Canvas(BYTE charset = DEFAULT_CHARSET) : FDC(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = canvasWidth;
        bi.bmiHeader.biHeight = -canvasHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FBitmap = CreateDIBSection(FDC, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        FBits = static_cast<std::uint32_t*>(bits);
        FOldBitmap = SelectObject(FDC, FBitmap);
        FFont = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial");
        FOldFont = SelectObject(FDC, FFont);
        SetTextColor(FDC, RGB(0, 0, 0));
        SetBkMode(FDC, TRANSPARENT);
        clear();
    }
    ~Canvas() {
        SelectObject(FDC, FOldFont);
        SelectObject(FDC, FOldBitmap);
        DeleteObject(FFont);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ready() const { return FDC && FBitmap && FBits && FFont; }
    HDC dc() const { return FDC; }
    void clear() {
        GdiFlush();
        for (int i = 0; i < canvasWidth * canvasHeight; ++i) FBits[i] = 0xFFFFFF;
    }
    // The colour at (x, y) as a COLORREF.
    COLORREF pixel(int x, int y) const {
        GdiFlush();
        const std::uint32_t v = FBits[y * canvasWidth + x] & 0xFFFFFF;
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    std::u16string snapshot() const {
        GdiFlush();
        return std::u16string(reinterpret_cast<const char16_t*>(FBits), canvasWidth * canvasHeight * 2);
    }

private:
    HDC FDC;
    HBITMAP FBitmap = nullptr;
    std::uint32_t* FBits = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    HFONT FFont = nullptr;
    HGDIOBJ FOldFont = nullptr;
};

TEST(Drawing, TextWidthOfMatchesTheSystemMeasure) {
    Canvas canvas;
    ASSERT_TRUE(canvas.ready());
    for (const std::u16string& text :
         {std::u16string(u"W"), std::u16string(u"Tessarino"), std::u16string(u"fertig nach 12 Zügen"),
          std::u16string(u"Привет"), std::u16string(u"a\0b", 3), std::u16string(u"   ")}) {
        SCOPED_TRACE(utf8(text));
        SIZE size = {-1, -1};
        ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), reinterpret_cast<const wchar_t*>(text.data()),
                                          static_cast<int>(text.size()), &size));
        EXPECT_GT(size.cx, 0);
        EXPECT_EQ(TextWidthOf(canvas.dc(), text), size.cx);
    }
    EXPECT_EQ(TextWidthOf(canvas.dc(), u""), 0);
    // An empty text is not measured at all, so even no device context gives 0; a text that
    // cannot be measured gives 0 as well.
    EXPECT_EQ(TextWidthOf(nullptr, u""), 0);
    EXPECT_EQ(TextWidthOf(nullptr, u"x"), 0);
}

TEST(Drawing, TextOutCenteredPlacesTheTextAroundTheMiddle) {
    Canvas canvas;
    ASSERT_TRUE(canvas.ready());
    const std::u16string text = u"Tessarino";
    const int w = TextWidthOf(canvas.dc(), text);
    ASSERT_GT(w, 10);
    struct Row {
        const char* name;
        int x;
        int width;
        int start;  // where the text must begin
    } const rows[] = {
        {"wider span, even rest", 20, w + 40, 40},
        {"wider span, odd rest", 20, w + 41, 40},
        {"exact span", 30, w, 30},
        {"narrower span, even rest", 50, w - 10, 45},
        // (width - w) / 2 rounds towards zero: 5 pixels too narrow start 2 pixels left.
        {"narrower span, odd rest", 50, w - 5, 48},
        {"no span", 100, 0, 100 - w / 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        canvas.clear();
        TextOutAt(canvas.dc(), row.start, 5, text);
        const std::u16string expected = canvas.snapshot();
        canvas.clear();
        EXPECT_EQ(TextOutCentered(canvas.dc(), row.x, 5, row.width, text), w);
        EXPECT_TRUE(canvas.snapshot() == expected) << "text not drawn at x = " << row.start;
    }
}

TEST(Drawing, TextOutAtDrawsInkAtThePoint) {
    Canvas canvas;
    ASSERT_TRUE(canvas.ready());
    TextOutAt(canvas.dc(), 100, 5, u"");
    const std::u16string blank = canvas.snapshot();
    TextOutAt(canvas.dc(), 100, 5, u"IIII");
    const std::u16string drawn = canvas.snapshot();
    EXPECT_FALSE(drawn == blank);
    // No ink left of the reference point or right of the measured width.
    const int w = TextWidthOf(canvas.dc(), u"IIII");
    for (int y = 0; y < canvasHeight; ++y) {
        for (int x = 0; x < canvasWidth; ++x) {
            if (x >= 100 && x < 100 + w) continue;
            ASSERT_EQ(canvas.pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
        }
    }
}

TEST(Drawing, FillColorRectFillsExactlyTheRectangle) {
    Canvas canvas;
    ASSERT_TRUE(canvas.ready());
    const COLORREF colour = RGB(12, 34, 56);
    FillColorRect(canvas.dc(), RECT{10, 5, 30, 15}, colour);
    struct Row {
        int x, y;
        bool inside;
    } const rows[] = {
        {10, 5, true},  {29, 14, true}, {20, 10, true},  {9, 5, false},
        {30, 5, false}, {10, 4, false}, {10, 15, false}, {29, 15, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << "," << row.y);
        EXPECT_EQ(canvas.pixel(row.x, row.y), row.inside ? colour : RGB(255, 255, 255));
    }
}

TEST(Drawing, FillColorRectReleasesItsBrushes) {
    Canvas canvas;
    ASSERT_TRUE(canvas.ready());
    // More fills than the process's GDI handle table holds: a brush kept per call would make
    // the last fills fail.
    for (int i = 0; i < 70000; ++i) FillColorRect(canvas.dc(), RECT{0, 0, 2, 2}, RGB(i & 0xFF, 0, 0));
    FillColorRect(canvas.dc(), RECT{0, 0, 2, 2}, RGB(1, 2, 3));
    EXPECT_EQ(canvas.pixel(1, 1), RGB(1, 2, 3));
}

TEST(Drawing, DCCharSetReadsTheSelectedFont) {
    const struct {
        BYTE requested;
        std::uint8_t expected;
    } rows[] = {{RUSSIAN_CHARSET, 204}, {ANSI_CHARSET, 0}, {EASTEUROPE_CHARSET, 238}};
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.requested));
        Canvas canvas(row.requested);
        ASSERT_TRUE(canvas.ready());
        EXPECT_EQ(DCCharSet(canvas.dc()), row.expected);
    }
    EXPECT_EQ(DCCharSet(nullptr), DEFAULT_CHARSET);
}

}  // namespace
