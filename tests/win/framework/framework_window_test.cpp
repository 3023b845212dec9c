// The framework's window layer on real windows: binding by creation and by subclassing,
// dispatch with the original procedure behind it, and the modal dialog loop.
#include <gtest/gtest.h>

#include "framework/button.h"
#include "framework/dialog.h"
#include "tests/win/ui/painted/ui_test_resources.h"

#include <stdexcept>
#include <vector>

namespace {

const UINT kProbeMessage = WM_APP + 1;
const UINT kEndMessage = WM_APP + 2;
const UINT kSendFailure = WM_APP + 3;
const UINT kFailure = WM_APP + 4;
const UINT_PTR kSafetyTimer = 99;

// Records what reaches it and answers kProbeMessage itself; the rest goes to the original.
class ProbeWnd : public CWnd {
public:
    std::vector<UINT> seen;
    bool destroyedAfterLastMessage = false;

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        seen.push_back(message);
        if (message == kProbeMessage) {
            *pResult = 42;
            return true;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
    void PostNcDestroy() override { destroyedAfterLastMessage = m_hWnd == nullptr; }
};

HWND CreateStatic(const char* text)
{
    return CreateWindowExA(0, "STATIC", text, WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
}

TEST(FrameworkWindow, SubclassRoutesThroughTheObjectAndRestoresTheOriginalProcedure)
{
    HWND hWnd = CreateStatic("text");
    const LONG_PTR original = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    ProbeWnd probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(hWnd));
    EXPECT_FALSE(ProbeWnd().SubclassWindow(hWnd)) << "a window is bound to one object only";

    EXPECT_EQ(42, SendMessageA(hWnd, kProbeMessage, 0, 0));
    char text[16] = {};
    EXPECT_EQ(4, SendMessageA(hWnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)))
        << "unhandled messages reach the static control's own procedure";
    EXPECT_STREQ("text", text);

    EXPECT_EQ(hWnd, probe.UnsubclassWindow());
    EXPECT_EQ(original, GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    const size_t before = probe.seen.size();
    SendMessageA(hWnd, kProbeMessage, 0, 0);
    EXPECT_EQ(before, probe.seen.size());
    DestroyWindow(hWnd);
}

TEST(FrameworkWindow, DestroyingTheWindowUnbindsTheObjectAfterItsLastMessage)
{
    ProbeWnd probe;
    ASSERT_TRUE(probe.SubclassWindow(CreateStatic("")));
    HWND hWnd = probe.m_hWnd;
    DestroyWindow(hWnd);
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_TRUE(probe.destroyedAfterLastMessage);
    EXPECT_EQ(WM_NCDESTROY, probe.seen.back());
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST(FrameworkWindow, CreatedWindowsAreBoundBeforeTheirFirstMessage)
{
    const RECT rect{0, 0, 60, 30};
    {
        ProbeWnd plain;
        ASSERT_TRUE(plain.CreateEx(0, nullptr, "plain", WS_POPUP, rect, nullptr, 0));
        ASSERT_FALSE(plain.seen.empty());
        EXPECT_NE(plain.seen.end(), std::find(plain.seen.begin(), plain.seen.end(), UINT(WM_NCCREATE)));
        EXPECT_NE(plain.seen.end(), std::find(plain.seen.begin(), plain.seen.end(), UINT(WM_CREATE)));
    } // the object takes its window with it
    ProbeWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, rect, nullptr, 0));
    CButton button;
    ASSERT_TRUE(button.Create("Press", BS_PUSHBUTTON, rect, &parent, 77));
    EXPECT_EQ(&button, CWnd::FromHandlePermanent(button.m_hWnd));
    EXPECT_EQ(77, button.GetDlgCtrlID());
    EXPECT_EQ(parent.m_hWnd, button.GetParentHwnd());
    CStringA caption;
    button.GetWindowText(caption);
    EXPECT_STREQ("Press", caption);
    EXPECT_EQ(DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON, button.SendMessage(WM_GETDLGCODE))
        << "the standard button procedure answers behind the object";
}

// A dialog of the tests' template that runs a script of posted messages from its
// initialisation, with a timer that ends it should the script go wrong.
class ScriptedDialog : public CDialog {
public:
    ScriptedDialog() : CDialog(IDD_UI_TEST) {}

    bool filterEscape = false;
    bool moveInInit = false;
    std::vector<MSG> script;
    CWnd boundButton;
    bool buttonBoundInInit = false;
    CRect rectAtEnd;
    std::vector<UINT> offeredFirst;
    bool sendReturned = false;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        buttonBoundInInit = boundButton.m_hWnd == GetDlgItem(IDC_UI_BUTTON) && boundButton.m_hWnd != nullptr;
        if (moveInInit)
            SetWindowPos(nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetTimer(kSafetyTimer, 5000);
        for (const MSG& msg : script)
            ::PostMessageA(msg.hwnd != nullptr ? msg.hwnd : m_hWnd, msg.message, msg.wParam, msg.lParam);
        return TRUE;
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            offeredFirst.push_back(pMsg->message);
        if (filterEscape && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
            return FALSE;
        return CDialog::PreTranslateMessage(pMsg);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_UI_BUTTON, boundButton);
    }
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == kEndMessage) {
            GetWindowRect(&rectAtEnd);
            EndDialog(static_cast<int>(wParam));
            return true;
        }
        if (message == kSendFailure) {
            ::SendMessageA(m_hWnd, kFailure, 0, 0);
            sendReturned = true;
            return true;
        }
        if (message == kFailure)
            throw std::runtime_error("failure inside the window procedure");
        if (message == WM_TIMER && wParam == kSafetyTimer) {
            EndDialog(-2);
            return true;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, pResult);
    }
};

MSG Posted(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return MSG{nullptr, message, wParam, lParam, 0, {0, 0}};
}

TEST(FrameworkDialog, RunsModallyUntilEndDialogAndBindsControlsInItsInitialisation)
{
    ScriptedDialog dialog;
    dialog.script = {Posted(kEndMessage, 7)};
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_TRUE(dialog.buttonBoundInInit);
    EXPECT_EQ(nullptr, dialog.m_hWnd) << "the window is gone when DoModal returns";
    EXPECT_EQ(nullptr, dialog.boundButton.m_hWnd) << "and the bound control with it";
}

TEST(FrameworkDialog, CloseBecomesCancel)
{
    ScriptedDialog dialog;
    dialog.script = {Posted(WM_CLOSE)}; // the dialog manager posts the Cancel command in turn
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST(FrameworkDialog, MessagesReachPreTranslateMessageBeforeTheDialogManager)
{
    ScriptedDialog plain;
    plain.script = {Posted(WM_KEYDOWN, VK_ESCAPE), Posted(kEndMessage, 7)};
    EXPECT_EQ(IDCANCEL, plain.DoModal()) << "the dialog manager turns Escape into Cancel";
    EXPECT_EQ(1u, plain.offeredFirst.size());

    ScriptedDialog filtering;
    filtering.filterEscape = true;
    filtering.script = {Posted(WM_KEYDOWN, VK_ESCAPE), Posted(kEndMessage, 7)};
    EXPECT_EQ(7, filtering.DoModal()) << "an Escape filtered out never reaches the dialog manager";
}

TEST(FrameworkDialog, AnOwnerlessDialogIsCentredUnlessItPlacedItself)
{
    ScriptedDialog centred;
    centred.script = {Posted(kEndMessage, 1)};
    ASSERT_EQ(1, centred.DoModal());
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const CRect work = info.rcWork;
    const CRect& rc = centred.rectAtEnd;
    EXPECT_NEAR(work.left + work.Width() / 2, rc.left + rc.Width() / 2, 1);
    EXPECT_NEAR(work.top + work.Height() / 2, rc.top + rc.Height() / 2, 1);

    ScriptedDialog placed;
    placed.moveInInit = true;
    placed.script = {Posted(kEndMessage, 1)};
    ASSERT_EQ(1, placed.DoModal());
    EXPECT_EQ(3, placed.rectAtEnd.left);
    EXPECT_EQ(4, placed.rectAtEnd.top);
}

TEST(FrameworkDialog, AnExceptionInAProcedureNeverCrossesThePlatformAndEndsTheDialog)
{
    ScriptedDialog dialog;
    dialog.script = {Posted(kSendFailure), Posted(kEndMessage, 7)};
    try {
        dialog.DoModal();
        ADD_FAILURE() << "DoModal returned";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ("failure inside the window procedure", error.what());
        EXPECT_EQ(nullptr, dialog.m_hWnd) << "the window is gone when the exception comes out";
    }
    EXPECT_TRUE(dialog.sendReturned) << "SendMessage returned to its caller: nothing unwound through it";
    EXPECT_EQ(0, dialog.rectAtEnd.Width()) << "the dialog ended at the failure, before the next message";
}

TEST(FrameworkDialog, AMissingTemplateEndsAtOnceWithMinusOne)
{
    CDialog dialog(4242);
    EXPECT_EQ(-1, dialog.DoModal());
}

} // namespace
