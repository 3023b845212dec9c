#include "foundation/secured_create.h"

#include <sddl.h>

const char kAdministratorsOnlyFolder[] =
    "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)S:(ML;OICI;NW;;;HI)";
const char kAdministratorsOnlyFile[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)S:(ML;;NW;;;HI)";
const char kAdministratorsOwnedFile[] = "O:BAS:(ML;;NW;;;HI)";

namespace {

SecuredCreateFunctions& Table()
{
    static SecuredCreateFunctions table{CreateDirectoryA, CreateFileA};
    return table;
}

// The descriptor as the platform takes it; none, with the last error set, for a text it cannot read.
UniqueLocalMemory FromText(const char* text)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(text, SDDL_REVISION_1, &descriptor, nullptr);
    return UniqueLocalMemory(descriptor);
}

} // namespace

SecuredCreateFunctions SetSecuredCreateFunctions(const SecuredCreateFunctions& functions)
{
    const SecuredCreateFunctions previous = Table();
    Table() = functions;
    return previous;
}

DWORD CreateSecuredFolder(const char* path, const char* descriptor)
{
    const UniqueLocalMemory memory = FromText(descriptor);
    SECURITY_ATTRIBUTES security = {sizeof security, memory.Get(), FALSE};
    if (!memory)
        return GetLastError();
    return Table().CreateFolder(path, &security) ? ERROR_SUCCESS : GetLastError();
}

UniqueKernelHandle CreateSecuredFile(const char* path, const char* descriptor, DWORD access, DWORD share,
                                     DWORD disposition)
{
    const UniqueLocalMemory memory = FromText(descriptor);
    SECURITY_ATTRIBUTES security = {sizeof security, memory.Get(), FALSE};
    if (!memory)
        return UniqueKernelHandle();
    return UniqueKernelHandle(Table().OpenOrCreateFile(
        path, access, share, &security, disposition,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
        nullptr));
}
