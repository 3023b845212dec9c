// Which Outlook is installed, as Windows Installer knows it: the setup asks for six Outlook
// component codes, the 64-bit one first, and takes the first one installed. A maker's build with
// VS_NEWER_OUTLOOK then also asks for the qualified components that Outlook 2013 and later
// (Microsoft 365 included) publish (docs/outlook-detection.md).
#pragma once

enum class OutlookArchitecture {
    None = 0,
    X86 = 1,
    X64 = 2,
};

enum class OutlookSearch {
    // The six component codes of Outlook 2010 and older, and nothing else: the default build.
    SixComponents,
    // The six codes first; when none is installed, Outlook's qualified components of the 2016+ and
    // then of the 2013 category.
    NewerOutlookToo,
};

// Never fails: trouble inside Windows Installer reads as None. Whether Windows Installer can be
// reached at all is the caller's question (WindowsInstallerReachable): without it there is no
// telling whether Outlook is installed.
OutlookArchitecture DetectOutlook(OutlookSearch search);
