#include "tests/win/support/fake_windows_installer.h"

#include <cstring>

namespace {

FakeWindowsInstaller* g_current = nullptr;

INSTALLSTATE WINAPI LocateComponent(LPCSTR code, LPSTR path, LPDWORD size)
{
    g_current->locatedComponents.push_back(code);
    if (g_current->onLocate)
        g_current->onLocate(code);
    const auto found = g_current->components.find(code);
    if (found == g_current->components.end())
        return INSTALLSTATE_UNKNOWN;
    if (path != nullptr && size != nullptr && *size > 0)
        lstrcpynA(path, found->second.path.c_str(), static_cast<int>(*size));
    return found->second.state;
}

UINT WINAPI EnumRelatedProducts(LPCSTR upgradeCode, DWORD, DWORD index, LPSTR product)
{
    const auto found = g_current->relatedProducts.find(upgradeCode);
    if (found == g_current->relatedProducts.end() || index >= found->second.size())
        return ERROR_NO_MORE_ITEMS;
    lstrcpynA(product, found->second[index].c_str(), 39);
    return ERROR_SUCCESS;
}

UINT WINAPI EnumProducts(DWORD index, LPSTR product)
{
    if (index >= g_current->products.size())
        return ERROR_NO_MORE_ITEMS;
    lstrcpynA(product, g_current->products[index].c_str(), 39);
    return ERROR_SUCCESS;
}

INSTALLUILEVEL WINAPI SetInternalUI(INSTALLUILEVEL level, HWND*)
{
    g_current->uiLevels.push_back(level);
    return INSTALLUILEVEL_DEFAULT;
}

UINT WINAPI InstallProduct(LPCSTR package, LPCSTR commandLine)
{
    ++g_current->installs;
    g_current->package = package;
    g_current->commandLine = commandLine != nullptr ? commandLine : "";
    if (g_current->onInstall)
        g_current->onInstall(package, commandLine);
    return g_current->installResult;
}

UINT WINAPI EnableLog(DWORD, LPCSTR path, DWORD attributes)
{
    g_current->logPath = path != nullptr ? path : "";
    g_current->logAttributes = attributes;
    return ERROR_SUCCESS;
}

MsiFunctions Fake()
{
    MsiFunctions functions;
    functions.LocateComponent = LocateComponent;
    functions.EnumRelatedProducts = EnumRelatedProducts;
    functions.EnumProducts = EnumProducts;
    functions.SetInternalUI = SetInternalUI;
    functions.InstallProduct = InstallProduct;
    functions.EnableLog = EnableLog;
    return functions;
}

} // namespace

FakeWindowsInstaller::FakeWindowsInstaller() : m_functions(Fake())
{
    g_current = this;
}

FakeWindowsInstaller::~FakeWindowsInstaller()
{
    g_current = nullptr;
}
