// The setup's application object. InitInstance runs the whole setup and always gives FALSE, so
// that the framework goes straight on to ExitInstance, which shuts GDI+ down when it was started
// and gives the process's exit code.
#pragma once

#include "app/outlook_detection.h"
#include "framework/app_base.h"
#include "framework/gdiplus_session.h"

#include <optional>

// Exit codes are Windows Installer's own results (see README, "Exit codes"). Without Outlook
// there is nothing the add-in could run in: the code Windows Installer gives a package that this
// platform does not support.
constexpr int kExitOutlookNotDetected = ERROR_INSTALL_PLATFORM_UNSUPPORTED;
// An error shown in a message box, or an unexpected exception.
constexpr int kExitSetupError = ERROR_INSTALL_FAILURE;

class VsEnclosaSetupBootApp : public CWinAppEx {
public:
    // The search is the build's setting (VS_NEWER_OUTLOOK, app/setup_main.cpp); the product as
    // specified asks for the six component codes only.
    explicit VsEnclosaSetupBootApp(OutlookSearch search = OutlookSearch::SixComponents);
    ~VsEnclosaSetupBootApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    const OutlookSearch m_outlookSearch;
    // Started for the finish dialog, shut down in ExitInstance.
    std::optional<GdiplusSession> m_gdiplus;
};
