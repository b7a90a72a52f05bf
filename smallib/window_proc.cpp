// SWndProc, the one window procedure of every framework window, and the exceptions it holds back.
#include "smallib/window_proc.h"

#include <deque>
#include <utility>

#include "smallib/winctrl0.h"

namespace {

// Windows belong to the thread that created them, and so do the exceptions of their handlers.
thread_local std::deque<std::exception_ptr> pendingExceptions;

void holdException(std::exception_ptr e) noexcept {
    try {
        pendingExceptions.push_back(std::move(e));
    } catch (...) {
        // Out of memory while reporting: the report is lost, the program goes on.
    }
}

}  // namespace

TSWinCtrl0* BoundObject(HWND hwnd) noexcept {
    if (!hwnd) return nullptr;
    if (GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&SWndProc)) return nullptr;
    return reinterpret_cast<TSWinCtrl0*>(GetWindowLongPtrW(hwnd, ObjectSlotOffset));
}

LRESULT CALLBACK SWndProc(HWND hwnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    TSWinCtrl0* obj = nullptr;
    if (Msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        obj = cs ? static_cast<TSWinCtrl0*>(cs->lpCreateParams) : nullptr;
        if (obj) {
            obj->FHandle = hwnd;
            SetWindowLongPtrW(hwnd, ObjectSlotOffset, reinterpret_cast<LONG_PTR>(obj));
        }
    } else {
        obj = reinterpret_cast<TSWinCtrl0*>(GetWindowLongPtrW(hwnd, ObjectSlotOffset));
    }
    if (!obj) return DefWindowProcW(hwnd, Msg, wParam, lParam);

    // No exception leaves the try block, so the end of the message always runs.
    const TSWinCtrl0::DCState saved = obj->beginMessage();
    LRESULT result = 0;
    try {
        result = obj->wndProc(Msg, wParam, lParam);
        if (Msg == WM_GETMINMAXINFO && result != 0) result = DefWindowProcW(hwnd, Msg, wParam, lParam);
    } catch (...) {
        holdException(std::current_exception());
        // A zero answer to WM_NCCREATE would cancel the window, and with it the program's
        // main form: the window is made all the same.
        result = Msg == WM_NCCREATE ? DefWindowProcW(hwnd, Msg, wParam, lParam) : 0;
    }
    if (Msg == WM_NCDESTROY && !obj->FWindowGone) {
        // A handler kept the message from the base dispatch: the window is gone all the same.
        SetWindowLongPtrW(hwnd, ObjectSlotOffset, 0);
        obj->FWindowGone = true;
    }
    if (obj->endMessage(saved)) delete obj;
    return result;
}

bool HasPendingException() noexcept { return !pendingExceptions.empty(); }

std::exception_ptr TakePendingException() noexcept {
    if (pendingExceptions.empty()) return nullptr;
    std::exception_ptr e = std::move(pendingExceptions.front());
    pendingExceptions.pop_front();
    return e;
}

std::size_t PendingExceptionCount() noexcept { return pendingExceptions.size(); }

void DropPendingExceptionsAfter(std::size_t count) noexcept {
    if (pendingExceptions.size() > count) pendingExceptions.resize(count);
}

void RethrowPendingException() {
    if (std::exception_ptr e = TakePendingException()) std::rethrow_exception(e);
}
