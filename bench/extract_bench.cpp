// Figures for the resource extraction, run by hand (see README): the time to write the largest
// payload of the built setup out to a file, against copying the same bytes with CopyFileA; the
// cost of the integrity check against the extraction for payloads of a runtime installer's size
// (5 MB) and of a large package (100 MB); the size of each built setup without its payloads.
//   extract_bench [setup.exe for x86_64] [setup.exe for i686]
#include "foundation/resource_extraction.h"
#include "foundation/resource_module.h"
#include "foundation/unique_handle.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;
// Types of the carried payloads: packages, redistributables and the welcome page's files.
const char* const kPayloadTypes[] = {"MSI", "EXE", MAKEINTRESOURCEA(23), "CSS", "GIF", "JPG"};

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string TypeName(const char* type)
{
    return IS_INTRESOURCE(type) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(type)) : type;
}

struct Payload {
    const char* type;
    WORD id;
    DWORD size;
};

BOOL CALLBACK CollectPayload(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR context)
{
    if (IS_INTRESOURCE(name)) {
        HRSRC resource = FindResourceA(module, name, type);
        auto* payloads = reinterpret_cast<std::vector<Payload>*>(context);
        for (const char* known : kPayloadTypes)
            if (IS_INTRESOURCE(known) ? known == type : !IS_INTRESOURCE(type) && lstrcmpiA(known, type) == 0)
                payloads->push_back({known, LOWORD(reinterpret_cast<ULONG_PTR>(name)), SizeofResource(module, resource)});
    }
    return TRUE;
}

std::vector<Payload> Payloads(HMODULE module)
{
    std::vector<Payload> payloads;
    for (const char* type : kPayloadTypes)
        EnumResourceNamesA(module, type, CollectPayload, reinterpret_cast<LONG_PTR>(&payloads));
    return payloads;
}

UniqueModule OpenImage(const std::string& path)
{
    return UniqueModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

template <class Action>
double MedianMilliseconds(Action action)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        action();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void CompareWithCopy(const std::string& setup)
{
    const UniqueModule image = OpenImage(setup);
    if (!image) {
        std::printf("%s: cannot open (error %lu)\n", setup.c_str(), GetLastError());
        return;
    }
    const std::vector<Payload> payloads = Payloads(image.Get());
    if (payloads.empty()) {
        std::printf("%s: no payloads\n", setup.c_str());
        return;
    }
    const Payload largest =
        *std::max_element(payloads.begin(), payloads.end(), [](const Payload& a, const Payload& b) { return a.size < b.size; });

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string extracted = std::string(folder) + "extract_bench_payload.bin";
    const std::string copied = std::string(folder) + "extract_bench_copy.bin";
    const ScopedResourceModule payloadImage(image.Get());
    ExtractResourceToFile(extracted.c_str(), largest.id, largest.type);  // warms the cache
    const double extract = MedianMilliseconds([&] { ExtractResourceToFile(extracted.c_str(), largest.id, largest.type); });
    const double copy = MedianMilliseconds([&] { CopyFileA(extracted.c_str(), copied.c_str(), FALSE); });
    DeleteFileA(extracted.c_str());
    DeleteFileA(copied.c_str());

    std::printf("largest payload: %s %u, %lu bytes\n", TypeName(largest.type).c_str(), largest.id,
                static_cast<unsigned long>(largest.size));
    std::printf("  extraction %.3f ms, CopyFileA %.3f ms (medians of %d runs): ratio %.2f\n", extract, copy, kRuns,
                copy > 0 ? extract / copy : 0.0);
}

// A copy of this program that carries payloads of the given sizes as "EXE" 900, 901, ...
std::string ImageWithPayloads(const std::string& folder, const std::vector<DWORD>& sizes)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string image = folder + "extract_bench_image.exe";
    if (!CopyFileA(self, image.c_str(), FALSE))
        return {};
    HANDLE update = BeginUpdateResourceA(image.c_str(), FALSE);
    if (update == nullptr)
        return {};
    std::vector<std::string> payloads;
    unsigned int state = 12345;
    for (size_t index = 0; index < sizes.size(); ++index) {
        std::string bytes(sizes[index], '\0');
        for (char& byte : bytes) {
            state = state * 1103515245u + 12345u;
            byte = static_cast<char>(state >> 24);
        }
        payloads.push_back(std::move(bytes));
        UpdateResourceA(update, "EXE", MAKEINTRESOURCEA(900 + index), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                        &payloads.back()[0], sizes[index]);
    }
    return EndUpdateResourceA(update, FALSE) ? image : std::string();
}

void PrintCheckFigures(HMODULE image, WORD id, DWORD size, const std::string& extracted)
{
    const ScopedResourceModule payloads(image);
    ExtractResourceToFile(extracted.c_str(), id, "EXE");  // warms the cache
    const double extract = MedianMilliseconds([&] { ExtractResourceToFile(extracted.c_str(), id, "EXE"); });
    bool intact = true;
    const double check = MedianMilliseconds(
        [&] { intact = HoldAndCheck(extracted.c_str(), id, "EXE").check == PayloadCheck::Intact && intact; });
    std::printf("payload of %lu MB: extraction %.3f ms, integrity check %.3f ms (%.0f%% of the extraction)%s\n",
                static_cast<unsigned long>(size >> 20), extract, check, extract > 0 ? 100.0 * check / extract : 0.0,
                intact ? "" : ", NOT INTACT");
}

void CompareCheckWithExtraction()
{
    const std::vector<DWORD> sizes = {5u << 20, 100u << 20};
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = ImageWithPayloads(folder, sizes);
    UniqueModule image = path.empty() ? UniqueModule() : OpenImage(path);
    if (!image) {
        std::printf("integrity check: cannot build an image with payloads (error %lu)\n", GetLastError());
        return;
    }
    const std::string extracted = std::string(folder) + "extract_bench_checked.bin";
    for (size_t index = 0; index < sizes.size(); ++index)
        PrintCheckFigures(image.Get(), static_cast<WORD>(900 + index), sizes[index], extracted);
    image.Reset();
    DeleteFileA(extracted.c_str());
    DeleteFileA(path.c_str());
}

void ReportOwnSize(const char* label, const std::string& setup)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    const UniqueModule image = OpenImage(setup);
    if (!image || !GetFileAttributesExA(setup.c_str(), GetFileExInfoStandard, &attributes)) {
        std::printf("%s: %s not readable\n", label, setup.c_str());
        return;
    }
    unsigned long long carried = 0;
    const std::vector<Payload> payloads = Payloads(image.Get());
    for (const Payload& payload : payloads)
        carried += payload.size;
    const unsigned long long file = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    std::printf("%s: file %llu bytes, %zu payloads %llu bytes, own size %llu bytes\n", label, file, payloads.size(),
                carried, file - carried);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string setup64 = WindowsPath(argc > 1 ? argv[1] : VS_SETUP_X86_64);
    const std::string setup32 = WindowsPath(argc > 2 ? argv[2] : VS_SETUP_I686);
    CompareWithCopy(setup64);
    CompareCheckWithExtraction();
    ReportOwnSize("x86_64", setup64);
    ReportOwnSize("i686", setup32);
    return 0;
}
