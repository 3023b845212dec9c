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

std::exception_ptr TakePendingException() noexcept
{
    return std::exchange(t_pendingException, nullptr);
}

void RethrowPendingException()
{
    if (std::exception_ptr pending = TakePendingException())
        std::rethrow_exception(std::move(pending));
}
