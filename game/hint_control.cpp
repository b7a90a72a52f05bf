// The worker thread only runs the solver: it reads nothing of the window or the board, and
// hands its answer over through the job it shares with the window, announced by a posted
// message. Nothing it raises leaves the thread; a failure is reported on the UI thread.
#include "game/hint_control.h"

#include <exception>

#include "common/exceptions.h"
#include "common/platform.h"
#include "game/solver/solver.h"
#include "resources/resource_ids.h"
#include "smallib/report.h"

namespace {

// One solver for the program: its tables are computed or read at the first search.
solver::TSolver& gameSolver() {
    static solver::TSolver s(solver::DefaultCacheFile());
    return s;
}

}  // namespace

THintSearch HintSearch;

bool IsPlayerInput(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return true;
        case WM_COMMAND:
            return LOWORD(wParam) != IDM_DEMONSTRATE;
        default:
            return false;
    }
}

// The worker writes the answer before it posts its message, and the window reads it only
// after joining the worker, so the answer needs no lock.
struct THintControl::TJob {
    std::uint32_t serial = 0;
    std::vector<std::uint8_t> cells;
    std::atomic<bool> cancel{false};
    solver::TSolution solution;
    std::string failure;
};

THintControl::THintControl(HWND window, std::function<void(TZugArt)> playMove)
    : FWindow(window), FPlayMove(std::move(playMove)) {}

THintControl::~THintControl() { Shutdown(); }

void THintControl::Shutdown() {
    StopDemonstration();
    stopSearch();
    FWant = TWant::nothing;
}

void THintControl::stopSearch() {
    if (FJob) FJob->cancel = true;
    if (FWorker.joinable()) FWorker.join();
    FJob.reset();
}

std::vector<std::uint8_t> THintControl::boardCells() const {
    const std::int32_t n = ClampBoardSize(BoardSize);
    std::vector<std::uint8_t> cells;
    for (std::int32_t r = 1; r <= n; ++r)
        for (std::int32_t c = 1; c <= n; ++c) {
            const std::int32_t v = Board(c, r);
            cells.push_back(static_cast<std::uint8_t>(v == BlankValue ? 0 : v));
        }
    return cells;
}

bool THintControl::solutionFits() const { return FKnown && FAt == boardCells(); }

std::int32_t THintControl::MovesToGo() const {
    return solutionFits() ? static_cast<std::int32_t>(FMoves.size() - FNext) : -1;
}

std::u16string THintControl::MenuText() const {
    std::u16string text = u"&Tipp";
    if (solutionFits()) {
        const std::size_t left = FMoves.size() - FNext;
        text += (FOptimal ? u" (noch " : u" (noch höchstens ") + DecimalText(static_cast<std::int64_t>(left)) + (left == 1 ? u" Zug)" : u" Züge)");
    } else if (FJob) {
        text += u" (wird gesucht)";
    }
    return text + u"\tF2";
}

void THintControl::Hint() {
    StopDemonstration();
    if (solutionFits()) {
        playNext();
    } else {
        search(TWant::hint);
    }
}

void THintControl::Demonstrate() {
    StopDemonstration();
    if (solutionFits()) {
        if (FNext < FMoves.size() && SetTimer(FWindow, DemonstrationTimer, DemonstrationPace, nullptr)) FDemonstrating = true;
    } else {
        search(TWant::demonstration);
    }
}

void THintControl::StopDemonstration() {
    if (FDemonstrating) KillTimer(FWindow, DemonstrationTimer);
    FDemonstrating = false;
    // A demonstration still waiting for its search will not start either.
    if (FWant == TWant::demonstration) FWant = TWant::nothing;
}

void THintControl::BoardChanged() {
    if (FPlaying) return;
    StopDemonstration();
    // A player who makes the solution's next move keeps the solution and its count.
    if (FKnown && FNext < FMoves.size()) {
        std::vector<std::uint8_t> next = FAt;
        if (solver::ApplyMove(next, FMoves[FNext]) && next == boardCells()) {
            FAt = std::move(next);
            ++FNext;
        }
    }
    if (FJob && FJob->cells != boardCells()) {
        stopSearch();
        FWant = TWant::nothing;
    }
}

void THintControl::Anticipate() {
    if (!solutionFits() && !FJob) search(TWant::nothing);
}

void THintControl::search(TWant want) {
    if (want != TWant::nothing) FWant = want;
    const std::vector<std::uint8_t> cells = boardCells();
    if (FJob && FJob->cells == cells) return;  // already under way
    stopSearch();
    auto job = std::make_shared<TJob>();
    job->serial = ++FSerial;
    job->cells = cells;
    const HWND window = FWindow;
    THintSearch run = HintSearch;
    FWorker = std::thread([job, window, run] {
        try {
            job->solution = run ? run(job->cells, job->cancel) : gameSolver().Solve(job->cells, job->cancel);
        } catch (const std::exception& e) {
            job->failure = e.what();
        } catch (...) {
            job->failure = "unknown error";
        }
        if (!job->cancel) PostMessageW(window, HintFoundMessage, job->serial, 0);
    });
    FJob = std::move(job);
}

void THintControl::finish(std::uint32_t serial) {
    if (!FJob || FJob->serial != serial) return;  // an answer to a search given up
    const std::shared_ptr<TJob> job = FJob;
    if (FWorker.joinable()) FWorker.join();
    FJob.reset();
    const TWant want = FWant;
    FWant = TWant::nothing;
    solver::TSolution s = std::move(job->solution);
    if (!job->failure.empty())
        throw Exception(u"Der Tipp ließ sich nicht finden: " + platform::FromUtf8(job->failure));
    if (s.status != solver::TStatus::solved || job->cells != boardCells()) return;
    FKnown = true;
    FOptimal = s.optimal;
    FMoves = std::move(s.moves);
    FNext = 0;
    FAt = job->cells;
    if (want == TWant::hint) Hint();
    if (want == TWant::demonstration) Demonstrate();
}

void THintControl::playNext() {
    if (FNext >= FMoves.size()) {
        StopDemonstration();
        return;
    }
    const TZugArt z = FMoves[FNext++];
    FPlaying = true;
    try {
        FPlayMove(z);
    } catch (...) {
        FPlaying = false;
        throw;
    }
    FPlaying = false;
    const std::vector<std::uint8_t> now = boardCells();
    // The move solved the board: the solved box and the new game follow through the board's
    // posted notification, so the solution ends here.
    std::vector<std::uint8_t> expected = FAt;
    if (!solver::ApplyMove(expected, z) || expected != now) {
        FKnown = false;
        StopDemonstration();
        return;
    }
    FAt = now;
    if (FNext >= FMoves.size()) StopDemonstration();
}

bool THintControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM) {
    if (msg == HintFoundMessage) {
        finish(static_cast<std::uint32_t>(wParam));
        return true;
    }
    if (msg == WM_TIMER && wParam == DemonstrationTimer) {
        if (FDemonstrating && solutionFits())
            playNext();
        else
            StopDemonstration();
        return true;
    }
    return false;
}
