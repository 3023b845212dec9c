#include "html_view_ctrl.h"

#include <ole2.h>

namespace {

const char kClassName[] = "VsHtmlViewCtrl";

bool RegisterHostClass(HINSTANCE module, WNDPROC procedure)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(module, kClassName, &existing))
        return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    // Without a browser the view is an empty white page.
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExA(&windowClass) != 0;
}

class WideText {
public:
    explicit WideText(LPCSTR text)
    {
        const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
        m_text = SysAllocStringLen(nullptr, length > 0 ? length - 1 : 0);
        if (m_text != nullptr && length > 0)
            MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, m_text, length);
    }
    ~WideText() { SysFreeString(m_text); }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

// A string argument of Navigate2, or an empty one when there is no text.
VARIANT TextArgument(const WideText* text)
{
    VARIANT argument;
    VariantInit(&argument);
    if (text != nullptr && text->Get() != nullptr) {
        argument.vt = VT_BSTR;
        argument.bstrVal = text->Get();
    }
    return argument;
}

} // namespace

CHtmlViewCtrl::~CHtmlViewCtrl()
{
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
    DestroyBrowser();
    if (m_oleStarted)
        OleUninitialize();
}

BOOL CHtmlViewCtrl::Create(LPCSTR windowName, DWORD style, const RECT& rect, HWND parent, UINT id)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    if (m_hWnd != nullptr || !RegisterHostClass(module, WindowProc))
        return FALSE;
    CreateWindowExA(0, kClassName, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), module, this);
    if (m_hWnd == nullptr)
        return FALSE;
    CreateBrowser();
    return TRUE;
}

bool CHtmlViewCtrl::CreateBrowser()
{
    // In-place activation needs OLE on this thread; a thread that has it already keeps it.
    if (!m_oleStarted)
        m_oleStarted = SUCCEEDED(OleInitialize(nullptr));

    ComRef<IOleObject> object;
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.Receive())))
        return false;
    m_site = new BrowserSite(*this);
    auto* clientSite = static_cast<IOleClientSite*>(m_site);

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
    GetClientRect(m_hWnd, &client);
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
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
}

void CHtmlViewCtrl::Navigate2(LPCSTR url, DWORD flags, LPCSTR targetFrameName, LPCSTR headers)
{
    if (!m_browser || url == nullptr)
        return;
    const WideText urlText(url);
    const WideText frameText(targetFrameName != nullptr ? targetFrameName : "");
    const WideText headerText(headers != nullptr ? headers : "");
    VARIANT urlArgument = TextArgument(&urlText);
    VARIANT flagArgument;
    VariantInit(&flagArgument);
    flagArgument.vt = VT_I4;
    flagArgument.lVal = static_cast<LONG>(flags);
    VARIANT frameArgument = TextArgument(targetFrameName != nullptr ? &frameText : nullptr);
    VARIANT headerArgument = TextArgument(headers != nullptr ? &headerText : nullptr);
    VARIANT noPostData;
    VariantInit(&noPostData);
    m_browser->Navigate2(&urlArgument, &flagArgument, &frameArgument, &noPostData, &headerArgument);
}

BOOL CHtmlViewCtrl::PreTranslateMessage(MSG* message)
{
    if (!m_browser || message == nullptr || message->message < WM_KEYFIRST || message->message > WM_KEYLAST)
        return FALSE;
    if (message->hwnd != m_hWnd && !IsChild(m_hWnd, message->hwnd))
        return FALSE;
    auto active = m_browser.Query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    return active && active->TranslateAccelerator(message) == S_OK;
}

HRESULT CHtmlViewCtrl::OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) { return S_OK; }

LRESULT CALLBACK CHtmlViewCtrl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* view = static_cast<CHtmlViewCtrl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        view->m_hWnd = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<CHtmlViewCtrl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (view != nullptr) {
        switch (message) {
        case WM_SIZE:
            if (auto inPlace = view->m_object.Query<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
                const RECT area{0, 0, LOWORD(lParam), HIWORD(lParam)};
                inPlace->SetObjectRects(&area, &area);
            }
            break;
        case WM_DESTROY:
            // The parent is going: the browser goes before its window is destroyed under it.
            view->DestroyBrowser();
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            view->m_hWnd = nullptr;
            break;
        default:
            break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
