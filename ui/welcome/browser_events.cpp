#include "ui/welcome/browser_events.h"

#include "framework/platform_boundary.h"

#include <exdisp.h>
#include <exdispid.h>

namespace {

// The event's parameter at position (counted as declared; the browser passes them last first),
// or null when the browser passed another number than count.
const VARIANTARG* Parameter(const DISPPARAMS& params, UINT count, UINT position)
{
    return params.cArgs == count && params.rgvarg != nullptr ? &params.rgvarg[count - 1 - position] : nullptr;
}

VARIANT_BOOL* CancelFlag(const VARIANTARG* parameter)
{
    return parameter != nullptr && parameter->vt == (VT_BYREF | VT_BOOL) ? parameter->pboolVal : nullptr;
}

// A text parameter, given as it is or by reference, directly or in a variant; null otherwise.
const WCHAR* TextOf(const VARIANTARG* parameter)
{
    if (parameter != nullptr && parameter->vt == (VT_BYREF | VT_VARIANT))
        parameter = parameter->pvarVal;
    if (parameter == nullptr)
        return nullptr;
    if (parameter->vt == VT_BSTR)
        return parameter->bstrVal != nullptr ? parameter->bstrVal : L"";
    if (parameter->vt == (VT_BYREF | VT_BSTR) && parameter->pbstrVal != nullptr)
        return *parameter->pbstrVal != nullptr ? *parameter->pbstrVal : L"";
    return nullptr;
}

} // namespace

BrowserEvents::BrowserEvents(BrowserEventsOwner& owner) : m_owner(&owner) {}

STDMETHODIMP BrowserEvents::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BrowserEvents::AddRef() { return ++m_references; }

STDMETHODIMP_(ULONG) BrowserEvents::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP BrowserEvents::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (params == nullptr)
        return E_INVALIDARG;
    return CallFromCom([&] {
        switch (id) {
        case DISPID_BEFORENAVIGATE2:
            return OnBeforeNavigate2(*params);
        case DISPID_NEWWINDOW2:
            return OnNewWindow(*params, false);
        case DISPID_NEWWINDOW3:
            return OnNewWindow(*params, true);
        case DISPID_FILEDOWNLOAD:
            return OnFileDownload(*params);
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    });
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
HRESULT BrowserEvents::OnBeforeNavigate2(const DISPPARAMS& params)
{
    VARIANT_BOOL* const cancel = CancelFlag(Parameter(params, 7, 6));
    if (cancel == nullptr)
        return E_INVALIDARG;
    // Cancelled first: should the owner fail, the navigation stays cancelled.
    *cancel = VARIANT_TRUE;
    if (m_owner != nullptr && m_owner->OnNavigate(TextOf(Parameter(params, 7, 1))))
        *cancel = VARIANT_FALSE;
    return S_OK;
}

// NewWindow2(ppDisp, Cancel) and NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
HRESULT BrowserEvents::OnNewWindow(const DISPPARAMS& params, bool withUrl)
{
    const UINT count = withUrl ? 5 : 2;
    VARIANT_BOOL* const cancel = CancelFlag(Parameter(params, count, 1));
    if (cancel == nullptr)
        return E_INVALIDARG;
    *cancel = VARIANT_TRUE;
    if (m_owner != nullptr && withUrl)
        m_owner->OnNewWindow(TextOf(Parameter(params, count, 4)));
    return S_OK;
}

// FileDownload(ActiveDocument, Cancel). The browser announces every document it loads this way
// too; those it shows in place were judged as navigations, the rest are downloads.
HRESULT BrowserEvents::OnFileDownload(const DISPPARAMS& params)
{
    const VARIANTARG* const activeDocument = Parameter(params, 2, 0);
    VARIANT_BOOL* const cancel = CancelFlag(Parameter(params, 2, 1));
    if (cancel == nullptr)
        return E_INVALIDARG;
    const bool inPlace = activeDocument->vt == VT_BOOL && activeDocument->boolVal != VARIANT_FALSE;
    if (!inPlace)
        *cancel = VARIANT_TRUE;
    return S_OK;
}
