// Swaps one resource of a copy of the setup (a failing package, a runtime stand-in that tries
// to tamper with its files), or writes one out, so that the lab runs the real executable with
// the payload a scenario needs.
//   VsLabRepack.exe replace SETUP.exe OUT.exe TYPE ID FILE
//   VsLabRepack.exe extract SETUP.exe TYPE ID FILE
#include "foundation/unique_handle.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string ReadAll(const char* path)
{
    const UniqueKernelHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char block[65536];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), block, sizeof block, &read, nullptr) && read > 0)
        bytes.append(block, read);
    return bytes;
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// The language the resource is stored under, so that the replacement takes its place.
bool LanguageOf(HMODULE module, const char* type, WORD id, WORD& language)
{
    language = 0xFFFF;
    EnumResourceLanguagesA(module, type, MAKEINTRESOURCEA(id), TakeLanguage, reinterpret_cast<LONG_PTR>(&language));
    return language != 0xFFFF;
}

int Replace(const char* setup, const char* out, const char* type, WORD id, const char* file)
{
    WORD language = 0;
    {
        const UniqueModule module(LoadLibraryExA(setup, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!module || !LanguageOf(module.Get(), type, id, language)) {
            std::fprintf(stderr, "%s has no resource %s %u\n", setup, type, id);
            return 1;
        }
    }
    std::string bytes = ReadAll(file);
    if (bytes.empty() || !CopyFileA(setup, out, FALSE)) {
        std::fprintf(stderr, "cannot read %s or write %s\n", file, out);
        return 1;
    }
    HANDLE update = BeginUpdateResourceA(out, FALSE);
    if (update == nullptr ||
        !UpdateResourceA(update, type, MAKEINTRESOURCEA(id), language, &bytes[0], static_cast<DWORD>(bytes.size())) ||
        !EndUpdateResourceA(update, FALSE)) {
        std::fprintf(stderr, "cannot replace %s %u in %s (error %lu)\n", type, id, out, GetLastError());
        return 1;
    }
    return 0;
}

int Extract(const char* setup, const char* type, WORD id, const char* file)
{
    const UniqueModule module(LoadLibraryExA(setup, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC resource = module ? FindResourceA(module.Get(), MAKEINTRESOURCEA(id), type) : nullptr;
    HGLOBAL loaded = resource != nullptr ? LoadResource(module.Get(), resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        std::fprintf(stderr, "%s has no resource %s %u\n", setup, type, id);
        return 1;
    }
    const UniqueKernelHandle out(CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const DWORD size = SizeofResource(module.Get(), resource);
    if (!out || !WriteFile(out.Get(), bytes, size, &written, nullptr) || written != size) {
        std::fprintf(stderr, "cannot write %s\n", file);
        return 1;
    }
    return 0;
}

WORD Id(const char* text)
{
    return static_cast<WORD>(std::strtoul(text, nullptr, 10));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string action = argc > 1 ? argv[1] : "";
    if (action == "replace" && argc == 7)
        return Replace(argv[2], argv[3], argv[4], Id(argv[5]), argv[6]);
    if (action == "extract" && argc == 6)
        return Extract(argv[2], argv[3], Id(argv[4]), argv[5]);
    std::fprintf(stderr, "usage: VsLabRepack replace SETUP OUT TYPE ID FILE | extract SETUP TYPE ID FILE\n");
    return 1;
}
