// No exception may cross into the platform: its frames cannot be unwound (an i686 build's
// DWARF unwinder stops at them and terminates; on x86_64 the result is undefined). Every
// procedure the platform calls runs its body through one of these.
//
// A window procedure, hook or callback keeps what it caught for this thread: the modal loop that
// runs the message ends, and its DoModal throws the exception again, where the caller reports it
// like any other. A COM method answers with an error HRESULT instead.
#pragma once

#include <windows.h>

#include <exception>
#include <new>
#include <utility>

// Keeps an exception for this thread; the first one kept wins until it is taken.
void KeepPendingException(std::exception_ptr exception) noexcept;
bool HasPendingException() noexcept;
// Gives the kept exception, or null, and forgets it. A caller that runs callbacks inside a
// window procedure takes what was kept before them, so that it can tell what they keep, and
// keeps it again afterwards for its owner (see COutlookLauncher::CloseOutlook).
std::exception_ptr TakePendingException() noexcept;
// Throws the kept exception, if there is one, and forgets it.
void RethrowPendingException();

// Runs function for the platform; when it throws, the exception is kept and fallback is the answer.
template <class Result, class Function>
Result CallFromPlatform(Result fallback, Function&& function) noexcept
{
    try {
        return std::forward<Function>(function)();
    } catch (...) {
        KeepPendingException(std::current_exception());
        return fallback;
    }
}

// Runs the body of a COM method: an exception becomes the method's error result.
template <class Function>
HRESULT CallFromCom(Function&& function) noexcept
{
    try {
        return std::forward<Function>(function)();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
