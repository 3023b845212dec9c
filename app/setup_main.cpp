// The one application object of the executable; the framework's WinMain runs it. Here, and only
// here, the build's VS_NEWER_OUTLOOK decides which Outlook the setup looks for.
#include "app/setup_app.h"

#ifndef VS_NEWER_OUTLOOK
#error "VS_NEWER_OUTLOOK (0 or 1) comes from the build (app/CMakeLists.txt)"
#endif

VsEnclosaSetupBootApp theApp(VS_NEWER_OUTLOOK ? OutlookSearch::NewerOutlookToo : OutlookSearch::SixComponents);
