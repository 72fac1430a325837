// The Windows adapters' common ground: RAII owners for Win32 handles, the one way a failed
// Win32 or COM call becomes a qlora::Error, and text crossing the ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "errors/error.h"

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

using UniqueFile = Unique<FileHandleTraits>;  // CreateFile: INVALID_HANDLE_VALUE when none
using UniqueHandle = Unique<HandleTraits>;    // processes, events: nullptr when none
using UniqueHKey = Unique<RegKeyTraits>;
using UniqueWindow = Unique<WindowTraits>;

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

// The module (DLL or program) that holds the add-in's code, and its folder without "\".
HMODULE ThisModule() noexcept;
std::wstring ModulePath(HMODULE module);
std::wstring ThisModuleFolder();

}  // namespace qlora::win
