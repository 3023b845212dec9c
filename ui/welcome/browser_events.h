// The browser's events (DWebBrowserEvents2) as the browser delivers them, through
// IDispatch::Invoke: a navigation the owner does not allow, every new window and every download
// are cancelled. Nothing else is handled.
#pragma once

#include <windows.h>

#include <oaidl.h>

class BrowserEventsOwner {
public:
    // Whether the browser may go to the URL in place (null when the browser gives none).
    virtual bool OnNavigate(const WCHAR* url) = 0;
    // The browser wants a new window for the URL (null when the browser gives none); it gets none.
    virtual void OnNewWindow(const WCHAR* url) = 0;

protected:
    ~BrowserEventsOwner() = default;
};

class BrowserEvents final : public IDispatch {
public:
    // Starts with one reference, the caller's.
    explicit BrowserEvents(BrowserEventsOwner& owner);
    BrowserEvents(const BrowserEvents&) = delete;
    BrowserEvents& operator=(const BrowserEvents&) = delete;

    // The owner goes away: every navigation is cancelled from now on.
    void Detach() { m_owner = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: only Invoke, by the events' dispatch ids.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~BrowserEvents() = default;

    HRESULT OnBeforeNavigate2(const DISPPARAMS& params);
    HRESULT OnNewWindow(const DISPPARAMS& params, bool withUrl);
    HRESULT OnFileDownload(const DISPPARAMS& params);

    BrowserEventsOwner* m_owner;
    ULONG m_references = 1;
};
