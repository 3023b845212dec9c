#include "ui/welcome/html_view_ctrl.h"

#include "foundation/setup_log.h"
#include "foundation/wide_text.h"
#include "outlook/unelevated_shell_execute.h"
#include "ui/welcome/page_keys.h"

#include <ole2.h>

namespace {

// A narrow path as the automation string the browser takes. Paths are in the system's ANSI
// code page, whatever code page the thread has been given.
class BstrText {
public:
    explicit BstrText(LPCSTR text) : m_text(SysAllocString(ToUtf16(text, CP_ACP).data())) {}
    ~BstrText() { SysFreeString(m_text); }
    BstrText(const BstrText&) = delete;
    BstrText& operator=(const BstrText&) = delete;

    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

} // namespace

CHtmlViewCtrl::~CHtmlViewCtrl()
{
    DestroyWindow();
    DestroyBrowser();
}

BOOL CHtmlViewCtrl::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                           CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    CreateBrowser();
    return TRUE;
}

bool CHtmlViewCtrl::CreateBrowser()
{
    m_ole.Start();

    ComRef<IOleObject> object;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.Receive())))
        return false;
    m_site.Reset(new BrowserSite(*this));
    auto* clientSite = static_cast<IOleClientSite*>(m_site.Get());

    DWORD miscStatus = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &miscStatus);
    const bool siteFirst = (miscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst)
        object->SetClientSite(clientSite);
    if (auto persist = object.Query<IPersistStreamInit>(IID_IPersistStreamInit))
        persist->InitNew();
    if (!siteFirst)
        object->SetClientSite(clientSite);
    m_object = std::move(object);

    RECT client{};
    GetClientRect(&client);
    if (FAILED(m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, m_hWnd, &client))) {
        DestroyBrowser();
        return false;
    }
    m_browser = m_object.Query<IWebBrowser2>(IID_IWebBrowser2);
    // A browser whose navigations nobody hears could go anywhere: better none at all.
    if (!m_browser || !ConnectEvents()) {
        DestroyBrowser();
        return false;
    }
    m_browser->put_Silent(VARIANT_TRUE);
    m_browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    return true;
}

bool CHtmlViewCtrl::ConnectEvents()
{
    auto sources = m_browser.Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComRef<IConnectionPoint> source;
    if (!sources || FAILED(sources->FindConnectionPoint(DIID_DWebBrowserEvents2, source.Put())) || !source)
        return false;
    m_events.Reset(new BrowserEvents(*this));
    if (FAILED(source->Advise(m_events.Get(), &m_eventCookie)))
        return false;
    m_eventSource = std::move(source);
    return true;
}

void CHtmlViewCtrl::DestroyBrowser()
{
    // The control lets go of its site before it closes, so that it calls nothing of ours on the way.
    if (m_eventSource) {
        m_eventSource->Unadvise(m_eventCookie);
        m_eventSource.Reset();
    }
    if (m_events) {
        m_events->Detach();
        m_events.Reset();
    }
    m_browser.Reset();
    if (m_object) {
        m_object->SetClientSite(nullptr);
        m_object->Close(OLECLOSE_NOSAVE);
        m_object.Reset();
    }
    if (m_site) {
        m_site->Detach();
        m_site.Reset();
    }
}

void CHtmlViewCtrl::Navigate2(LPCSTR url, DWORD flags)
{
    if (!m_browser || url == nullptr)
        return;
    m_folder = FolderOfPage(ToUtf16(url, CP_ACP).data());
    const BstrText urlText(url);
    VARIANT urlArgument;
    VariantInit(&urlArgument);
    urlArgument.vt = VT_BSTR;
    urlArgument.bstrVal = urlText.Get();
    VARIANT flagArgument;
    VariantInit(&flagArgument);
    flagArgument.vt = VT_I4;
    flagArgument.lVal = static_cast<LONG>(flags);
    // No target frame, post data or headers.
    VARIANT none;
    VariantInit(&none);
    m_browser->Navigate2(&urlArgument, &flagArgument, &none, &none, &none);
}

BOOL CHtmlViewCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    if (!IsPageKey(*pMsg)) {
        // Dispatched to this plain window instead, which does only what every window does with
        // a key (Alt+F4 closes the dialog); the browser's window never sees it.
        pMsg->hwnd = m_hWnd;
        return FALSE;
    }
    auto active = m_browser.Query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    return active && active->TranslateAccelerator(pMsg) == S_OK;
}

HRESULT CHtmlViewCtrl::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) { return S_OK; }

bool CHtmlViewCtrl::OnNavigate(const WCHAR* url)
{
    switch (JudgeLink(url, m_folder)) {
    case LinkAction::Show:
        return true;
    case LinkAction::OpenOutside:
        OpenOutside(url);
        return false;
    case LinkAction::Refuse:
        break;
    }
    SetupLog::Write("Welcome page: the browser kept from %s, which is no file of the page's folder",
                    ToAnsiExactly(url).GetString());
    return false;
}

void CHtmlViewCtrl::OnNewWindow(const WCHAR* url)
{
    if (JudgeLink(url, m_folder) == LinkAction::OpenOutside)
        OpenOutside(url);
}

void CHtmlViewCtrl::OpenOutside(const WCHAR* url)
{
    // An outside link is plain ASCII, the same in every code page.
    const CStringA address = ToAnsiExactly(url);
    if (ShellExecuteAsDesktopUser("open", address, SW_SHOWNORMAL))
        SetupLog::Write("Welcome page: %s opened through the desktop's shell", address.GetString());
    else
        SetupLog::Write("Welcome page: %s not opened; the desktop's shell cannot open it, and the setup opens "
                        "nothing elevated",
                        address.GetString());
}

bool CHtmlViewCtrl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_ERASEBKGND: {
        // Shows while the browser is missing or has not painted yet.
        RECT area{};
        GetClientRect(&area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_WINDOW));
        *pResult = TRUE;
        return true;
    }
    case WM_SIZE:
        // The size carried may be the dialog's (it tells every descendant its own size):
        // the browser fills this window, whatever the message says.
        if (auto inPlace = m_object.Query<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
            RECT area{};
            GetClientRect(&area);
            inPlace->SetObjectRects(&area, &area);
        }
        break;
    case WM_DESTROY:
        // The dialog is going: the browser goes before its window is destroyed under it.
        DestroyBrowser();
        break;
    default:
        break;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
