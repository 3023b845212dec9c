// The desktop's folder view hands out the shell's automation object, whose ShellExecute runs
// inside Explorer: IShellWindows finds the desktop, its top-level browser gives the active
// view, the view's background object gives the Shell.Application of that Explorer.
#include "unelevated_shell_execute.h"

#include "com_init_guard.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <utility>

namespace {

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

    // The address to receive a new pointer; the old one is released first.
    Interface** Put()
    {
        Reset();
        return &m_pointer;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

private:
    void Reset()
    {
        if (m_pointer != nullptr)
            std::exchange(m_pointer, nullptr)->Release();
    }

    Interface* m_pointer = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&m_value); }
    ~Variant() { VariantClear(&m_value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    void SetInt(int value)
    {
        VariantClear(&m_value);
        m_value.vt = VT_I4;
        m_value.lVal = value;
    }
    // Takes the text in the active code page; false when it cannot be converted.
    bool SetText(const char* text)
    {
        VariantClear(&m_value);
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (length <= 0)
            return false;
        BSTR value = SysAllocStringLen(nullptr, static_cast<UINT>(length - 1));
        if (value == nullptr)
            return false;
        MultiByteToWideChar(CP_ACP, 0, text, -1, value, length);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = value;
        return true;
    }
    VARIANT* Get() { return &m_value; }
    const VARIANT& Value() const { return m_value; }

private:
    VARIANT m_value;
};

// The desktop folder view's automation object, or nothing.
bool GetDesktopFolderView(ComPtr<IShellFolderViewDual>& folderView)
{
    ComPtr<IShellWindows> shellWindows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                shellWindows.PutVoid())))
        return false;

    Variant desktopLocation;
    desktopLocation.SetInt(CSIDL_DESKTOP);
    Variant noRoot;
    LONG desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    // S_FALSE with no object when there is no desktop window registered.
    if (shellWindows->FindWindowSW(desktopLocation.Get(), noRoot.Get(), SWC_DESKTOP, &desktopWindow,
                                   SWFO_NEEDDISPATCH, desktop.Put()) != S_OK ||
        !desktop)
        return false;

    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.PutVoid())) &&
           SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Put())) && view &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) && background &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.PutVoid())) && folderView;
}

} // namespace

bool ShellExecuteAsDesktopUser(const char* verb, const char* file, int showCommand)
{
    const ComInitGuard com;
    if (!com.IsUsable())
        return false;

    ComPtr<IShellFolderViewDual> folderView;
    if (!GetDesktopFolderView(folderView))
        return false;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(folderView->get_Application(application.Put())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.PutVoid())))
        return false;

    Variant fileName, noArguments, noFolder, operation, show;
    if (!fileName.SetText(file) || !noArguments.SetText("") || !noFolder.SetText("") || !operation.SetText(verb))
        return false;
    show.SetInt(showCommand);
    // S_FALSE is Explorer's answer when it could not start the program.
    return shell->ShellExecute(fileName.Value().bstrVal, noArguments.Value(), noFolder.Value(), operation.Value(),
                               show.Value()) == S_OK;
}
