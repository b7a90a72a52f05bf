// Drawing the puzzle board: raised tiles with three-fold labels, the empty cell and the frame.
#include "game/tile_paint.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/dpi.h"
#include "common/drawing.h"
#include "common/wtext.h"
#include "game/board.h"
#include "smallib/gdi_handles.h"

std::int32_t BoardDpi = BaseDpi;
std::int32_t CellWidth = 60;
std::int32_t CellHeight = 60;
TColor EmptyColor = -COLOR_BACKGROUND;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

void drawLabel(HDC dc, const std::u16string& text, RECT rect) {
    DrawTextW(dc, W(text), static_cast<int>(text.size()), &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The italic overhang: GetTextExtentPoint32 measures the advance only, so the slanted top of
// the last letter would stick out of a centred label. TMPF_FIXED_PITCH set means variable pitch.
bool needsTrailingBlank(HDC dc, const std::u16string& text) {
    if (text.empty() || text.back() == u' ') return false;
    TEXTMETRICW tm{};
    if (!GetTextMetricsW(dc, &tm)) return false;
    return tm.tmItalic != 0 && (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) != 0;
}

// A solid one-pixel pen in a system colour; deleted with the object, after BLACK_PEN has been
// selected in its place.
class SystemColorPen {
public:
    SystemColorPen(HDC dc, int sysColor) : FDC(dc), FPen(CreatePen(PS_SOLID, 1, GetSysColor(sysColor))) {
        if (FPen) SelectObject(FDC, FPen.get());
    }
    ~SystemColorPen() { SelectObject(FDC, GetStockObject(BLACK_PEN)); }
    SystemColorPen(const SystemColorPen&) = delete;
    SystemColorPen& operator=(const SystemColorPen&) = delete;

private:
    HDC FDC;
    PenHandle FPen;
};

}  // namespace

std::int32_t BoardPixels(std::int32_t size) { return ScaleForDpi(size, BoardDpi); }

RECT CellRect(std::int32_t column, std::int32_t row) {
    return RECT{(column - 1) * CellWidth + 1, (row - 1) * CellHeight + 1, column * CellWidth + 1,
                row * CellHeight + 1};
}

void DrawTileBorder(HDC dc, const RECT& rect) {
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, rect.left + 1, rect.bottom - 1, nullptr);
    LineTo(dc, rect.left + 1, rect.top + 1);
    LineTo(dc, rect.right - 1, rect.top + 1);

    const SystemColorPen shadow(dc, COLOR_BTNSHADOW);
    MoveToEx(dc, rect.right - 1, rect.top - 2, nullptr);
    LineTo(dc, rect.right - 1, rect.bottom - 1);
    LineTo(dc, rect.left + 1, rect.bottom - 1);
}

std::int32_t PaintCell(HDC dc, std::int32_t column, std::int32_t row) {
    const RECT rect = CellRect(column, row);
    TCellText label = CellText(column, row);
    if (needsTrailingBlank(dc, label.text)) label.text += u' ';
    const std::int32_t offset = BoardPixels(ShadowOffset);
    const std::int32_t need = TextWidthOf(dc, label.text) + std::abs(offset);

    if (Board(column, row) == BlankValue) {
        FillColorRect(dc, rect, ResolveColor(EmptyColor));
        return need;
    }

    FillColorRect(dc, rect, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    // Only the left and top edges move, so each copy's centre moves by half the offset.
    RECT r = rect;
    r.left += offset;
    r.top += offset;
    SetTextColor(dc, White);
    drawLabel(dc, label.text, r);
    r.left -= 2 * offset;
    r.top -= 2 * offset;
    SetTextColor(dc, Black);
    drawLabel(dc, label.text, r);
    SetTextColor(dc, label.color);
    drawLabel(dc, label.text, rect);
    DrawTileBorder(dc, rect);
    return need;
}

TColor ChooseEmptyColor(COLORREF desktop, COLORREF face) {
    constexpr COLORREF highBits = RGB(192, 192, 192);
    return (desktop & highBits) == (face & highBits) ? static_cast<TColor>(White) : -COLOR_BACKGROUND;
}

std::int32_t PaintBoard(HDC dc) {
    EmptyColor = ChooseEmptyColor(GetNearestColor(dc, GetSysColor(COLOR_BACKGROUND)),
                                  GetNearestColor(dc, GetSysColor(COLOR_BTNFACE)));

    // Clamped like every reader of BoardSize, so that no index can leave the 8 x 8 board.
    const std::int32_t n = ClampBoardSize(BoardSize);
    std::int32_t widest = 0;
    for (std::int32_t row = 1; row <= n; ++row)
        for (std::int32_t column = 1; column <= n; ++column) widest = std::max(widest, PaintCell(dc, column, row));

    const std::int32_t h = n * CellHeight;
    const std::int32_t w = n * CellWidth;
    SelectObject(dc, GetStockObject(BLACK_PEN));
    MoveToEx(dc, 0, h, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, w, 0);
    {
        const SystemColorPen face(dc, COLOR_BTNFACE);
        MoveToEx(dc, 0, h + 1, nullptr);
        LineTo(dc, w + 1, h + 1);
        LineTo(dc, w + 1, -1);
    }
    return widest;
}
