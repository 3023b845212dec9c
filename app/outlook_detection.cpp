#include "app/outlook_detection.h"

#include "app/msi_api.h"
#include "foundation/setup_log.h"

namespace {

struct OutlookComponent {
    const char* code;
    OutlookArchitecture architecture;
};

constexpr OutlookComponent kOutlookComponents[] = {
    {"{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}", OutlookArchitecture::X64},
    {"{CC29EA4B-7BC2-11D1-A921-00A0C91E2AA2}", OutlookArchitecture::X86},
    {"{3CE26368-6322-4ABF-B11B-458F5C450D0F}", OutlookArchitecture::X86},
    {"{0638C49D-BB8B-4CD1-B191-055E8F325736}", OutlookArchitecture::X86},
    {"{DE6A97CD-93BF-455C-A45F-7694344B686F}", OutlookArchitecture::X86},
    {"{CFF13DD8-6EF2-49EB-B265-E3BFC6501C1D}", OutlookArchitecture::X86},
};

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

} // namespace

OutlookArchitecture DetectOutlook()
{
    const MsiFunctions& msi = Msi();
    for (const OutlookComponent& component : kOutlookComponents) {
        if (ComponentInstalled(msi, component.code)) {
            SetupLog::Write("Outlook detection: %s Outlook",
                            component.architecture == OutlookArchitecture::X64 ? "64-bit" : "32-bit");
            return component.architecture;
        }
    }
    SetupLog::Write("Outlook detection: none of the six Outlook components is installed%s",
                    msi.LocateComponent == nullptr ? " (Windows Installer cannot be reached)" : "");
    return OutlookArchitecture::None;
}
