// A Windows Installer that a test scripts, in place of msi.dll's entry points while it lives:
// the real one cannot be made on demand to know no products, to give any result for an
// installation, or to throw from inside. What is not scripted answers "nothing": components
// unknown, no related products, no products, an installation that succeeds. Every call that
// changes or asks something is recorded. One lives at a time.
#pragma once

#include "app/msi_api.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeWindowsInstaller {
public:
    FakeWindowsInstaller();
    ~FakeWindowsInstaller();
    FakeWindowsInstaller(const FakeWindowsInstaller&) = delete;
    FakeWindowsInstaller& operator=(const FakeWindowsInstaller&) = delete;

    // The script. A component's path is written into the caller's buffer as far as it fits.
    struct Component {
        INSTALLSTATE state = INSTALLSTATE_LOCAL;
        std::string path;
    };
    std::map<std::string, Component> components;
    std::map<std::string, std::vector<std::string>> relatedProducts;  // by upgrade code
    std::vector<std::string> products;
    UINT installResult = ERROR_SUCCESS;
    // Called as each component is asked for, and as the installation starts (before its result
    // is given): where a test looks at the machine at that moment, or throws.
    std::function<void(const char* component)> onLocate;
    std::function<void(const char* package, const char* commandLine)> onInstall;

    // What the setup did.
    std::vector<std::string> locatedComponents;
    std::vector<INSTALLUILEVEL> uiLevels;
    int installs = 0;
    std::string package;
    std::string commandLine;
    std::string logPath;  // where Windows Installer was told to write its verbose log
    DWORD logAttributes = 0;

private:
    ScopedMsiFunctions m_functions;
};
