// Which Outlook is installed, as Windows Installer knows it: the setup asks for six Outlook
// component codes, the 64-bit one first, and takes the first one installed.
#pragma once

enum class OutlookArchitecture {
    None = 0,
    X86 = 1,
    X64 = 2,
};

// Never fails: trouble inside Windows Installer, or no Windows Installer at all, reads as None.
OutlookArchitecture DetectOutlook();
