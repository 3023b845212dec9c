// The desktop's folder view hands out the shell's automation object, whose ShellExecute runs
// inside Explorer: IShellWindows finds the desktop, its top-level browser gives the active
// view, the view's background object gives the Shell.Application of that Explorer.
#include "outlook/unelevated_shell_execute.h"

#include "foundation/com_init_guard.h"
#include "foundation/com_ref.h"
#include "foundation/wide_text.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

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
    // Takes the text in the active code page; false when there is no memory for it.
    bool SetText(const char* text)
    {
        VariantClear(&m_value);
        BSTR value = SysAllocString(ToUtf16(text, CP_ACP).data());
        if (value == nullptr)
            return false;
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
bool GetDesktopFolderView(ComRef<IShellFolderViewDual>& folderView)
{
    ComRef<IShellWindows> shellWindows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                shellWindows.Receive())))
        return false;

    Variant desktopLocation;
    desktopLocation.SetInt(CSIDL_DESKTOP);
    Variant noRoot;
    LONG desktopWindow = 0;
    ComRef<IDispatch> desktop;
    // S_FALSE with no object when there is no desktop window registered.
    if (shellWindows->FindWindowSW(desktopLocation.Get(), noRoot.Get(), SWC_DESKTOP, &desktopWindow,
                                   SWFO_NEEDDISPATCH, desktop.Put()) != S_OK ||
        !desktop)
        return false;

    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.Receive())) &&
           SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Receive())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Put())) && view &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Receive())) && background &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.Receive())) && folderView;
}

} // namespace

bool ShellExecuteAsDesktopUser(const char* verb, const char* file, int showCommand)
{
    const ComInitGuard com;
    if (!com.IsUsable())
        return false;

    ComRef<IShellFolderViewDual> folderView;
    if (!GetDesktopFolderView(folderView))
        return false;
    ComRef<IDispatch> application;
    ComRef<IShellDispatch2> shell;
    if (FAILED(folderView->get_Application(application.Put())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.Receive())))
        return false;

    Variant fileName, noArguments, noFolder, operation, show;
    if (!fileName.SetText(file) || !noArguments.SetText("") || !noFolder.SetText("") || !operation.SetText(verb))
        return false;
    show.SetInt(showCommand);
    // S_FALSE is Explorer's answer when it could not start the program.
    return shell->ShellExecute(fileName.Value().bstrVal, noArguments.Value(), noFolder.Value(), operation.Value(),
                               show.Value()) == S_OK;
}
