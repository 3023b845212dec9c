#include "msi_api.h"

#include "system_library.h"

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
