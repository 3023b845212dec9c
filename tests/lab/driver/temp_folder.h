// The temporary folder a scenario gives the setup, made fresh for every lab run, and the
// program planted where an unquoted command line into that folder would find it.
#pragma once

#include <string>

// kind: "plain", "blanks" (a folder whose name has blanks), "unwritable" (a folder below a
// file, which nobody can create), "trail-5c" (a name whose last character ends in the byte
// 0x5C in code page 932), "too-long" (a path the platform cannot give as the temporary folder),
// "cyrillic" (a name with no character in code page 1252) or a path of its own (C:\...).
// Gives the folder as the driver's narrow calls reach it (a Cyrillic one in its short form), with
// a trailing backslash, emptied of files; empty when it cannot be made or the kind is unknown.
// base is the driver's own temporary folder.
std::string PrepareTempFolder(const std::string& kind, const std::string& base);

// What TEMP and TMP say to the setup for that folder, in UTF-16 and without the trailing
// backslash: the Cyrillic folder by its own name, any other as the driver names it.
std::wstring TempVariableFor(const std::string& kind, const std::string& folder);

// Where the platform would look first for an unquoted command line that starts in folder:
// the text up to the first blank, with ".exe". Empty when folder has no blank.
std::string PlantPathFor(const std::string& folder);

// A planted program notes each start in a file beside itself.
std::string PlantedRunNote(const std::string& plantedPath);
