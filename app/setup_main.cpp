// The one application object of the executable; the framework's WinMain runs it.
#include "setup_app.h"

VsEnclosaSetupBootApp theApp;
