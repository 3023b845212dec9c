// Starts a program through the desktop's own shell (the person's Explorer), so that it runs
// with the person's ordinary rights even when the caller runs elevated.
#pragma once

// True when the desktop's shell started the program. False where there is no desktop shell view
// to ask (no Explorer running, or one that has not yet registered its desktop) or when it
// could not start the program. An elevated caller must not then start it itself: the bare name
// would be looked up in places the person controls, and whatever was found would run elevated.
bool ShellExecuteAsDesktopUser(const char* verb, const char* file, int showCommand);
