// The finish dialog of this setup: the welcome page resource, the caption and the button text
// from the string table, the page's style sheet and pictures, and the button that closes
// Outlook without asking and starts it.
#pragma once

#include "ui/finish_dialog/finish_dialog.h"

class CDlgFinishSetupImpl : public CDlgFinishSetup {
public:
    // The welcome page goes into a folder of its own inside the run's work folder.
    explicit CDlgFinishSetupImpl(const VsFsPath& workFolder);
    ~CDlgFinishSetupImpl() override = default;

    void WriteWelcomeAssets() override;
    // Ends the dialog with 1 once Outlook has been started.
    void OnCloseAndStart() override;
};
