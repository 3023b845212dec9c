#include "tests/win/support/secured_creations.h"

#include <sddl.h>

#include <map>

namespace {

std::map<std::string, std::string> g_made;

// Self-relative, as a text converts to: one text, one sequence of bytes.
std::string Bytes(PSECURITY_DESCRIPTOR descriptor)
{
    return std::string(static_cast<const char*>(descriptor), GetSecurityDescriptorLength(descriptor));
}

BOOL WINAPI RecordFolder(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    g_made[path] = Bytes(security->lpSecurityDescriptor);
    return CreateDirectoryA(path, security);
}

HANDLE WINAPI RecordFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                         DWORD flags, HANDLE model)
{
    g_made[path] = Bytes(security->lpSecurityDescriptor);
    return CreateFileA(path, access, share, security, disposition, flags, model);
}

} // namespace

SecuredCreations::SecuredCreations() : m_functions({RecordFolder, RecordFile}) { g_made.clear(); }

bool SecuredCreations::MadeWith(const std::string& path, const char* descriptor) const
{
    PSECURITY_DESCRIPTOR expected = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &expected, nullptr))
        return false;
    const std::string bytes = Bytes(expected);
    LocalFree(expected);
    const auto found = g_made.find(path);
    return found != g_made.end() && found->second == bytes;
}
