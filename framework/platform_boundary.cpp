#include "framework/platform_boundary.h"

namespace {
thread_local std::exception_ptr t_pendingException;
}

void KeepPendingException(std::exception_ptr exception) noexcept
{
    if (!t_pendingException)
        t_pendingException = std::move(exception);
}

bool HasPendingException() noexcept
{
    return static_cast<bool>(t_pendingException);
}

void RethrowPendingException()
{
    if (t_pendingException)
        std::rethrow_exception(std::exchange(t_pendingException, nullptr));
}
