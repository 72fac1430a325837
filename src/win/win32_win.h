// The Windows adapters' common ground: RAII owners for Win32 handles, the one way a failed
// Win32 or COM call becomes a qlora::Error, and text crossing the ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "base/error.h"

namespace qlora::win {

// Owns one handle of a kind described by Traits (type, invalid value, close function).
template <class Traits>
class Unique {
public:
    using Type = typename Traits::Type;

    Unique() = default;
    explicit Unique(Type h) noexcept : h_(h) {}
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Traits::Invalid()));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Type get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::Invalid(); }
    Type* put() noexcept {
        reset();
        return &h_;
    }
    Type release() noexcept { return std::exchange(h_, Traits::Invalid()); }
    void reset(Type h = Traits::Invalid()) noexcept {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    Type h_ = Traits::Invalid();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct HandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyWindow(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};
// Fonts, bitmaps and the other GDI objects a window made for itself.
template <class T>
struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};

using UniqueFile = Unique<FileHandleTraits>;  // CreateFile: INVALID_HANDLE_VALUE when none
using UniqueHandle = Unique<HandleTraits>;    // processes, events: nullptr when none
using UniqueHKey = Unique<RegKeyTraits>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueFind = Unique<FindTraits>;        // FindFirstFile: INVALID_HANDLE_VALUE when none
using UniqueIcon = Unique<IconTraits>;  // LoadImage without LR_SHARED, CreateIconIndirect
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteDC(h); }
};
using UniqueMemoryDc = Unique<MemoryDcTraits>;  // CreateCompatibleDC
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
using UniqueModule = Unique<ModuleTraits>;  // LoadLibrary, GetModuleHandleEx without UNCHANGED_REFCOUNT
struct SafeArrayTraits {
    using Type = SAFEARRAY*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type a) noexcept { ::SafeArrayDestroy(a); }
};
using UniqueSafeArray = Unique<SafeArrayTraits>;  // SafeArrayCreate, SafeArrayCreateVector

// A window's device context (its client area, or the whole window with its frame), given back
// to the window at the end.
class WindowDc {
public:
    explicit WindowDc(HWND window, bool withFrame = false)
        : window_(window), dc_(withFrame ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The system's text for an error code, as FormatMessage gives it (line break included); "" if none.
std::wstring SystemMessage(DWORD code);

// A failed Win32 call: the error carries the system's code as its number and as the system error,
// so the report shows the system's own text for it.
[[noreturn]] void ThrowLastError(std::wstring_view operation);
[[noreturn]] void ThrowWin32(DWORD code, std::wstring_view operation);
// A failed COM call (HRESULT) that came without richer error information.
void ThrowIfFailed(HRESULT hr, std::wstring_view operation);

// Text across the system's ANSI code page, as the ANSI APIs and the add-in's files hold it.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);
// True when the text survives the trip through the ANSI code page unchanged.
bool FitsAnsi(std::wstring_view text);
// True when an ANSI API receives the text as it is: it fits the code page and holds no NUL that
// would cut the C string short.
bool IsAnsiArgument(std::wstring_view text);
// The text for an ANSI API; a text that would arrive as another one fails (error 5, with the
// operation as source) rather than reaching the system changed.
std::string AnsiArgument(std::wstring_view text, std::wstring_view operation);

// A system DLL loaded for as long as this object lives, for what the add-in needs only now and then
// (the dialogs' Common Controls and file dialog): a Word that never needs it never loads it.
// A DLL's export as the function type it has (`ExportOf<decltype(::DllCanUnloadNow)>(dll,
// "DllCanUnloadNow")`), nullptr when the DLL has none. The one place that casts what
// GetProcAddress returns, through a plain function pointer as GCC asks.
template <class Function>
Function* ExportOf(HMODULE module, const char* name) noexcept {
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

class Library {
public:
    // Loads the DLL from the system folder; fails with the system's error when it cannot.
    explicit Library(const wchar_t* name);

    // The entry point declared as Function (`Entry<decltype(::GetSaveFileNameW)>(...)`); fails
    // when the DLL does not export it.
    template <class Function>
    Function* Entry(const char* name) const {
        Function* const entry = ExportOf<Function>(module_.get(), name);
        if (!entry) ThrowMissing(name);
        return entry;
    }

private:
    [[noreturn]] void ThrowMissing(const char* name) const;

    std::wstring name_;
    UniqueModule module_;
};

// The module (DLL or program) that holds the add-in's code, and its folder without "\".
HMODULE ThisModule() noexcept;
std::wstring ModulePath(HMODULE module);
std::wstring ThisModuleFolder();

}  // namespace qlora::win
