"""What the executable must carry: the resource catalogue and the exact contents that the
inspection compares."""

import re

RT_ICON, RT_STRING, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_HTML, RT_MANIFEST = 3, 6, 5, 14, 16, 23, 24
POLISH, NEUTRAL, NEUTRAL_DEFAULT, US_ENGLISH = 1045, 0, 1024, 1033


def _string_block(string_id):
    return string_id // 16 + 1


# (type, identifier, language); custom types by name, standard types by number.
CATALOGUE = [
    ("MSI", 131, POLISH), ("MSI", 134, POLISH),
    ("EXE", 148, POLISH), ("EXE", 147, POLISH), ("EXE", 55001, POLISH),
    (RT_STRING, _string_block(55000), NEUTRAL_DEFAULT), (RT_STRING, _string_block(55000), POLISH),
    (RT_HTML, 136, POLISH), ("CSS", 137, POLISH),
    ("GIF", 138, POLISH), ("GIF", 139, POLISH), ("GIF", 141, POLISH),
    ("JPG", 140, POLISH), ("JPG", 142, POLISH), ("JPG", 143, POLISH),
    ("JPG", 144, POLISH), ("JPG", 145, POLISH), ("JPG", 146, POLISH),
    (RT_STRING, _string_block(129), POLISH),
    (RT_DIALOG, 107, NEUTRAL),
    (RT_GROUP_ICON, 133, POLISH), (RT_GROUP_ICON, 1001, POLISH),
    (RT_VERSION, 1, US_ENGLISH), (RT_MANIFEST, 1, US_ENGLISH),
    ("VsR", 10, US_ENGLISH),
]

STRINGS = {
    (129, POLISH): "Microsoft Outlook not detected. This application requires Microsoft Outlook "
                   "2003, 2007 or 2010 for proper operation.\n\nInstall Microsoft Outlook and retry.",
    (130, POLISH): "Vostrel Outlook Enclosa",
    (131, POLISH): "The Installer detected that Microsoft Outlook is running. Please exit Microsoft "
                   "Outlook, disconnect all mobile PDA devices from the computer and retry.\nThe "
                   "Installer may attempt to close Microsoft Outlook automatically.\n\nDo you want "
                   "the Installer to close Microsoft Outlook?",
    (132, POLISH): "You have already installed the %s version of this product. Please use the same "
                   "language version of the installer to update the product.",
    (134, POLISH): "Close and Start MS Outlook",
    (135, POLISH): "The Installer could not create its own folder '%s' for the files it installs."
                   "\n\nNothing was installed.",
    (136, POLISH): "The Installer could not write and keep the file '%s'. Another program may be using it. "
                   "Please close it and retry.\n\nNothing was installed.",
    (137, POLISH): "The file '%s' is not the one the Installer wrote: another program has put it there or "
                   "changed it. It was not run.\n\nNothing was installed.",
    (138, POLISH): "The Installer could not write the file '%s'.\n\nNothing was installed.",
    (55000, NEUTRAL_DEFAULT): "Installed program requires MS Windows Installer version 3.1 to run. "
                              "\nMicrosoft Windows Installer will be now installed.\nClick OK to "
                              "continue or Abort to cancel the setup process.",
    (55000, POLISH): "Zainstalowany program wymaga do działania Instalatora Windows w wersji 3.1. "
                     "\nInstalator Windows zostanie teraz zainstalowany.\nKliknij OK, aby "
                     "kontynuować, lub Przerwij, aby anulować instalację.",
}

# String 129 of a maker's build with VS_NEWER_OUTLOOK ON, which also finds Outlook 2013 and later.
NEWER_OUTLOOK_STRINGS = dict(STRINGS)
NEWER_OUTLOOK_STRINGS[(129, POLISH)] = ("Microsoft Outlook not detected. This application requires Microsoft "
                                        "Outlook 2003 or later for proper operation.\n\nInstall Microsoft "
                                        "Outlook and retry.")

VERSION_STRINGS = {
    "CompanyName": "Vostrel",
    "FileDescription": "VsOutlookEnclosa",
    "InternalName": "VsEnclosaSetupBoot.exe",
    "OriginalFilename": "VsEnclosaSetupBoot.exe",
    "ProductName": "Vostrel Outlook Enclosa",
}

CAMPAIGN_RECORD = "<Vs><CampaignID>1804</CampaignID><Referrer></Referrer><InputSite>Exe</InputSite></Vs>"

# (width, height, bits) of the fifteen pictures of each icon group.
ICON_PICTURES = [(size, size, 8) for size in (128, 96, 64, 48, 32, 24, 16)] + \
                [(size, size, 32) for size in (256, 128, 96, 64, 48, 32, 24, 16)]

PICTURE_SIZES = {
    ("JPG", 143): ("jpeg", 736, 53),   # title-enc.jpg
    ("JPG", 144): ("jpeg", 601, 421),  # img1.jpg
    ("JPG", 145): ("jpeg", 759, 162),  # img2.jpg
    ("JPG", 146): ("jpeg", 627, 218),  # img3.jpg
    ("JPG", 140): ("jpeg", 8, 54),     # bg-main.jpg
    ("JPG", 142): ("jpeg", 41, 47),    # tick.jpg
    ("GIF", 141): ("gif", 4, 6),       # main-bullet.gif
    ("GIF", 138): ("gif", 26, 26),     # 1.gif
    ("GIF", 139): ("gif", 26, 26),     # 2.gif
}

# DLLs that Windows always loads from the system folder (KnownDLLs), whatever lies beside the
# executable. Everything else must be loaded at run time from the system folder.
ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                "ole32.dll", "oleaut32.dll", "shlwapi.dll", "msvcrt.dll"}

# Delay-imported, loaded at their first call by our hook (from the system folder only), which
# the delay-load helper must ask: the hook variable and the hook's code both come from this object.
DELAY_LOADED_DLLS = {"gdiplus.dll", "comctl32.dll"}
DELAY_LOAD_HOOK_OBJECT = "(delay_load_hook.cpp.obj)"

# The compiler's own C, C++ and thread runtimes: always linked in, never a DLL.
RUNTIME_DLL = re.compile(r"(?i)^(libstdc\+\+|libgcc|libwinpthread|libssp)")

# The manifest's supported systems: Vista and 7; with VS_CURRENT_WINDOWS also 8, 8.1 and 10/11.
SUPPORTED_SYSTEMS = ["{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"]
CURRENT_SYSTEMS = SUPPORTED_SYSTEMS + ["{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                       "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"]
# Its window settings with VS_CURRENT_WINDOWS (none without), by the names Windows reads.
CURRENT_WINDOW_SETTINGS = {
    "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware": "true",
    "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness": "PerMonitorV2, PerMonitor",
}
