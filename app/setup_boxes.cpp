#include "app/setup_boxes.h"

#include "foundation/setup_log.h"
#include "framework/message_box.h"

void ShowBox(const SetupOptions& options, const char* text, UINT type)
{
    if (options.Unattended())
        SetupLog::Write("Box not shown (unattended run): %s", text);
    else
        AfxMessageBox(text, type, 0);
}

void ReportError(const SetupOptions& options, const Error::VsException& error)
{
    if (options.Unattended())
        SetupLog::Write("Error box not shown (unattended run): %s", error.GetReportText().GetString());
    else
        error.Report();
}
