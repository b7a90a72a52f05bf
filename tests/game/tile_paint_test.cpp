// Tests of the tile painting: pixels of tiles, labels, empty cell and frame in a memory bitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/drawing.h"
#include "common/wtext.h"
#include "game/board.h"
#include "game/tile_paint.h"
#include "smallib/gdi_handles.h"

namespace {

constexpr COLORREF Sentinel = RGB(255, 0, 255);

// A 32-bit bitmap in a memory device context, filled with Sentinel, with a font of its own.
// GetNearestColor on it is exact, and the font is not anti-aliased, so pixels compare exactly.
class Canvas {
public:
    explicit Canvas(int width = 420, int height = 420) : FWidth(width), FHeight(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        FBitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        FSelectedBitmap = SelectObject(FDC.get(), FBitmap.get());
        const RECT all{0, 0, width, height};
        FillColorRect(FDC.get(), all, Sentinel);
        setFont(L"Times New Roman", 30, false);
    }
    ~Canvas() {
        SelectObject(FDC.get(), FSelectedFont);
        SelectObject(FDC.get(), FSelectedBitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void setFont(const wchar_t* face, int height, bool italic) {
        FontHandle font(CreateFontW(-height, 0, 0, 0, FW_BOLD, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face));
        HGDIOBJ const old = SelectObject(FDC.get(), font.get());
        if (!FSelectedFont) FSelectedFont = old;
        FFont = std::move(font);  // the previous font is no longer selected, so it may go
    }

    HDC dc() const { return FDC.get(); }
    COLORREF at(int x, int y) const { return GetPixel(FDC.get(), x, y); }

    // The smallest rectangle holding every pixel of colour c inside r; empty when none.
    RECT boundsOf(COLORREF c, const RECT& r) const {
        RECT b{r.right, r.bottom, r.left, r.top};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (at(x, y) == c) {
                    b.left = std::min<LONG>(b.left, x);
                    b.top = std::min<LONG>(b.top, y);
                    b.right = std::max<LONG>(b.right, x + 1);
                    b.bottom = std::max<LONG>(b.bottom, y + 1);
                }
        return b;
    }

private:
    int FWidth;
    int FHeight;
    MemoryDC FDC{CreateCompatibleDC(nullptr)};
    BitmapHandle FBitmap;
    FontHandle FFont;
    HGDIOBJ FSelectedBitmap = nullptr;
    HGDIOBJ FSelectedFont = nullptr;
};

// A board of size n in solved order, with the cell geometry given.
void solvedBoard(std::int32_t n, std::int32_t cellWidth = 60, std::int32_t cellHeight = 50) {
    BoardSize = n;
    LabelLanguage = 0;
    InitBoard();
    CellWidth = cellWidth;
    CellHeight = cellHeight;
}

COLORREF sys(int index) { return GetSysColor(index); }

// BoardDpi for the lifetime of the object; 96 again afterwards.
class BoardDpiScope {
public:
    explicit BoardDpiScope(std::int32_t dpi) { BoardDpi = dpi; }
    ~BoardDpiScope() { BoardDpi = 96; }
    BoardDpiScope(const BoardDpiScope&) = delete;
    BoardDpiScope& operator=(const BoardDpiScope&) = delete;
};

// The lines of the tiles and the frame stay one pixel wide at every scale.
TEST(TilePaint, RaisedBorderAndTheShadowEdgeReachingIntoTheEmptyCellAbove) {
  for (const std::int32_t dpi : {96, 144, 192}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    const BoardDpiScope scale(dpi);
    Canvas canvas;
    solvedBoard(4);
    ASSERT_TRUE(MakeZug(TZugArt::ab));  // the empty cell is now above the bottom-right tile
    PaintBoard(canvas.dc());

    const RECT t = CellRect(4, 4);
    const COLORREF empty = ResolveColor(EmptyColor);
    for (LONG y = t.top + 1; y <= t.bottom - 1; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(canvas.at(t.left + 1, y), RGB(255, 255, 255));
        EXPECT_EQ(canvas.at(t.left, y), sys(COLOR_BTNFACE)) << "the outermost column is face";
    }
    for (LONG x = t.left + 1; x <= t.right - 2; ++x) EXPECT_EQ(canvas.at(x, t.top + 1), RGB(255, 255, 255)) << x;
    for (LONG y = t.top; y <= t.bottom - 1; ++y) EXPECT_EQ(canvas.at(t.right - 1, y), sys(COLOR_BTNSHADOW)) << y;
    for (LONG x = t.left + 2; x <= t.right - 1; ++x) EXPECT_EQ(canvas.at(x, t.bottom - 1), sys(COLOR_BTNSHADOW)) << x;

    // The right edge starts two pixels up, in the empty cell's bottom-right corner; the rest
    // of the empty cell is flat.
    const RECT e = CellRect(4, 3);
    EXPECT_EQ(canvas.at(e.right - 1, e.bottom - 1), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(e.right - 1, e.bottom - 2), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(e.right - 1, e.bottom - 3), empty);
    EXPECT_EQ(canvas.at(e.right - 2, e.bottom - 1), empty);
    EXPECT_EQ(canvas.at(e.left + 1, e.top + 1), empty) << "no border on the empty cell";
    RECT inner = e;
    InflateRect(&inner, -3, -3);
    const RECT anything = canvas.boundsOf(empty, inner);
    EXPECT_EQ(anything.left, inner.left);
    EXPECT_EQ(anything.right, inner.right);
    EXPECT_EQ(anything.bottom, inner.bottom);
  }
}

TEST(TilePaint, LabelIsDrawnThreeTimesWithHighlightUpLeftAndShadowDownRight) {
    Canvas canvas;
    solvedBoard(5, 70, 50);
    PaintBoard(canvas.dc());

    // Tile 12 of a 5 x 5 board: " 12 " in dark cyan, at column 2, row 3.
    RECT inside = CellRect(2, 3);
    InflateRect(&inside, -2, -2);  // leave out the border lines
    const RECT label = canvas.boundsOf(TileDarkCyan, inside);
    const RECT shadow = canvas.boundsOf(RGB(0, 0, 0), inside);
    const RECT highlight = canvas.boundsOf(RGB(255, 255, 255), inside);
    ASSERT_LT(label.left, label.right) << "no label drawn";
    EXPECT_EQ(shadow.right, label.right + 1);
    EXPECT_EQ(shadow.bottom, label.bottom + 1);
    EXPECT_EQ(highlight.left, label.left - 1);
    EXPECT_EQ(highlight.top, label.top - 1);
    EXPECT_EQ(canvas.at(inside.left, inside.top), sys(COLOR_BTNFACE)) << "tile face";
}

// The copies move by the offset's size at the board's DPI; as only the left and top edges of
// their rectangles move, the centred text moves by half of it, rounded either way.
TEST(TilePaint, HighlightAndShadowMoveFurtherAtAHigherDpi) {
    struct Case {
        std::int32_t dpi, offset;
    } const cases[] = {{96, 2}, {144, 3}, {192, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi");
        const BoardDpiScope scale(c.dpi);
        Canvas canvas;
        solvedBoard(5, 70, 50);
        int widest = 0;
        for (std::int32_t row = 1; row <= 5; ++row)
            for (std::int32_t column = 1; column <= 5; ++column)
                widest = std::max(widest, TextWidthOf(canvas.dc(), CellText(column, row).text));
        EXPECT_EQ(PaintBoard(canvas.dc()), widest + c.offset) << "the widest label and the offset";
        RECT inside = CellRect(2, 3);
        InflateRect(&inside, -2, -2);
        const RECT label = canvas.boundsOf(TileDarkCyan, inside);
        const RECT shadow = canvas.boundsOf(RGB(0, 0, 0), inside);
        const RECT highlight = canvas.boundsOf(RGB(255, 255, 255), inside);
        ASSERT_LT(label.left, label.right) << "no label drawn";
        for (const LONG moved : {label.left - highlight.left, label.top - highlight.top, shadow.right - label.right,
                                 shadow.bottom - label.bottom}) {
            EXPECT_GE(moved, c.offset / 2);
            EXPECT_LE(moved, (c.offset + 1) / 2);
        }
    }
}

TEST(TilePaint, FrameAroundTheBoardAndNothingBeyondIt) {
    Canvas canvas;
    solvedBoard(3, 61, 47);
    PaintBoard(canvas.dc());
    const int w = 3 * CellWidth;
    const int h = 3 * CellHeight;

    for (int y = 0; y <= h; ++y) EXPECT_EQ(canvas.at(0, y), RGB(0, 0, 0)) << "left edge " << y;
    for (int x = 0; x < w; ++x) EXPECT_EQ(canvas.at(x, 0), RGB(0, 0, 0)) << "top edge " << x;
    for (int x = 0; x <= w + 1; ++x) EXPECT_EQ(canvas.at(x, h + 1), sys(COLOR_BTNFACE)) << "bottom edge " << x;
    for (int y = 1; y <= h + 1; ++y) EXPECT_EQ(canvas.at(w + 1, y), sys(COLOR_BTNFACE)) << "right edge " << y;
    // The board takes n * CellWidth + 2 by n * CellHeight + 2 pixels.
    for (int y = 0; y <= h + 2; ++y) EXPECT_EQ(canvas.at(w + 2, y), Sentinel) << y;
    for (int x = 0; x <= w + 2; ++x) EXPECT_EQ(canvas.at(x, h + 2), Sentinel) << x;
}

TEST(TilePaint, EmptyCellIsWhiteOnlyWhenDesktopAndFaceLookAlike) {
    struct Case {
        COLORREF desktop, face;
        TColor expected;
    };
    const Case cases[] = {
        {RGB(192, 192, 192), RGB(192, 192, 192), static_cast<TColor>(RGB(255, 255, 255))},
        {RGB(200, 255, 130), RGB(212, 232, 191), static_cast<TColor>(RGB(255, 255, 255))},  // differ below bit 6 only
        {RGB(0, 128, 128), RGB(192, 192, 192), -COLOR_BACKGROUND},
        {RGB(192, 192, 127), RGB(192, 192, 128), -COLOR_BACKGROUND},  // blue's bit 7 differs
        {RGB(63, 0, 0), RGB(64, 0, 0), -COLOR_BACKGROUND},             // red's bit 6 differs
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.desktop << " / " << c.face);
        EXPECT_EQ(ChooseEmptyColor(c.desktop, c.face), c.expected);
    }

    // The painted empty cell follows the rule for the colours of the running system.
    Canvas canvas;
    solvedBoard(4);
    PaintBoard(canvas.dc());
    EXPECT_EQ(EmptyColor, ChooseEmptyColor(sys(COLOR_BACKGROUND), sys(COLOR_BTNFACE)));
    const RECT e = CellRect(4, 4);
    EXPECT_EQ(canvas.at((e.left + e.right) / 2, (e.top + e.bottom) / 2), ResolveColor(EmptyColor));
}

TEST(TilePaint, ItalicProportionalFontGetsOneBlankAfterLabelsNotEndingInOne) {
    struct Case {
        const wchar_t* face;
        bool italic;
        std::int32_t column, row;  // on the English 3 x 3 board in solved order
        std::u16string label;
        bool blankAppended;
    };
    const Case cases[] = {
        {L"Times New Roman", true, 1, 1, u"  T", true},
        {L"Times New Roman", true, 3, 1, u"k  ", false},  // ends in a blank already
        {L"Times New Roman", true, 3, 3, u"", false},     // the empty cell
        {L"Times New Roman", false, 1, 1, u"  T", false},
        {L"Liberation Mono", true, 1, 1, u"  T", false},  // fixed pitch
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.italic ? "italic " : "upright ") << c.face << " at " << c.column
                                        << "," << c.row);
        Canvas canvas;
        canvas.setFont(c.face, 30, c.italic);
        solvedBoard(3);
        LabelLanguage = 1;
        ASSERT_EQ(CellText(c.column, c.row).text, c.label);
        const std::u16string measured = c.blankAppended ? c.label + u" " : c.label;
        ASSERT_NE(TextWidthOf(canvas.dc(), c.label + u" "), TextWidthOf(canvas.dc(), c.label));
        EXPECT_EQ(PaintCell(canvas.dc(), c.column, c.row), TextWidthOf(canvas.dc(), measured) + 2);
    }
}

TEST(TilePaint, BoardReportsTheWidestLabelsNeed) {
    Canvas canvas;
    solvedBoard(4);
    int widest = 0;
    for (const std::u16string_view label : Labels4[0])
        widest = std::max(widest, TextWidthOf(canvas.dc(), label) + 2);
    EXPECT_EQ(PaintBoard(canvas.dc()), widest);

    solvedBoard(8);  // the empty cell's number counts too: " 64 " is the widest
    EXPECT_EQ(PaintBoard(canvas.dc()), TextWidthOf(canvas.dc(), u" 64 ") + 2);
}

// How many more brushes the process can create now: fills its GDI table (Wine's holds 65,480
// objects per process, Windows' 10,000 by default) and empties it again.
int roomForBrushes() {
    std::vector<BrushHandle> held;
    held.reserve(70000);
    while (held.size() < 100000) {
        BrushHandle brush(CreateSolidBrush(RGB(held.size() & 255, 0, 0)));
        if (!brush) break;
        held.push_back(std::move(brush));
    }
    return static_cast<int>(held.size());
}

TEST(TilePaint, PaintingLeavesNoGdiObjectBehind) {
    // An object that a paint does not delete keeps its place in the table, so the room left
    // afterwards tells exactly how many stayed: one object per paint is 100 places less.
    Canvas canvas;
    solvedBoard(4);
    PaintBoard(canvas.dc());  // whatever the system makes once for good is made now
    const int before = roomForBrushes();
    ASSERT_GT(before, 1000);
    ASSERT_LT(before, 100000) << "the GDI table has no limit here: nothing can be measured";
    for (int i = 0; i < 100; ++i) {
        PaintBoard(canvas.dc());
        PaintCell(canvas.dc(), 1 + i % 4, 1);
    }
    EXPECT_EQ(roomForBrushes(), before);
}

}  // namespace
