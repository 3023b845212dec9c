// The module whose resources the setup reads: the executable itself unless a test says otherwise.
#pragma once

#include <windows.h>

HINSTANCE GetResourceModule();
void SetResourceModule(HINSTANCE module);
