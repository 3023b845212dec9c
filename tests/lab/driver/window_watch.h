// The windows a person would see from the setup: found by process, read like ModalWatcher in the
// tests reads a box, and answered the way a person does (a button, or the title bar's close).
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

struct SeenWindow {
    HWND window = nullptr;
    DWORD processId = 0;
    std::string className;
    std::string caption;
    std::string text;                  // static texts, " | " between controls
    std::vector<std::string> buttons;  // captions without '&', in tab order
    std::string defaultButton;
    bool hasIcon = false;
    RECT iconArea = {};                // screen rectangle of the icon control
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT area = {};
    // Each visible child: its class, then its left and top and its distances from the right
    // and the bottom of the client area ("Button 605,410,6,6"), " | " between children.
    std::string children;
};

// Visible, unowned-or-owned top-level windows of these processes.
std::vector<HWND> VisibleTopLevelWindows(const std::set<DWORD>& processIds);

SeenWindow ReadWindow(HWND window);

// Presses the button with that caption (letter case and '&' ignored); "click CAPTION" presses it
// with the mouse, a quarter of its height in from its bottom-right corner; "close" asks the
// window to close as its title bar's button does. False when there is no such button.
bool AnswerWindow(const SeenWindow& seen, const std::string& answer);

// What the lab answers a window the scenario did not expect: the first of Cancel, No, Close,
// OK that it offers, else its close button.
std::string FallbackAnswer(const SeenWindow& seen);
