#include "ui/welcome/html_view_ctrl.h"

#include "foundation/wide_text.h"

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
    return static_cast<bool>(m_browser);
}

void CHtmlViewCtrl::DestroyBrowser()
{
    // The control lets go of its site before it closes, so that it calls nothing of ours on the way.
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
    if (!m_browser || pMsg == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    auto active = m_browser.Query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    return active && active->TranslateAccelerator(pMsg) == S_OK;
}

HRESULT CHtmlViewCtrl::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) { return S_OK; }

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
