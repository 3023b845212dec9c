// Message pumping and a 32-bit DIB to paint into and read back, for the ui tests and the
// rendering benchmark.
#pragma once

#include "tests/capture/dib_canvas.h"

#include <windows.h>

// Dispatches every message waiting in this thread's queue.
void PumpMessages();
