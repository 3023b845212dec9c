// What a window says of itself: its text and its class, as narrow strings.
#pragma once

#include <windows.h>

#include <string>

std::string WindowText(HWND window);
std::string ClassName(HWND window);
