#include "framework/dialog.h"
#include "tests/directory_link/directory_link.h"
#include "tests/win/support/temp_dir.h"
#include "tests/win/ui/welcome/test_page_ids.h"
#include "ui/welcome/html_view_ctrl.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

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
                       IID_IOleInPlaceFrame, IID_IDocHostUIHandler, IID_IDropTarget}) {
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

    // The browser's own drop target gives way to one that takes nothing.
    IDropTarget* dropTarget = nullptr;
    ASSERT_EQ(site->GetDropTarget(nullptr, &dropTarget), S_OK);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(dropTarget->DragEnter(nullptr, MK_LBUTTON, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    dropTarget->Release();

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

namespace {

// The view with the person's shell replaced by a list: under Wine the shell would start Wine's
// own browser. That the shell starts programs as the person is shown by the Outlook start tests.
class RecordingView : public CHtmlViewCtrl {
public:
    std::vector<bool> answers;
    std::vector<std::wstring> opened;
    bool OnNavigate(const WCHAR* url) override
    {
        answers.push_back(CHtmlViewCtrl::OnNavigate(url));
        return answers.back();
    }

protected:
    void OpenOutside(const WCHAR* url) override { opened.emplace_back(url); }
};

// Fires an event at the sink as the browser does: the parameters last first, Cancel by
// reference at cancelAt. True when the sink cancelled.
bool Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> declared, size_t cancelAt)
{
    VARIANT_BOOL cancel = VARIANT_FALSE;
    declared[cancelAt].vt = VT_BYREF | VT_BOOL;
    declared[cancelAt].pboolVal = &cancel;
    std::reverse(declared.begin(), declared.end());
    DISPPARAMS params{declared.data(), nullptr, static_cast<UINT>(declared.size()), 0};
    EXPECT_EQ(sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    return cancel != VARIANT_FALSE;
}

VARIANT Value(VARTYPE type, LONG number = 0, BSTR text = nullptr)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    if (type == VT_BSTR)
        value.bstrVal = text;
    else
        value.lVal = number;
    return value;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

} // namespace

// Wine runs no browser engine in this bed (no mshtml): no page is loaded and no link can be
// clicked. Wine's control does announce its own navigation to the page, which must reach the
// view; the links are then fired at the view's event sink as the control fires them.
TEST(HtmlViewCtrl, ShowsOnlyFilesOfItsFolderAndHandsOutsideLinksToTheShell)
{
    TempDir dir;
    const std::string folder = dir / "welcome";
    for (const char* sub : {"welcome", "welcome\\images", "welcome-evil", "elsewhere"})
        CreateDirectoryA((dir / sub).c_str(), nullptr);
    for (const char* file : {"welcome\\index.htm", "welcome\\images\\img1.jpg", "welcome-evil\\x.htm",
                             "outside.htm", "elsewhere\\secret.htm"})
        WriteFileBytes(dir / file, "page");
    const bool linked = MakeDirectoryLink(folder + "\\link", dir / "elsewhere");
    ParentWindow parent;
    RecordingView view;
    ASSERT_TRUE(view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 200}, &parent, 1000));
    if (view.GetBrowser() == nullptr)
        GTEST_SKIP() << "no WebBrowser control in this bed";
    view.Navigate2((folder + "\\index.htm").c_str());
    ASSERT_EQ(view.answers, std::vector<bool>{true}) << "the browser's own way to the page, through the view";
    const ComRef<BrowserEvents> sink(new BrowserEvents(view));

    std::string url = "file:///" + folder + "/";
    for (char& c : url)
        c = c == '\\' ? '/' : c;
    const std::string path = folder + "\\";
    enum Expect { kShow, kOpen, kRefuse };
    const std::vector<std::pair<std::string, Expect>> table = {
        {url + "index.htm", kShow}, {path + "index.htm", kShow}, {url + "images/img1.jpg#top", kShow},
        {url + "images/../index.htm", kShow}, {url + "images%2F%2e%2e/index.htm", kShow},
        {"FILE://" + url.substr(8, 1) + "|" + url.substr(10) + "INDEX.HTM", kShow},
        {url + "../outside.htm", kRefuse}, {url + "%2e%2e/outside.htm", kRefuse},
        {url + "..%5Coutside.htm", kRefuse}, {url + "../welcome-evil/x.htm", kRefuse},
        {url.substr(0, url.size() - 1), kRefuse}, {url, kRefuse}, {url + "images", kRefuse},
        {url + "link/secret.htm", kRefuse}, {url + "missing.htm", kRefuse},
        {url + "index.htm%00.exe", kRefuse}, {url + "index.htm::$DATA", kRefuse}, {url + "index.htm?x", kRefuse},
        {url + "%zz", kRefuse}, {"index.htm", kRefuse}, {"", kRefuse}, {"file://server/share/index.htm", kRefuse},
        {"file:////server/share/index.htm", kRefuse}, {"\\\\server\\share\\index.htm", kRefuse},
        {"mk:@MSITStore:" + path + "index.htm::/a.htm", kRefuse}, {"res://ieframe.dll/navcancl.htm", kRefuse},
        {"javascript:location='" + url + "index.htm'", kRefuse}, {"about:blank", kRefuse},
        {"data:text/html,<p>page</p>", kRefuse}, {"ftp://vostrel.example/", kRefuse}, {"http:evil", kRefuse},
        {"https://vostrel.example/a b", kRefuse}, {"https://www.vostrel.example/freeware/?sts=1143", kOpen},
        {"HTTP://vostrel.example/", kOpen}, {"mailto:support@vostrel.example", kOpen}};
    std::vector<std::wstring> opened;
    for (const auto& [address, expect] : table) {
        BSTR text = SysAllocString(Wide(address).c_str());
        VARIANT urlValue = Value(VT_BSTR, 0, text), flags = Value(VT_I4), none = Value(VT_EMPTY);
        VARIANT byRef = Value(VT_BYREF | VT_VARIANT);
        byRef.pvarVal = &urlValue;
        const bool cancelled =
            Fire(sink.Get(), DISPID_BEFORENAVIGATE2, {Value(VT_DISPATCH), byRef, flags, none, none, none, none}, 6);
        EXPECT_EQ(cancelled, expect != kShow) << address;
        // A new window is never made, whatever it is for; a web address still opens outside.
        EXPECT_TRUE(Fire(sink.Get(), DISPID_NEWWINDOW3,
                         {Value(VT_BYREF | VT_DISPATCH), none, Value(VT_I4), Value(VT_BSTR), urlValue}, 1))
            << address;
        if (expect == kOpen)
            opened.insert(opened.end(), 2, Wide(address));
        SysFreeString(text);
    }
    EXPECT_EQ(view.opened, opened);
    EXPECT_TRUE(linked) << "no directory link could be planted, so a link inside the folder was not tried";

    VARIANT none = Value(VT_EMPTY);
    EXPECT_TRUE(Fire(sink.Get(), DISPID_NEWWINDOW2, {Value(VT_BYREF | VT_DISPATCH), none}, 1));
    VARIANT download = Value(VT_BOOL), inPlace = Value(VT_BOOL);
    inPlace.boolVal = VARIANT_TRUE;
    EXPECT_TRUE(Fire(sink.Get(), DISPID_FILEDOWNLOAD, {download, none}, 1)) << "a download";
    EXPECT_FALSE(Fire(sink.Get(), DISPID_FILEDOWNLOAD, {inPlace, none}, 1)) << "a page shown in place";
}

namespace {

const UINT kSetControl = WM_APP + 1;
const UINT kSafetyTimer = 1;

struct Key {
    WPARAM key;
    bool control;
    bool alt;
};

// The view that notes the keys landing on its own window rather than the browser's.
class KeyNotingView : public CHtmlViewCtrl {
public:
    std::vector<WPARAM> landed;

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            landed.push_back(wParam);
        return CHtmlViewCtrl::OnWndMsg(message, wParam, lParam, pResult);
    }
};

// A dialog with the view, whose initialisation posts the keys to the browser's innermost window
// (the one with the focus while the person reads), each after the Ctrl state it needs.
class KeyDialog : public CDialog {
public:
    KeyDialog() : CDialog(TEST_DIALOG_HOST) {}

    std::vector<Key> keys;
    KeyNotingView view;
    HWND browserWindow = nullptr;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        view.Create(nullptr, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 150}, this, 1000);
        for (HWND child = ::GetWindow(view.m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_CHILD))
            browserWindow = child;
        for (const Key& key : keys) {
            PostMessage(kSetControl, key.control, 0);
            ::PostMessageA(browserWindow, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key.key, key.alt ? KF_ALTDOWN << 16 : 0);
        }
        SetTimer(kSafetyTimer, 5000);
        return TRUE;
    }

protected:
    // Under Wine the browser takes no key, so Enter reaches the dialog manager.
    void OnOK() override {}
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == kSetControl) {
            BYTE state[256];
            GetKeyboardState(state);
            state[VK_CONTROL] = wParam != 0 ? 0x80 : 0;
            SetKeyboardState(state);
            return true;
        }
        if (message == WM_TIMER && wParam == kSafetyTimer) {
            EndDialog(-2);
            return true;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, pResult);
    }
};

} // namespace

// Keys go the way the finish dialog's own loop sends them. With no browser engine the page
// cannot show what a key does, so what counts is where each key goes: a key the page does not
// need lands on the view's plain window, which does only what any window does with it; the
// others go to the browser. Alt+F4, last, must still close the dialog.
TEST(HtmlViewCtrl, OnlyTheKeysThatMoveThroughThePageReachTheBrowser)
{
    KeyDialog dialog;
    const std::vector<Key> swallowed = {{'N', true, false},     {'O', true, false},       {'P', true, false},
                                        {'S', true, false},     {'F', true, false},       {'L', true, false},
                                        {'U', true, false},     {VK_F5, false, false},    {VK_F11, false, false},
                                        {VK_F1, false, false},  {VK_BACK, false, false},  {'A', false, false},
                                        {VK_LEFT, false, true}, {VK_RIGHT, false, true},  {VK_HOME, true, false}};
    const std::vector<Key> forBrowser = {{VK_TAB, false, false},  {VK_LEFT, false, false}, {VK_DOWN, false, false},
                                         {VK_RETURN, false, false}, {VK_SPACE, false, false}, {VK_NEXT, false, false},
                                         {VK_PRIOR, false, false}, {VK_HOME, false, false}, {VK_END, false, false},
                                         {'C', true, false}};
    dialog.keys = forBrowser;
    dialog.keys.insert(dialog.keys.end(), swallowed.begin(), swallowed.end());
    dialog.keys.push_back({VK_F4, false, true});

    const INT_PTR result = dialog.DoModal();
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    if (dialog.browserWindow == nullptr)
        GTEST_SKIP() << "no WebBrowser control in this bed";
    EXPECT_EQ(result, IDCANCEL) << "Alt+F4 did not close the dialog";
    std::vector<WPARAM> expected;
    for (const Key& key : swallowed)
        expected.push_back(key.key);
    expected.push_back(VK_F4);
    EXPECT_EQ(dialog.view.landed, expected);
}
