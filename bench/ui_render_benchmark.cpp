// How much the cached frames save: the time to render the close-and-start button's face and
// the dialog's background when stale, against a repaint from the cached frame, at the finish
// dialog's size. Prints figures; it asserts nothing.
#include "framework/gdiplus_session.h"
#include "tests/win/ui/painted/ui_canvas.h"
#include "tests/win/ui/painted/ui_test_resources.h"
#include "ui/painted/button_close_finish_dlg.h"
#include "ui/painted/gdiplus_dlg.h"

#include <cstdio>
#include <functional>

namespace {

class BenchButton : public CButtonCloseFinishDlg {
public:
    void MarkStale() { m_bStale = true; }
};

class BenchDialog : public CGdiPlusDlg {
public:
    BenchDialog() : CGdiPlusDlg(IDD_UI_TEST) {}
    void MarkDirty() { m_bDirty = true; }

    BenchButton button;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_UI_BUTTON, button); }
};

// Milliseconds per call, over enough calls to take about half a second.
double MillisecondsPerCall(const std::function<void()>& call)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    call(); // warm up
    int calls = 0;
    QueryPerformanceCounter(&start);
    do {
        call();
        ++calls;
        QueryPerformanceCounter(&end);
    } while (end.QuadPart - start.QuadPart < frequency.QuadPart / 2);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           calls;
}

void Report(const char* what, int width, int height, double stale, double cached)
{
    std::printf("%-18s %4d x %-4d stale %8.3f ms   cached %8.3f ms   ratio %6.1f\n", what, width, height, stale,
                cached, stale / cached);
}

} // namespace

int main()
{
    GdiplusSession gdiplus;
    if (!gdiplus.IsStarted()) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    BenchDialog dialog;
    if (!dialog.Create(IDD_UI_TEST)) {
        std::fprintf(stderr, "the dialog could not be created\n");
        return 1;
    }
    dialog.SetClientSize(833, 494); // the finish dialog in pixels with its 8-point font
    const CStringA caption = "Close and Start MS Outlook";
    dialog.button.SetWindowText(caption);
    dialog.button.FitToCaption(caption);
    PumpMessages();

    CRect rcDialog, rcButton;
    dialog.GetClientRect(&rcDialog);
    dialog.button.GetClientRect(&rcButton);
    DibCanvas dialogCanvas(rcDialog.Width(), rcDialog.Height(), 0);
    DibCanvas buttonCanvas(rcButton.Width(), rcButton.Height(), 0);
    CDC dialogDc(dialogCanvas.Dc()), buttonDc(buttonCanvas.Dc());

    const double buttonStale = MillisecondsPerCall([&] {
        dialog.button.MarkStale();
        dialog.button.DrawButton(&buttonDc);
    });
    const double buttonCached = MillisecondsPerCall([&] { dialog.button.DrawButton(&buttonDc); });
    const double dialogStale = MillisecondsPerCall([&] {
        dialog.MarkDirty();
        dialog.DrawDialog(&dialogDc);
    });
    const double dialogCached = MillisecondsPerCall([&] { dialog.DrawDialog(&dialogDc); });

    Report("button face", rcButton.Width(), rcButton.Height(), buttonStale, buttonCached);
    Report("dialog background", rcDialog.Width(), rcDialog.Height(), dialogStale, dialogCached);
    dialog.DestroyWindow();
    return 0;
}
