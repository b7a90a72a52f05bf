// TSForm1, the puzzle window: input, sounds, menu commands, the solved message and the saved options.
#include "game/puzzle_form.h"

#include <algorithm>
#include <limits>

#include "common/dpi.h"
#include "common/drawing.h"
#include "common/exceptions.h"
#include "common/message_box.h"
#include "common/platform.h"
#include "common/program_path.h"
#include "common/startup_trace.h"
#include "common/wtext.h"
#include "game/tile_paint.h"
#include "resources/resource_ids.h"
#include "settings/user_settings.h"
#include "smallib/application.h"
#include "smallib/dialogs.h"
#include "smallib/font_dialog.h"
#include "smallib/gdi_handles.h"
#include "smallib/report.h"

TSForm1* PuzzleForm = nullptr;
std::function<void(const std::u16string& name)> PuzzleSoundListener;

namespace {

// The unnamed section at the top of the settings file, and the window's own.
const std::u16string NoSection;
const std::u16string WindowSection = u"Window";

constexpr std::uint8_t CyrillicCharSet = RUSSIAN_CHARSET;  // 204

void gameSound(const std::u16string& name) {
    if (PuzzleSoundListener) PuzzleSoundListener(name);
    if (Application) Application->playSound(name);
}

// Reads fall back to the defaults when the program runs without settings.
bool readBool(const std::u16string& sect, const std::u16string& key, bool def) {
    return UserSettings ? UserSettings->readBool(sect, key, def) : def;
}
std::int32_t readInteger(const std::u16string& sect, const std::u16string& key, std::int32_t def) {
    return UserSettings ? UserSettings->readInteger(sect, key, def) : def;
}
std::u16string readString(const std::u16string& sect, const std::u16string& key, const std::u16string& def) {
    return UserSettings ? UserSettings->readString(sect, key, def) : def;
}

std::u16string oneTileSound(TZugArt z) {
    switch (z) {
        case TZugArt::auf: return u"up";
        case TZugArt::ab: return u"down";
        case TZugArt::links: return u"left";
        case TZugArt::rechts: return u"right";
        case TZugArt::none: break;
    }
    return u"ttt";
}

std::u16string clickSound(const THitResult& hit) {
    if (hit.zug == TZugArt::none) return u"ttt";
    if (hit.distance == 1) return oneTileSound(hit.zug);
    return hit.zug == TZugArt::auf || hit.zug == TZugArt::ab ? u"flup" : u"reib";
}

TZugArt arrowZug(WPARAM vKey) {
    switch (vKey) {
        case VK_UP: return TZugArt::auf;
        case VK_DOWN: return TZugArt::ab;
        case VK_LEFT: return TZugArt::links;
        case VK_RIGHT: return TZugArt::rechts;
        default: return TZugArt::none;
    }
}

std::int32_t fontHeightFor(std::int32_t cellHeight) { return MulDiv(cellHeight, 3, 4); }

int screenWidth() { return Screen ? Screen->Width() : GetSystemMetrics(SM_CXFULLSCREEN); }

std::uint32_t clockSeed() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<std::uint32_t>(counter.QuadPart) ^ static_cast<std::uint32_t>(GetTickCount64() << 7);
}

}  // namespace

void PlayPuzzleSound(const std::u16string& name) { gameSound(name); }
std::u16string SlideSound(const THitResult& slide) { return clickSound(slide); }

// --- Painting decisions --------------------------------------------------------------------

TCellWidthPlan PlanCellWidth(std::int32_t need, std::int32_t n, std::int32_t frameWidth, std::int32_t clientWidth,
                             std::int32_t screenWidth, std::int32_t cellHeight, std::int32_t lastRequest) {
    std::int32_t wanted = n * need + 3;
    if (frameWidth + wanted > screenWidth) {
        if (cellHeight > BoardPixels(MinCellHeight)) return {TCellWidthStep::shrinkHeight, need, 0};
        // Even the lowest cells do not fit: as wide as the screen, labels clipped.
        wanted = std::max(screenWidth - frameWidth, n + 3);
    }
    if (wanted == clientWidth || wanted == lastRequest)
        return {TCellWidthStep::none, std::max((clientWidth - 3) / n, 1), 0};
    return {TCellWidthStep::setClientWidth, need, wanted};
}

// --- The window ----------------------------------------------------------------------------

TSForm1::TSForm1() : TSForm(nullptr, u"ZIB", u"ZIB", u"MAINICON", LTGRAY_BRUSH) {}

TSForm1::~TSForm1() {
    if (PuzzleForm == this) PuzzleForm = nullptr;
}

void TSForm1::paint(HDC dc) {
    const SelectObjectScope font(dc, this->font().Handle());
    std::int32_t need = PaintBoard(dc) + BoardPixels(LabelMargin);
    const std::int32_t n = ClampBoardSize(BoardSize);
    if (FMenuOnOneLine) need = std::max(need, (menuBarWidth() - 3 + n - 1) / n);
    TraceStartup("board painted: cells %d wide, labels need %d", CellWidth, need);
    if (need == CellWidth) return;

    const int clientWidth = ClientWidth();
    const TCellWidthPlan plan = PlanCellWidth(need, n, Width() - clientWidth, clientWidth, screenWidth(), CellHeight,
                                              FRequestedClientWidth);
    const std::int32_t painted = CellWidth;
    CellWidth = plan.cellWidth;
    // The cells of this paint keep the old width; the size change brings the repaint.
    switch (plan.step) {
        case TCellWidthStep::shrinkHeight:
            SetHeight(MulDiv(Height(), 3, 4));
            break;
        case TCellWidthStep::setClientWidth:
            FRequestedClientWidth = plan.clientWidth;
            SetClientWidth(plan.clientWidth);
            break;
        case TCellWidthStep::none:
            // The window keeps its size: the cells share what it has, drawn at once.
            if (CellWidth != painted) invalidate();
            break;
    }
}

void TSForm1::wmSize(WORD sizeType, int, int) {
    // A minimized window has no client area: cells computed from it would be useless, and
    // snapping its height would resize the icon.
    if (sizeType == SIZE_MINIMIZED) return;
    const std::int32_t n = ClampBoardSize(BoardSize);
    const int clientWidth = ClientWidth();
    // At least one pixel, so that a click can always be mapped to a column.
    CellWidth = std::max((clientWidth - 3) / n, 1);
    CellHeight = std::max((ClientHeight() - 3) / n, BoardPixels(MinCellHeight));
    if (clientWidth == FRequestedClientWidth) FRequestedClientWidth = 0;
    SetClientHeight(n * CellHeight + 3);
    font().SetHeight(fontHeightFor(CellHeight));
    invalidate();
    TraceStartup("size: client %d x %d, cells %d x %d", clientWidth, ClientHeight(), CellWidth, CellHeight);
}

int TSForm1::wmLButtonDown(WORD, int x, int y) {
    const THitResult hit = HitTest(x / CellWidth + 1, y / CellHeight + 1);
    if (hit.zug == TZugArt::none)
        gameSound(clickSound(hit));
    else
        PlayMove(hit.zug, hit.distance, clickSound(hit));
    return 0;
}

int TSForm1::wmKeyDown(WPARAM& vKey) {
    const TZugArt z = arrowZug(vKey);
    if (z != TZugArt::none) {
        PlayMove(z, 1, u"flup");
        return 0;
    }
    if (translateCtrlShortcut(vKey)) return 0;
    // The menu shows "F1" and "Alt+F4" beside its items, so those keys must choose them;
    // every other key stays away from the default window procedure as before.
    TranslateShortcut(vKey);
    return 0;
}

bool TSForm1::DoMove(TZugArt zug) {
    const TCellPos was = Blank;
    if (!PlayZug(zug)) return false;
    const RECT from = CellRect(was.column, was.row);
    const RECT to = CellRect(Blank.column, Blank.row);
    InvalidateRect(Handle(), &from, FALSE);
    InvalidateRect(Handle(), &to, FALSE);
    return true;
}

std::int32_t TSForm1::menuBarWidth() const {
    std::int32_t width = 0;
    for (const RECT& item : MenuBarItemRects()) width += item.right - item.left;
    return width;
}

void TSForm1::Redraw() {
    FMenuOnOneLine = false;
    RECT client{};
    GetClientRect(Handle(), &client);
    SendMessageW(Handle(), WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    NewGame();
}

int TSForm1::HandleCommand(WORD id, WORD NotifyCode) {
    switch (id) {
        case IDM_CLOSE:
            return WM_CLOSE;
        case cmStart:
            return 0;
        case IDM_NEW_GAME:
            NewGame();
            return 0;
        case IDM_UNDO:
            Undo();
            return 0;
        case IDM_REDO:
            Redo();
            return 0;
        case IDM_START_AGAIN:
            StartAgain();
            return 0;
        case IDM_BEST_RESULTS:
            ShowBestResults();
            return 0;
        case IDM_MORE_CELLS:
            if (BoardSize < MaxBoardSize) {
                ++BoardSize;
                Redraw();
            }
            return 0;
        case IDM_FEWER_CELLS:
            if (BoardSize > MinBoardSize) {
                --BoardSize;
                Redraw();
            }
            return 0;
        case IDM_SOUND: {
            if (!Application) return 0;
            Application->withSound = !Application->withSound;
            MenuCheckItem(IDM_SOUND, Application->withSound);
            if (UserSettings) UserSettings->writeBool(NoSection, u"Sound", Application->withSound);
            return 0;
        }
        case IDM_BEGINNER:
        case IDM_EXPERT: {
            const bool beginner = id == IDM_BEGINNER;
            MenuCheckItem(IDM_EXPERT, !beginner);
            MenuCheckItem(IDM_BEGINNER, beginner);
            MergeCount = beginner ? BeginnerMergeCount : ExpertMergeCount;
            NewGame();
            return 0;
        }
        case IDM_FONT:
            // The dialog offers the face at a readable size; the cells dictate the height
            // afterwards, also when the dialog was cancelled.
            font().SetHeight(BoardPixels(20));
            FontDialog(font());
            font().SetHeight(fontHeightFor(CellHeight));
            return 0;
        case IDM_LABELS_GERMAN:
        case IDM_LABELS_ENGLISH:
            LabelLanguage = id == IDM_LABELS_GERMAN ? 0 : 1;
            NewGame();
            return 0;
        case IDM_LABELS_RUSSIAN: {
            font().SetCharSet(CyrillicCharSet);
            bool cyrillic = false;
            {
                const SelectObjectScope selected(dc(), font().Handle());
                cyrillic = DCCharSet(dc()) == CyrillicCharSet;
            }
            // Only a hint: the labels switch to Russian whatever the font can show.
            if (!cyrillic) msgInfo(u"Bitte wählen Sie eine Schrift, die kyrillische Zeichen enthält.");
            LabelLanguage = 2;
            NewGame();
            return 0;
        }
        case IDM_HELP: {
            const std::u16string page = ProgramDir + u"zib.htm";
            ShellOpen(Handle(), platform::FileExists(page) ? page : std::u16string(HelpPageAddress));
            return 0;
        }
        case IDM_HINT:
            FHint->Hint();
            return 0;
        case IDM_DEMONSTRATE:
            FHint->Demonstrate();
            return 0;
        case IDM_SOLUTION:
            ShowSolution();
            return 0;
        case IDN_SOLVED: {
            // Only the low 16 bits of the count travel with the command; the count itself is
            // still MoveCount, because nothing can move between the solving move and this.
            const std::int64_t count = (MoveCount & 0xFFFF) == NotifyCode ? MoveCount : NotifyCode;
            gameSound(u"yea");
            msgInfo(solvedMessage(count));
            NewGame();
            return 0;
        }
        default:
            return TSForm::HandleCommand(id, NotifyCode);
    }
}

int TSForm1::wmInitMenuPopup(HMENU menu, int, bool) {
    updateGameMenu();
    // A key looking for its menu item opens no menu: the board must not flicker for it.
    if (SearchingShortcut() || FSearchingCtrlShortcut) return 0;
    // The hint's item shows the moves to go; opening its menu starts finding them.
    if (GetMenuState(menu, IDM_HINT, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        FHint->Anticipate();
        ModifyMenuW(menu, IDM_HINT, MF_BYCOMMAND | MF_STRING, IDM_HINT, W(FHint->MenuText()));
    }
    // The Cyrillic variant of the face is realised once for every menu that opens; the
    // character set goes back at once. Each change re-creates the font and repaints.
    const std::uint8_t charSet = font().CharSet();
    font().SetCharSet(CyrillicCharSet);
    { const SelectObjectScope selected(dc(), font().Handle()); }
    font().SetCharSet(charSet);
    return 0;
}

RECT TSForm1::savedBounds() const {
    if (!IsIconic(FHandle) && !IsZoomed(FHandle)) return RECT{Left(), Top(), Left() + Width(), Top() + Height()};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(FHandle, &placement);
    // The normal rectangle is in work-area coordinates; the saved values are screen ones.
    RECT r = placement.rcNormalPosition;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &info))
        OffsetRect(&r, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    return r;
}

void TSForm1::writeOptions() const {
    if (UserSettings) {
        const RECT r = savedBounds();
        UserSettings->writeInteger(WindowSection, u"Left", r.left);
        UserSettings->writeInteger(WindowSection, u"Top", r.top);
        UserSettings->writeInteger(WindowSection, u"Width", r.right - r.left);
        UserSettings->writeInteger(WindowSection, u"Height", r.bottom - r.top);
        UserSettings->writeString(WindowSection, u"FontName", FontNameToStr(font().Name()));
        UserSettings->writeInteger(WindowSection, u"FontStyle", font().Style().Byte());
        UserSettings->writeInteger(NoSection, u"Size", BoardSize);
        UserSettings->writeInteger(NoSection, u"Merge", MergeCount);
        UserSettings->writeInteger(NoSection, u"Language", LabelLanguage);
        writeGame();
    }
}

void TSForm1::wmDestroy() {
    FHint->Shutdown();
    writeOptions();
    gameSound(u"!buf");
}

void TSForm1::wmDpiChanged(int dpi, const RECT& suggested) {
    // The cells of the new size are measured in the new scale. The new rectangle brings a size
    // change, but not when it keeps the old size: the cells are fitted here in any case, and
    // the window is painted once when the messages have settled.
    BoardDpi = dpi > 0 ? dpi : BaseDpi;
    TSForm::wmDpiChanged(dpi, suggested);
    if (!IsIconic(FHandle)) wmSize(SIZE_RESTORED, 0, 0);
}

LRESULT TSForm1::wndProc(UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Msg == WM_ENTERSIZEMOVE) FMenuOnOneLine = false;  // the user sizes the window now
    if (Msg == WM_ENDSESSION && wParam) {
        writeOptions();
        if (UserSettings) UserSettings->Save();
        return 0;
    }
    if (Msg == WM_ACTIVATE) windowActivated(wParam);
    if (FHint && FHint->HandleMessage(Msg, wParam, lParam)) {
        if (Msg == HintFoundMessage) ModifyMenuW(GetMenu(), IDM_HINT, MF_BYCOMMAND | MF_STRING, IDM_HINT, W(FHint->MenuText()));
        return 0;
    }
    const bool input = FHint && IsPlayerInput(Msg, wParam);
    if (input) FHint->StopDemonstration();
    const LRESULT result = TSForm::wndProc(Msg, wParam, lParam);
    // A move or a new game makes a search for the board before it useless.
    if (input && FHint) FHint->BoardChanged();
    return result;
}

void TSForm1::playHintMove(TZugArt zug) {
    MarkAssisted();
    PlayMove(zug, 1, oneTileSound(zug));
}

void TSForm1::bringOntoMonitor() {
    RECT r{Left(), Top(), Left() + std::max(Width(), 1), Top() + std::max(Height(), 1)};
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) return;
    SetLeft(info.rcWork.left + 10);
    SetTop(info.rcWork.top + 10);
}

void TSForm1::settleCells() {
    const WindowDC screen(nullptr);
    const MemoryDC dc(CreateCompatibleDC(screen.get()));
    if (!dc) return;
    // The answer of PlanCellWidth ends the cycle within a few rounds; the bound only guards.
    for (int round = 0; round < 4; ++round) {
        const std::int32_t cellWidth = CellWidth;
        const int width = Width();
        const int height = Height();
        paint(dc.get());
        if (CellWidth == cellWidth && Width() == width && Height() == height) break;
    }
}

void TSForm1::atCreate() {
    // The window opens where the player left it and at that size, so that a start whose size
    // holds moves it not at all; the steps of CreatePuzzleForm then find these values.
    SetLeft(readInteger(WindowSection, u"Left", Left()));
    SetTop(readInteger(WindowSection, u"Top", Top()));
    SetWidth(readInteger(WindowSection, u"Width", Width()));
    SetHeight(readInteger(WindowSection, u"Height", Height()));
}

TSForm1* CreatePuzzleForm() {
    SeedBoardRandom(clockSeed());
    // The window's first sizes come before it can tell its own DPI.
    BoardDpi = SystemDpi();
    PuzzleForm = TSForm::CreateForm<TSForm1>();
    if (!PuzzleForm) throw Exception(u"Das Spielfenster lässt sich nicht anlegen.");
    TSForm1& form = *PuzzleForm;
    // Every size change below reaches wmSize, but the window itself moves once, at the end.
    form.HoldBounds();
    struct BoundsRelease {
        TSForm1& form;
        ~BoundsRelease() { form.ReleaseBounds(); }
    } release{form};
    BoardDpi = WindowDpi(form.Handle());
    form.FHint = std::make_unique<THintControl>(form.Handle(), [&form](TZugArt z) { form.playHintMove(z); });

    BoardHooks.repaint = [] {
        if (PuzzleForm) PuzzleForm->invalidate();
    };
    BoardHooks.postSolved = [](std::uintptr_t wParam, std::intptr_t lParam) {
        if (PuzzleForm) PostMessageW(PuzzleForm->Handle(), WM_COMMAND, wParam, lParam);
    };
    BoardHooks.gameStarted = [] {
        if (PuzzleForm) PuzzleForm->gameStarted();
    };

    form.font().SetName(u"Times New Roman");
    form.font().SetHeight(BoardPixels(30));
    form.SetWidth(form.Height());
    form.SetHelpContext(100);

    const bool sound = readBool(NoSection, u"Sound", true);
    if (Application) Application->withSound = sound;
    form.MenuCheckItem(IDM_SOUND, sound);

    // A first start opens the window wide enough for the menu bar on one line: at some scales
    // the menu bar grows faster than the labels, and the lowest cells then sit under a menu bar
    // of two lines.
    constexpr std::int32_t unset = std::numeric_limits<std::int32_t>::min();
    form.FMenuOnOneLine = readInteger(WindowSection, u"Width", unset) == unset;
    form.SetLeft(readInteger(WindowSection, u"Left", form.Left()));
    form.SetTop(readInteger(WindowSection, u"Top", form.Top()));
    form.SetWidth(readInteger(WindowSection, u"Width", form.Width()));
    form.SetHeight(readInteger(WindowSection, u"Height", form.Height()));
    form.bringOntoMonitor();
    form.font().SetName(readString(WindowSection, u"FontName", FontNameToStr(form.font().Name())));
    form.font().SetStyle(TFontStyles::FromByte(static_cast<std::uint8_t>(readInteger(WindowSection, u"FontStyle", 1))));

    BoardSize = ClampBoardSize(readInteger(NoSection, u"Size", BoardSize));
    MergeCount = std::min(readInteger(NoSection, u"Merge", MergeCount), MaxMergeCount);
    const std::int32_t language = readInteger(NoSection, u"Language", 0);
    if (language >= 0 && language <= 2) LabelLanguage = static_cast<std::uint8_t>(language);
    form.MenuCheckItem(IDM_EXPERT, MergeCount != BeginnerMergeCount);
    form.MenuCheckItem(IDM_BEGINNER, MergeCount == BeginnerMergeCount);

    if (!form.resumeSavedGame()) NewGame();
    form.settleCells();
    const SIZE predicted{form.ClientWidth(), form.ClientHeight()};
    form.ReleaseBounds();
    // Should the window have laid out its frame other than reckoned, its own size decides.
    if (form.ClientWidth() != predicted.cx || form.ClientHeight() != predicted.cy) form.settleCells();
    return PuzzleForm;
}

// --- The message box of the running game ---------------------------------------------------

int TGameMsgBox::Info(const std::u16string& msg) {
    return modalBox(MainWnd, W(msg), L"Tessarino", MB_OK | MB_ICONINFORMATION);
}
