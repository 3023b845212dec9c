// Where the welcome page may go. The elevated browser shows only files of the page's own folder;
// a web or mail link is for the person's own programs; everything else goes nowhere. Paths are
// judged canonical (full, long names, escapes undone), never by their text.
#pragma once

#include <windows.h>

enum class LinkAction {
    Show,        // a file inside the folder: the browser shows it in place
    OpenOutside, // an http, https or mailto address: the person's own browser or mail program
    Refuse,      // anything else: nothing happens
};

// A canonical path of the page's world. A longer address or path is refused, never cut. Fixed
// arrays, not the C++ runtime's containers, whose growth links its exception classes.
const int kPagePathSize = 2048;
struct PagePath {
    WCHAR text[kPagePathSize] = {};
};

// The canonical folder, ending in a backslash, of the existing file that a "file:" URL (three
// slashes, or two before a drive) or a plain absolute path names; empty text for anything else.
PagePath FolderOfPage(const WCHAR* url);

// What the page may do with the URL, given the folder it lives in (FolderOfPage). A file is
// shown only when it exists below the folder with no link on the way and is no folder; a
// server, a relative or broken address, a query or a character no file name holds is refused.
LinkAction JudgeLink(const WCHAR* url, const PagePath& folder);
