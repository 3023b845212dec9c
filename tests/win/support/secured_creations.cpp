#include "tests/win/support/secured_creations.h"

#include <sddl.h>

namespace {

std::map<std::string, std::string> g_made;

std::string Sid(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return "?";
    std::string result = text;
    LocalFree(text);
    return result;
}

std::string Inheritance(const ACE_HEADER& header)
{
    const BYTE inside = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    return (header.AceFlags & inside) == inside ? " inside too" : "";
}

std::string Entries(PACL acl, bool label)
{
    const DWORD changing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | DELETE |
                           FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;
    std::string entries;
    for (DWORD index = 0; acl != nullptr && index < acl->AceCount; ++index) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!GetAce(acl, index, reinterpret_cast<void**>(&ace)))
            return "unreadable";
        const bool allowed = ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE;
        const bool isLabel = ace->Header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE;
        if (!(label ? isLabel : allowed))
            return "an entry of type " + std::to_string(ace->Header.AceType);
        const bool noWriteUp = (ace->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) != 0;
        entries += (entries.empty() ? "" : ", ") + Sid(&ace->SidStart) +
                   (label ? (noWriteUp ? " no write up" : " writable") : ((ace->Mask & changing) != 0 ? " write" : " read")) +
                   Inheritance(ace->Header);
    }
    return entries;
}

BOOL WINAPI RecordFolder(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    g_made[path] = security != nullptr ? DescribeDescriptor(security->lpSecurityDescriptor) : "none";
    return CreateDirectoryA(path, security);
}

HANDLE WINAPI RecordFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                         DWORD flags, HANDLE model)
{
    g_made[path] = security != nullptr ? DescribeDescriptor(security->lpSecurityDescriptor) : "none";
    return CreateFileA(path, access, share, security, disposition, flags, model);
}

} // namespace

std::string DescribeDescriptor(PSECURITY_DESCRIPTOR descriptor)
{
    PSID owner = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    PACL dacl = nullptr, sacl = nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
        !GetSecurityDescriptorControl(descriptor, &control, &revision))
        return "none";
    std::string text = "owner " + (owner != nullptr ? Sid(owner) : std::string("from the token"));
    if (GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present)
        text += std::string((control & SE_DACL_PROTECTED) != 0 ? "; protected: " : "; inheriting: ") + Entries(dacl, false);
    else
        text += "; access list from the folder";
    if (GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted) && present)
        text += "; label " + Entries(sacl, true);
    return text;
}

SecuredCreations::SecuredCreations() : m_functions({RecordFolder, RecordFile}) { g_made.clear(); }

SecuredCreations::~SecuredCreations() { g_made.clear(); }

std::string SecuredCreations::At(const std::string& path) const
{
    const auto found = g_made.find(path);
    return found != g_made.end() ? found->second : std::string();
}
