// The module whose resources the setup reads: the executable itself unless a test says otherwise.
#pragma once

#include "foundation/scoped_override.h"

#include <windows.h>

HINSTANCE GetResourceModule();
// Reads another module's resources from now on (null: the executable's); gives the previous one.
HINSTANCE SetResourceModule(HINSTANCE module);
using ScopedResourceModule = ScopedOverride<HINSTANCE, SetResourceModule>;
