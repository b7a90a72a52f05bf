// SWndProc, the one window procedure of every framework window, and the exceptions it holds back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <exception>

class TSWinCtrl0;

// The object pointer lives in the window's extra bytes at this offset; a window class of the
// framework reserves WindowExtraBytes.
inline constexpr int ObjectSlotOffset = 8;
inline constexpr int WindowExtraBytes = ObjectSlotOffset + static_cast<int>(sizeof(void*));

// The window procedure of every framework window class. At WM_NCCREATE it binds the window to
// the object given as creation parameter (CREATESTRUCTW::lpCreateParams); messages before that,
// and messages of a window without an object, go to DefWindowProcW. WM_GETMINMAXINFO goes to
// DefWindowProcW as well when the object's wndProc returns nonzero. A device context that the
// object takes during a message is released when the message ends. An exception thrown by a
// handler stops at this procedure: it is held for the message loop (below) and the message
// answers 0; WM_NCCREATE answers what the default procedure answers, so that the window is
// still created.
LRESULT CALLBACK SWndProc(HWND hwnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// The object bound to a window of the framework; null for any other window.
TSWinCtrl0* BoundObject(HWND hwnd) noexcept;

// Exceptions that handlers of this thread's windows raised, oldest first. The message loop
// takes them after each dispatched message and reports them.
bool HasPendingException() noexcept;
// The oldest held exception, removed from the queue; null when there is none.
std::exception_ptr TakePendingException() noexcept;
// Rethrows the oldest held exception, if any, on the caller's (C++) stack.
void RethrowPendingException();
// How many exceptions are held; with DropPendingExceptionsAfter a caller forgets those that
// the handlers of one call raised (a window's creation completes whatever they raise).
std::size_t PendingExceptionCount() noexcept;
void DropPendingExceptionsAfter(std::size_t count) noexcept;
