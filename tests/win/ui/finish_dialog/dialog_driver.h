// Runs a dialog modally on the test's thread while a second thread plays the person: it waits
// for the dialog's window, looks at it and acts on it. Whatever the person does, the dialog
// is closed in the end, so that no test can hang on it.
#pragma once

#include "framework/dialog.h"

#include <windows.h>

#include <functional>
#include <string>

// The visible top-level window of this process with that caption; null after the time limit.
HWND WaitForDialog(const char* caption, DWORD milliseconds);

// Returns once the window's thread has handled every message posted to it so far, or the
// window is gone; the test fails when that takes more than a few seconds.
void WaitForPostedMessages(HWND window);

// Runs body (which shows the dialog modally somewhere inside) while person runs on its own
// thread with the dialog's window, or with null when it never showed.
void WithPerson(const char* caption, const std::function<void(HWND)>& person, const std::function<void()>& body);

// DoModal's result, with person acting on the dialog as above.
INT_PTR RunModal(CDialog& dialog, const char* caption, const std::function<void(HWND)>& person);

// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

// Saves what the screen shows of the window (frame included) as a PNG picture.
bool SaveWindowPicture(HWND window, const std::string& path);

// True when the folder holds nothing (or does not exist).
bool IsEmptyFolder(const std::string& folder);

// The colour (0x00RRGGBB) the screen shows at a point of the window's client area.
DWORD ScreenPixel(HWND window, int x, int y);
