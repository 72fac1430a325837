#include "win/win32_win.h"

#include <vector>

#include "base/text.h"

namespace qlora::win {

std::wstring SystemMessage(DWORD code) {
    char buffer[512] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                     buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    return FromAnsi(std::string_view(buffer, n));
}

namespace {

std::wstring Description(DWORD code, std::wstring_view fallback) {
    std::wstring text = SystemMessage(code);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text.empty() ? std::wstring(fallback) : text;
}

}  // namespace

void ThrowWin32(DWORD code, std::wstring_view operation) {
    throw Error(static_cast<int32_t>(code), std::wstring(operation),
                Description(code, L"System error " + text::Decimal(code)), static_cast<int32_t>(code));
}

void ThrowLastError(std::wstring_view operation) { ThrowWin32(::GetLastError(), operation); }

void ThrowIfFailed(HRESULT hr, std::wstring_view operation) {
    if (SUCCEEDED(hr)) return;
    throw Error(static_cast<int32_t>(hr), std::wstring(operation),
                Description(static_cast<DWORD>(hr), L"Automation error"));
}

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    // What the code page cannot hold becomes its replacement character, not a look-alike ("O" for
    // an Omega) that would name another file in silence. UTF-8 takes no such flag.
    const DWORD flags = ::GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size = ::WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view text) {
    if (text.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

bool FitsAnsi(std::wstring_view text) { return FromAnsi(ToAnsi(text)) == text; }

bool IsAnsiArgument(std::wstring_view text) {
    return text.find(L'\0') == std::wstring_view::npos && FitsAnsi(text);
}

std::string AnsiArgument(std::wstring_view text, std::wstring_view operation) {
    if (!IsAnsiArgument(text))
        throw Error(errnum::InvalidCall, std::wstring(operation),
                    L"The text '" + std::wstring(text.substr(0, text.find(L'\0'))) +
                        L"' cannot be passed on unchanged in the system's code page.");
    return ToAnsi(text);
}

// By name, as a static import would be found: inside an activation context that names Common
// Controls 6, "comctl32.dll" is that version.
Library::Library(const wchar_t* name) : name_(name), module_(::LoadLibraryW(name)) {
    if (!module_) ThrowLastError(L"LoadLibrary " + name_);
}

void Library::ThrowMissing(const char* name) const {
    ThrowLastError(L"GetProcAddress " + name_ + L" " + FromAnsi(name));
}

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring ThisModuleFolder() {
    const auto path = ModulePath(ThisModule());
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace qlora::win
