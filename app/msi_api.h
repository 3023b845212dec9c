// Windows Installer's entry points, loaded from the system folder's msi.dll at first use (the
// executable imports no DLL that a planted copy beside it could replace). Tests swap the table
// (ScopedMsiFunctions) for states a real installation cannot produce on demand.
#pragma once

#include "foundation/scoped_override.h"

#include <windows.h>
#include <msi.h>

struct MsiFunctions {
    decltype(&MsiLocateComponentA) LocateComponent = nullptr;
    decltype(&MsiEnumRelatedProductsA) EnumRelatedProducts = nullptr;
    decltype(&MsiEnumProductsA) EnumProducts = nullptr;
    decltype(&MsiSetInternalUI) SetInternalUI = nullptr;
    decltype(&MsiInstallProductA) InstallProduct = nullptr;
    decltype(&MsiEnableLogA) EnableLog = nullptr;
    // Asked only by a build with VS_NEWER_OUTLOOK (app/outlook_detection.cpp).
    decltype(&MsiEnumComponentQualifiersA) EnumComponentQualifiers = nullptr;
};

// The table in use: msi.dll's own functions unless a test has replaced it.
const MsiFunctions& Msi();
// Replaces the table and gives the previous one back.
MsiFunctions SetMsiFunctions(const MsiFunctions& functions);
using ScopedMsiFunctions = ScopedOverride<MsiFunctions, SetMsiFunctions>;

// Whether msi.dll gave every entry point that finding Outlook and installing need.
bool WindowsInstallerReachable();

// Has Windows Installer write a verbose log of the next installation to the file, which the
// caller made and holds (SetupLog::NewMsiLog): a log Windows Installer could not open would make
// the installation itself fail. Gives false, and leaves Windows Installer as it was, without one.
bool EnableMsiVerboseLog(const char* path);
