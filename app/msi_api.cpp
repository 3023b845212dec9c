#include "app/msi_api.h"

#include "framework/system_library.h"

namespace {

template <class Function>
void Bind(HMODULE module, Function& target, const char* name)
{
    target = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

MsiFunctions LoadFromSystem()
{
    MsiFunctions functions;
    // The module stays loaded for the rest of the process.
    HMODULE msi = LoadSystemLibrary("msi.dll");
    if (msi == nullptr)
        return functions;
    Bind(msi, functions.LocateComponent, "MsiLocateComponentA");
    Bind(msi, functions.EnumRelatedProducts, "MsiEnumRelatedProductsA");
    Bind(msi, functions.EnumProducts, "MsiEnumProductsA");
    Bind(msi, functions.SetInternalUI, "MsiSetInternalUI");
    Bind(msi, functions.InstallProduct, "MsiInstallProductA");
    Bind(msi, functions.EnableLog, "MsiEnableLogA");
    Bind(msi, functions.EnumComponentQualifiers, "MsiEnumComponentQualifiersA");
    return functions;
}

MsiFunctions& Table()
{
    static MsiFunctions table = LoadFromSystem();
    return table;
}

} // namespace

const MsiFunctions& Msi() { return Table(); }

MsiFunctions SetMsiFunctions(const MsiFunctions& functions)
{
    MsiFunctions previous = Table();
    Table() = functions;
    return previous;
}

bool WindowsInstallerReachable()
{
    const MsiFunctions& msi = Msi();
    return msi.LocateComponent != nullptr && msi.EnumRelatedProducts != nullptr && msi.EnumProducts != nullptr &&
           msi.SetInternalUI != nullptr && msi.InstallProduct != nullptr;
}

bool EnableMsiVerboseLog(const char* path)
{
    const MsiFunctions& msi = Msi();
    if (msi.EnableLog == nullptr || path == nullptr || *path == '\0')
        return false;
    // What "msiexec /l*v" writes: every kind of message, verbose. Appended to the file the setup
    // made and holds, which Windows Installer then neither deletes nor truncates.
    const DWORD everything = INSTALLLOGMODE_FATALEXIT | INSTALLLOGMODE_ERROR | INSTALLLOGMODE_WARNING |
                             INSTALLLOGMODE_USER | INSTALLLOGMODE_INFO | INSTALLLOGMODE_RESOLVESOURCE |
                             INSTALLLOGMODE_OUTOFDISKSPACE | INSTALLLOGMODE_ACTIONSTART |
                             INSTALLLOGMODE_ACTIONDATA | INSTALLLOGMODE_COMMONDATA |
                             INSTALLLOGMODE_PROPERTYDUMP | INSTALLLOGMODE_VERBOSE;
    return msi.EnableLog(everything, path, INSTALLLOGATTRIBUTES_APPEND) == ERROR_SUCCESS;
}
