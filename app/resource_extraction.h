// Writes one embedded resource of a custom type to a file, replacing any file of that name.
#pragma once

#include <windows.h>

void ExtractResourceToFile(const char* path, WORD id, const char* type);
