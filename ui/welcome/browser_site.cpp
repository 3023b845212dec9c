#include "ui/welcome/browser_site.h"

#include "framework/platform_boundary.h"
#include "ui/welcome/page_keys.h"

// The methods that reach the owner run through CallFromCom; the others only answer constants.

BrowserSite::BrowserSite(BrowserSiteOwner& owner) : m_owner(&owner) {}

STDMETHODIMP BrowserSite::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    // IUnknown and IOleWindow come through the client site and the in-place site, always the
    // same pointer, so that the control sees one object.
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *object = static_cast<IDocHostUIHandler*>(this);
    else if (IsEqualIID(iid, IID_IDropTarget))
        *object = static_cast<IDropTarget*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) BrowserSite::AddRef() { return ++m_references; }

STDMETHODIMP_(ULONG) BrowserSite::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP BrowserSite::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker != nullptr)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::GetContainer(IOleContainer** container)
{
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserSite::ShowObject() { return S_OK; }
STDMETHODIMP BrowserSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP BrowserSite::RequestNewObjectLayout() { return E_NOTIMPL; }

STDMETHODIMP BrowserSite::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = nullptr;
    return CallFromCom([&] {
        *window = m_owner != nullptr ? m_owner->GetSiteWindow() : nullptr;
        return *window != nullptr ? S_OK : E_FAIL;
    });
}

STDMETHODIMP BrowserSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP BrowserSite::CanInPlaceActivate() { return m_owner != nullptr ? S_OK : S_FALSE; }
STDMETHODIMP BrowserSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP BrowserSite::OnUIActivate() { return S_OK; }

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || frameInfo == nullptr)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    return CallFromCom([&] {
        const HWND window = m_owner != nullptr ? m_owner->GetSiteWindow() : nullptr;
        SetRectEmpty(position);
        if (window != nullptr)
            GetClientRect(window, position);
        *clip = *position;
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    });
}

STDMETHODIMP BrowserSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP BrowserSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP BrowserSite::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP BrowserSite::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP BrowserSite::DeactivateAndUndo() { return E_NOTIMPL; }
// The control keeps the rectangle its host window gives it.
STDMETHODIMP BrowserSite::OnPosRectChange(LPCRECT) { return S_OK; }

// No tool bars: the control gets no border space.
STDMETHODIMP BrowserSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP BrowserSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP BrowserSite::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }
STDMETHODIMP BrowserSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
// No menus: the dialog has none to share.
STDMETHODIMP BrowserSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP BrowserSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP BrowserSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP BrowserSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP BrowserSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

STDMETHODIMP BrowserSite::ShowContextMenu(DWORD menuId, POINT* point, IUnknown* commandTarget, IDispatch* dispatch)
{
    // S_OK tells the browser that its host handled the menu; without an owner it shows none too.
    return CallFromCom([&] {
        return m_owner != nullptr ? m_owner->OnShowContextMenu(menuId, point, commandTarget, dispatch) : S_OK;
    });
}

// No help menu, the local machine's lockdown for the page, no protocols the system does not
// trust. The 3D border, scroll bars and text selection stay as the browser has them.
STDMETHODIMP BrowserSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (info == nullptr)
        return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_DISABLE_HELP_MENU | DOCHOSTUIFLAG_LOCAL_MACHINE_ACCESS_CHECK |
                    DOCHOSTUIFLAG_DISABLE_UNTRUSTEDPROTOCOL;
    // A DPI-aware setup (VS_CURRENT_WINDOWS) gets a browser's area at the display's scale: the
    // page is zoomed to match, as Windows would otherwise stretch the whole window.
    if (IsProcessDPIAware())
        info->dwFlags |= DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

// S_FALSE lets the browser show its own user interface.
STDMETHODIMP BrowserSite::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                 IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

STDMETHODIMP BrowserSite::HideUI() { return S_OK; }
STDMETHODIMP BrowserSite::UpdateUI() { return S_OK; }
STDMETHODIMP BrowserSite::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP BrowserSite::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP BrowserSite::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
// S_OK tells the browser the key was handled: it runs no command of its own for it.
STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD)
{
    return message == nullptr || IsPageKey(*message) ? S_FALSE : S_OK;
}

STDMETHODIMP BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key != nullptr)
        *key = nullptr;
    return E_NOTIMPL;
}

// The browser's own target would open a dropped file or address; this one takes nothing.
STDMETHODIMP BrowserSite::GetDropTarget(IDropTarget*, IDropTarget** replacement)
{
    if (replacement == nullptr)
        return E_POINTER;
    *replacement = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP BrowserSite::GetExternal(IDispatch** dispatch)
{
    if (dispatch != nullptr)
        *dispatch = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* urlOut)
{
    if (urlOut != nullptr)
        *urlOut = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::FilterDataObject(IDataObject*, IDataObject** replacement)
{
    if (replacement != nullptr)
        *replacement = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) { return DragOver(0, {}, effect); }

STDMETHODIMP BrowserSite::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (effect == nullptr)
        return E_POINTER;
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP BrowserSite::DragLeave() { return S_OK; }

STDMETHODIMP BrowserSite::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) { return DragOver(0, {}, effect); }
