// The one application object of the executable; the framework's WinMain runs it.
#include "app/setup_app.h"

VsEnclosaSetupBootApp theApp;
