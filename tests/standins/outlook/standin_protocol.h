// What the stand-in Outlook understands and what it leaves behind, shared with the tests that
// start it. The marker file gets one line per event:
//   "started <pid> <parent pid>"  once every window exists
//   "close <window number>"       for each WM_CLOSE a window receives (numbers from 1)
//   "ended"                       when it ends orderly, with exit code kStandInOrderlyExit
#pragma once

// --mode=close (default): a window closes on WM_CLOSE; the program ends with its last window.
// --mode=ignore: WM_CLOSE changes nothing.
// --mode=ask: WM_CLOSE shows a Yes/No box of its own; Yes closes the window.
#define STANDIN_MODE_ARG "--mode="
// --windows=N top-level windows (default 1).
#define STANDIN_WINDOWS_ARG "--windows="
// --linger=MS: after its last window, the program takes that long to end, as an Outlook that is
// still saving (default 0).
#define STANDIN_LINGER_ARG "--linger="
// --marker=path; without it (a start through the shell passes no arguments) the path in the
// environment variable, else the program's own path followed by STANDIN_DEFAULT_MARKER_SUFFIX.
#define STANDIN_MARKER_ARG "--marker="
#define STANDIN_MARKER_VARIABLE "VS_OUTLOOK_STANDIN_MARKER"
#define STANDIN_DEFAULT_MARKER_SUFFIX ".marker"

#define STANDIN_OWN_QUESTION "Do you want to save the changes to your draft?"

constexpr unsigned kStandInOrderlyExit = 40;
