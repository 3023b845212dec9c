// The setup's boxes for the person. An unattended run shows none: each box's text goes to the
// log instead, and the run goes the way the box's only button, OK, would have taken it.
#pragma once

#include "app/command_line.h"
#include "foundation/error.h"

#include <windows.h>

void ShowBox(const SetupOptions& options, const char* text, UINT type);
void ReportError(const SetupOptions& options, const Error::VsException& error);
