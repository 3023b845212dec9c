// The class identifier of GDI+'s PNG encoder, for tests that keep pictures.
#pragma once

#include <windows.h>

// False when GDI+ is not started or offers no PNG encoder.
bool FindPngEncoder(CLSID& encoder);
