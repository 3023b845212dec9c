// One move-only owner for every kind of platform handle, with a trait per kind that says
// which values mean "none" and how to release the handle.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return m_handle; }
    bool IsValid() const { return Traits::IsValid(m_handle); }
    explicit operator bool() const { return IsValid(); }

    void Reset(Handle handle = Traits::None())
    {
        if (Traits::IsValid(m_handle))
            Traits::Close(m_handle);
        m_handle = handle;
    }

    Handle Detach() { return std::exchange(m_handle, Traits::None()); }

private:
    Handle m_handle = Traits::None();
};

namespace HandleTraits {

// Kernel objects: files, snapshots, threads. Both 0 and INVALID_HANDLE_VALUE mean none.
struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

// A process handle: -1 is the current-process pseudo handle, so only 0 means none.
struct Process {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};

struct Find {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};

struct RegistryKey {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

struct Module {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};

struct GdiObject {
    using Handle = HGDIOBJ;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

struct Region {
    using Handle = HRGN;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};

// A block of global memory, as streams and the clipboard take it.
struct GlobalMemory {
    using Handle = HGLOBAL;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { GlobalFree(h); }
};

// Memory the system allocated for the caller (FormatMessage's buffer).
struct LocalMemory {
    using Handle = HLOCAL;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};

// A hook procedure installed with SetWindowsHookEx.
struct WindowsHook {
    using Handle = HHOOK;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { UnhookWindowsHookEx(h); }
};

// The device context of the whole screen, from GetDC(nullptr).
struct ScreenDC {
    using Handle = HDC;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ReleaseDC(nullptr, h); }
};

// A view of a file mapping.
struct FileView {
    using Handle = const void*;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle view) { return view != nullptr; }
    static void Close(Handle view) { UnmapViewOfFile(view); }
};

} // namespace HandleTraits

using UniqueKernelHandle = UniqueHandle<HandleTraits::Kernel>;
using UniqueProcessHandle = UniqueHandle<HandleTraits::Process>;
using UniqueFindHandle = UniqueHandle<HandleTraits::Find>;
using UniqueRegKey = UniqueHandle<HandleTraits::RegistryKey>;
using UniqueModule = UniqueHandle<HandleTraits::Module>;
using UniqueGdiObject = UniqueHandle<HandleTraits::GdiObject>;
using UniqueFileView = UniqueHandle<HandleTraits::FileView>;
using UniqueRegion = UniqueHandle<HandleTraits::Region>;
using UniqueGlobalMemory = UniqueHandle<HandleTraits::GlobalMemory>;
using UniqueLocalMemory = UniqueHandle<HandleTraits::LocalMemory>;
using UniqueScreenDC = UniqueHandle<HandleTraits::ScreenDC>;
using UniqueWindowsHook = UniqueHandle<HandleTraits::WindowsHook>;
