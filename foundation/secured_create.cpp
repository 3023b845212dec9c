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

// The descriptor as the platform takes it, owned until the call that uses it has returned.
class Descriptor {
public:
    explicit Descriptor(const char* text)
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA(text, SDDL_REVISION_1, &descriptor, nullptr))
            m_memory.Reset(descriptor);
    }
    bool IsValid() const { return m_memory.IsValid(); }
    SECURITY_ATTRIBUTES* Attributes()
    {
        m_attributes = {sizeof m_attributes, m_memory.Get(), FALSE};
        return &m_attributes;
    }

private:
    UniqueLocalMemory m_memory;
    SECURITY_ATTRIBUTES m_attributes = {};
};

} // namespace

SecuredCreateFunctions SetSecuredCreateFunctions(const SecuredCreateFunctions& functions)
{
    const SecuredCreateFunctions previous = Table();
    Table() = functions;
    return previous;
}

DWORD CreateSecuredFolder(const char* path, const char* descriptor)
{
    Descriptor security(descriptor);
    if (!security.IsValid())
        return GetLastError();
    return Table().CreateFolder(path, security.Attributes()) ? ERROR_SUCCESS : GetLastError();
}

UniqueKernelHandle CreateSecuredFile(const char* path, const char* descriptor, DWORD access, DWORD share,
                                     DWORD disposition)
{
    Descriptor security(descriptor);
    if (!security.IsValid())
        return UniqueKernelHandle();
    return UniqueKernelHandle(Table().OpenOrCreateFile(
        path, access, share, security.Attributes(), disposition,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
        nullptr));
}
