#include "tests/win/support/temp_dir.h"
#include "ui/welcome/html_view_ctrl.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

// A plain top-level window standing in for the dialog that hosts the view.
class ParentWindow : public CWnd {
public:
    ParentWindow() { CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, RECT{0, 0, 640, 480}, nullptr, 0); }
    HWND Get() const { return m_hWnd; }
};

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class SiteOwner : public BrowserSiteOwner {
public:
    HWND GetSiteWindow() const override { return window; }
    HRESULT OnShowContextMenu(DWORD, LPPOINT, LPUNKNOWN, LPDISPATCH) override
    {
        ++menus;
        if (failure)
            failure();
        return answer;
    }
    HWND window = nullptr;
    HRESULT answer = S_OK;
    int menus = 0;
    std::function<void()> failure;
};

} // namespace

TEST(HtmlViewCtrl, ChildControlWithTheGivenIdStyleAndRectangle)
{
    TempDir dir;
    WriteFileBytes(dir / "index.htm", "\xEF\xBB\xBF<html><body><p>page</p></body></html>");
    ParentWindow parent;
    ASSERT_NE(parent.Get(), nullptr);
    {
        CHtmlViewCtrl view;
        const RECT area{0, 0, 600, 380};
        ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, area, &parent, 1000));
        const HWND window = view.GetSafeHwnd();
        EXPECT_EQ(GetDlgItem(parent.Get(), 1000), window);
        EXPECT_EQ(GetParent(window), parent.Get());
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_BORDER), WS_CHILD | WS_VISIBLE);
        RECT placed{};
        GetWindowRect(window, &placed);
        MapWindowPoints(nullptr, parent.Get(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, 0);
        EXPECT_EQ(placed.top, 0);
        EXPECT_EQ(placed.right, 600);
        EXPECT_EQ(placed.bottom, 380);

        // Whether or not a browser could be had, navigating and pumping must not disturb the host.
        view.Navigate2((dir / "index.htm").c_str());
        PumpMessages();
        std::printf("browser control: %s\n", view.GetBrowser() != nullptr ? "created" : "not available");

        if (IWebBrowser2* browser = view.GetBrowser()) {
            // The browser's client site is ours, and it swallows the context menu.
            IOleObject* object = nullptr;
            ASSERT_EQ(browser->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
            IOleClientSite* site = nullptr;
            EXPECT_EQ(object->GetClientSite(&site), S_OK);
            ASSERT_NE(site, nullptr);
            IDocHostUIHandler* handler = nullptr;
            ASSERT_EQ(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)), S_OK);
            POINT point{10, 10};
            EXPECT_EQ(handler->ShowContextMenu(0, &point, nullptr, nullptr), S_OK);
            handler->Release();
            site->Release();
            object->Release();
        }
    }
    PumpMessages();
    EXPECT_EQ(GetDlgItem(parent.Get(), 1000), nullptr) << "the view's window goes with the view";
}

TEST(HtmlViewCtrl, ViewOutlivedByNothingWhenTheParentGoesFirst)
{
    ParentWindow parent;
    CHtmlViewCtrl view;
    const RECT area{0, 0, 300, 200};
    ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, area, &parent, 1000));
    parent.DestroyWindow();
    EXPECT_EQ(view.GetSafeHwnd(), nullptr);
    EXPECT_EQ(view.GetBrowser(), nullptr);
    view.Navigate2("C:\\nothing.htm");
}

TEST(BrowserSite, OneObjectBehindEveryInterfaceAndTheOwnerAnswersTheMenu)
{
    SiteOwner owner;
    ParentWindow parent;
    owner.window = parent.Get();
    auto* site = new BrowserSite(owner);
    IUnknown* identity = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    for (REFIID iid : {IID_IOleClientSite, IID_IOleWindow, IID_IOleInPlaceSite, IID_IOleInPlaceUIWindow,
                       IID_IOleInPlaceFrame, IID_IDocHostUIHandler}) {
        IUnknown* asked = nullptr;
        ASSERT_EQ(site->QueryInterface(iid, reinterpret_cast<void**>(&asked)), S_OK);
        IUnknown* back = nullptr;
        ASSERT_EQ(asked->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)), S_OK);
        EXPECT_EQ(back, identity);
        back->Release();
        asked->Release();
    }
    IUnknown* none = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&none)), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    // The in-place frame is the dialog, the area the site window's client area.
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    ASSERT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(info.hwndFrame, parent.Get());
    EXPECT_EQ(position.right, 640);
    EXPECT_EQ(position.bottom, 480);
    EXPECT_EQ(document, nullptr);
    ASSERT_NE(frame, nullptr);
    frame->Release();

    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    owner.answer = S_FALSE;
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(owner.menus, 2);
    // A failure of the owner never reaches the browser, which gets an error result instead.
    owner.failure = [] { throw std::bad_alloc(); };
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), E_OUTOFMEMORY);
    owner.failure = [] { throw std::runtime_error("menu"); };
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), E_FAIL);
    owner.failure = nullptr;
    EXPECT_EQ(owner.menus, 4);
    // Once the owner has gone, late calls still show no menu and reach nothing.
    site->Detach();
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(owner.menus, 4);

    EXPECT_EQ(identity->Release(), 1u);
    EXPECT_EQ(site->Release(), 0u);
}
