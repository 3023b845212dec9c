// The bytes of one embedded resource of the resource module, read in place.
#pragma once

#include <windows.h>

struct ResourceBytes {
    const unsigned char* bytes = nullptr;
    DWORD size = 0;
};

// A missing or unreadable resource gives no bytes and size 0.
ResourceBytes LoadResourceBytes(LPCSTR name, LPCSTR type);
