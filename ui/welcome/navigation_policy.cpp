#include "ui/welcome/navigation_policy.h"

namespace {

bool IsAsciiLetter(WCHAR c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// Whether the URL starts with the scheme (lower-case letters) and its colon, in any case.
bool HasScheme(const WCHAR* url, const char* scheme)
{
    int i = 0;
    for (; scheme[i] != '\0'; ++i)
        if ((url[i] | 0x20) != scheme[i])
            return false;
    return url[i] == L':';
}

// An address the shell takes whole as one word: printable ASCII, no blank, no quote.
bool IsPlainAddress(const WCHAR* url)
{
    int length = 0;
    for (; url[length] != L'\0'; ++length)
        if (url[length] <= L' ' || url[length] > L'~' || url[length] == L'"')
            return false;
    return length < kPagePathSize;
}

bool IsOutsideLink(const WCHAR* url)
{
    const bool web = (HasScheme(url, "http") && url[5] == L'/' && url[6] == L'/' && url[7] != L'\0') ||
                     (HasScheme(url, "https") && url[6] == L'/' && url[7] == L'/' && url[8] != L'\0');
    const bool mail = HasScheme(url, "mailto") && url[7] != L'\0';
    return (web || mail) && IsPlainAddress(url);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// The length characters of text with their %XX escapes undone, taken as UTF-8 bytes as browsers
// escape them, into target. False for a broken escape, an escaped zero (it would end the path
// early: "index.htm%00.exe" is no index.htm), bytes that are no UTF-8, or no room.
bool Unescape(const WCHAR* text, int length, WCHAR* target, int targetSize)
{
    char bytes[kPagePathSize * 3];
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, bytes, sizeof bytes,
                                         nullptr, nullptr);
    if (size <= 0)
        return false;
    int plain = 0;
    for (int i = 0; i < size; ++i) {
        if (bytes[i] != '%') {
            bytes[plain++] = bytes[i];
            continue;
        }
        const int high = i + 2 < size ? HexValue(bytes[i + 1]) : -1;
        const int low = high < 0 ? -1 : HexValue(bytes[i + 2]);
        if (low < 0 || high + low == 0)
            return false;
        bytes[plain++] = static_cast<char>(high * 16 + low);
        i += 2;
    }
    const int written = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, plain, target, targetSize - 1);
    if (written <= 0)
        return false;
    target[written] = L'\0';
    return true;
}

// "X:" and the rest of a drive path, from a plain path or from a file URL with its fragment
// dropped and its escapes undone; backslashes throughout. False for anything that names no
// drive path or holds a character no file name may.
bool DrivePath(const WCHAR* url, PagePath& path)
{
    const bool isUrl = HasScheme(url, "file");
    const WCHAR* rest = url;
    if (isUrl) {
        rest += 5;
        int slashes = 0;
        while (rest[slashes] == L'/')
            ++slashes;
        // "file:///C:/..." and the older "file://C:/..."; any other count names a server or nothing.
        if (slashes != 2 && slashes != 3)
            return false;
        rest += slashes;
    }
    if (!IsAsciiLetter(rest[0]) || (rest[1] != L':' && (rest[1] != L'|' || !isUrl)) ||
        (rest[2] != L'/' && rest[2] != L'\\') || lstrlenW(rest) >= kPagePathSize)
        return false;

    path.text[0] = rest[0];
    path.text[1] = L':';
    WCHAR* const tail = path.text + 2;
    int length = 0;
    while (rest[2 + length] != L'\0' && (!isUrl || rest[2 + length] != L'#'))
        ++length;
    if (isUrl ? !Unescape(rest + 2, length, tail, kPagePathSize - 2) : !lstrcpynW(tail, rest + 2, length + 1))
        return false;
    for (WCHAR* c = tail; *c != L'\0'; ++c) {
        // Below a space, or no part of any file name (':' would name a stream or another drive).
        if (*c < L' ' || *c == L'<' || *c == L'>' || *c == L'"' || *c == L'|' || *c == L'?' || *c == L'*' ||
            *c == L':')
            return false;
        if (*c == L'/')
            *c = L'\\';
    }
    return true;
}

// The canonical path of the existing file or folder a file URL or a plain path names: full, with
// "." and ".." resolved, every short name made long.
bool ResolveFileUrl(const WCHAR* url, PagePath& canonical)
{
    PagePath path, full;
    if (url == nullptr || !DrivePath(url, path))
        return false;
    const DWORD fullLength = GetFullPathNameW(path.text, kPagePathSize, full.text, nullptr);
    if (fullLength == 0 || fullLength >= kPagePathSize)
        return false;
    const DWORD longLength = GetLongPathNameW(full.text, canonical.text, kPagePathSize);
    return longLength != 0 && longLength < kPagePathSize;
}

// Below the folder (a canonical path ending in a backslash), no link on the way, and no folder.
// The path is cut at each separator in turn and put back as it was.
bool IsFileInside(PagePath& path, const PagePath& folder)
{
    const int folderLength = lstrlenW(folder.text);
    const int pathLength = lstrlenW(path.text);
    if (folderLength == 0 || pathLength <= folderLength ||
        CompareStringOrdinal(path.text, folderLength, folder.text, folderLength, TRUE) != CSTR_EQUAL)
        return false;
    for (int end = folderLength; end <= pathLength; ++end) {
        if (end < pathLength && path.text[end] != L'\\')
            continue;
        const WCHAR kept = path.text[end];
        path.text[end] = L'\0';
        const DWORD attributes = GetFileAttributesW(path.text);
        path.text[end] = kept;
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
            (end == pathLength && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0))
            return false;
    }
    return true;
}

} // namespace

PagePath FolderOfPage(const WCHAR* url)
{
    PagePath path;
    if (!ResolveFileUrl(url, path))
        return PagePath();
    int end = lstrlenW(path.text);
    while (end > 0 && path.text[end - 1] != L'\\')
        --end;
    path.text[end] = L'\0';
    return path;
}

LinkAction JudgeLink(const WCHAR* url, const PagePath& folder)
{
    if (url == nullptr)
        return LinkAction::Refuse;
    if (IsOutsideLink(url))
        return LinkAction::OpenOutside;
    PagePath path;
    return ResolveFileUrl(url, path) && IsFileInside(path, folder) ? LinkAction::Show : LinkAction::Refuse;
}
