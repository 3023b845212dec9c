#include "app/outlook_detection.h"

#include "app/msi_api.h"
#include "foundation/setup_log.h"

#include <iterator>

namespace {

// A component code or a qualifier, and the architecture of the Outlook it stands for.
struct OutlookName {
    const char* name;
    OutlookArchitecture architecture;
};

constexpr OutlookName kOutlookComponents[] = {
    {"{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}", OutlookArchitecture::X64},
    {"{CC29EA4B-7BC2-11D1-A921-00A0C91E2AA2}", OutlookArchitecture::X86},
    {"{3CE26368-6322-4ABF-B11B-458F5C450D0F}", OutlookArchitecture::X86},
    {"{0638C49D-BB8B-4CD1-B191-055E8F325736}", OutlookArchitecture::X86},
    {"{DE6A97CD-93BF-455C-A45F-7694344B686F}", OutlookArchitecture::X86},
    {"{CFF13DD8-6EF2-49EB-B265-E3BFC6501C1D}", OutlookArchitecture::X86},
};

// The categories under which Office publishes Outlook to MAPI clients, newest first, and in each
// the qualifiers, the 64-bit one first.
constexpr const char* kOutlookCategories[] = {
    "{5812C571-53F0-4467-BEFA-0A4F47A9437C}",  // Outlook 2016 and later, Microsoft 365 included
    "{E83B4360-C208-4325-9504-0D23003A74A5}",  // Outlook 2013
};

constexpr OutlookName kOutlookQualifiers[] = {
    {"outlook.x64.exe", OutlookArchitecture::X64},
    {"outlook.exe", OutlookArchitecture::X86},
};

// Longer than any qualifier looked for: a longer one is another's and is passed over.
constexpr DWORD kQualifierBuffer = 64;
// A registration that never ends its list (a broken one) is not followed for ever.
constexpr DWORD kMostQualifiers = 256;

// Every state but unknown and absent counts: local, source, advertised, broken, and also a
// path too long for the buffer.
bool ComponentInstalled(const MsiFunctions& msi, const char* componentCode)
{
    if (msi.LocateComponent == nullptr)
        return false;
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH - 1;
    const INSTALLSTATE state = msi.LocateComponent(componentCode, path, &size);
    const bool installed = state != INSTALLSTATE_UNKNOWN && state != INSTALLSTATE_ABSENT;
    if (installed)
        SetupLog::Write("Outlook detection: component %s answered with state %d", componentCode, state);
    return installed;
}

// Qualifiers are registry value names to Windows Installer: their case does not count. They are
// ASCII, so the comparison needs no locale.
bool SameQualifier(const char* left, const char* right)
{
    for (;; ++left, ++right) {
        const char a = (*left >= 'A' && *left <= 'Z') ? static_cast<char>(*left - 'A' + 'a') : *left;
        const char b = (*right >= 'A' && *right <= 'Z') ? static_cast<char>(*right - 'A' + 'a') : *right;
        if (a != b)
            return false;
        if (a == '\0')
            return true;
    }
}

// The qualifiers of Outlook that the category publishes, as a bit per entry of kOutlookQualifiers.
// MsiEnumComponentQualifiersA only reads the registration and changes nothing. The provide call
// (MsiProvideQualifiedComponent(Ex)) is documented to install, prompt for the source and count a
// use of the feature, and no install mode is documented to leave out the count; Wine ignores its
// mode altogether. An error, an unknown category included, ends the list.
unsigned PublishedQualifiers(const MsiFunctions& msi, const char* category)
{
    unsigned published = 0;
    for (DWORD index = 0; index < kMostQualifiers; ++index) {
        char qualifier[kQualifierBuffer] = {};
        DWORD size = kQualifierBuffer;
        const UINT result = msi.EnumComponentQualifiers(category, index, qualifier, &size, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        for (size_t i = 0; i < std::size(kOutlookQualifiers); ++i)
            if (SameQualifier(qualifier, kOutlookQualifiers[i].name))
                published |= 1u << i;
    }
    return published;
}

OutlookArchitecture QualifiedComponentOutlook(const MsiFunctions& msi)
{
    if (msi.EnumComponentQualifiers == nullptr)
        return OutlookArchitecture::None;
    for (const char* category : kOutlookCategories) {
        const unsigned published = PublishedQualifiers(msi, category);
        for (size_t i = 0; i < std::size(kOutlookQualifiers); ++i) {
            if (published & (1u << i)) {
                SetupLog::Write("Outlook detection: category %s publishes the qualifier \"%s\"", category,
                                kOutlookQualifiers[i].name);
                return kOutlookQualifiers[i].architecture;
            }
        }
    }
    return OutlookArchitecture::None;
}

const char* ArchitectureText(OutlookArchitecture architecture)
{
    return architecture == OutlookArchitecture::X64 ? "64-bit" : "32-bit";
}

} // namespace

OutlookArchitecture DetectOutlook(OutlookSearch search)
{
    const MsiFunctions& msi = Msi();
    for (const OutlookName& component : kOutlookComponents) {
        if (ComponentInstalled(msi, component.name)) {
            SetupLog::Write("Outlook detection: %s Outlook", ArchitectureText(component.architecture));
            return component.architecture;
        }
    }
    if (search == OutlookSearch::SixComponents) {
        SetupLog::Write("Outlook detection: none of the six Outlook components is installed");
        return OutlookArchitecture::None;
    }
    const OutlookArchitecture newer = QualifiedComponentOutlook(msi);
    if (newer != OutlookArchitecture::None) {
        SetupLog::Write("Outlook detection: %s Outlook 2013 or later", ArchitectureText(newer));
        return newer;
    }
    SetupLog::Write("Outlook detection: none of the six Outlook components is installed, and no Outlook 2013 or "
                    "later is published");
    return OutlookArchitecture::None;
}
