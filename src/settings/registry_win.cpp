#include "settings/registry_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "win/win32_win.h"

namespace qlora {
namespace {

// Query value, set value, create subkey, enumerate subkeys, notify, create link: for reading too,
// so a branch the user may only read reads as absent.
constexpr REGSAM kAccess = 63;
static_assert(kAccess == (KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS |
                          KEY_NOTIFY | KEY_CREATE_LINK));

// Only the predefined roots: any other number is not a handle the store may use.
HKEY RootHandle(int32_t root) {
    static const std::pair<int32_t, HKEY> kRoots[] = {
        {kHKeyClassesRoot, HKEY_CLASSES_ROOT}, {kHKeyCurrentUser, HKEY_CURRENT_USER},
        {kHKeyLocalMachine, HKEY_LOCAL_MACHINE}, {kHKeyUsers, HKEY_USERS},
        {kHKeyCurrentConfig, HKEY_CURRENT_CONFIG}};
    for (const auto& [number, handle] : kRoots)
        if (number == root) return handle;
    return nullptr;
}

BYTE* Bytes(std::string& s) { return reinterpret_cast<BYTE*>(s.data()); }

}  // namespace

RegistryPort::RawValue WinRegistry::QueryValue(int32_t root, const std::wstring& key, const std::wstring& name) {
    const HKEY base = RootHandle(root);
    if (!base || !win::IsAnsiArgument(key) || !win::IsAnsiArgument(name)) return {};
    win::UniqueHKey hkey;
    if (::RegOpenKeyExA(base, win::ToAnsi(key).c_str(), 0, kAccess, hkey.put()) != ERROR_SUCCESS) return {};
    const std::string valueName = win::ToAnsi(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(hkey.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};

    if (type == REG_SZ) {
        std::string data(size, '\0');
        if (size != 0 && ::RegQueryValueExA(hkey.get(), valueName.c_str(), nullptr, &type, Bytes(data), &size) !=
                             ERROR_SUCCESS)
            return {};
        // The second answer is the exact size; the first may be an upper bound.
        data.resize(std::min<size_t>(size, data.size()));
        return {RawValue::Kind::String, win::FromAnsi(data)};
    }
    if (type == REG_DWORD) {
        DWORD number = 0;
        DWORD numberSize = sizeof number;
        if (::RegQueryValueExA(hkey.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                               &numberSize) != ERROR_SUCCESS)
            return {};
        // Read as the signed 32-bit whole number the add-in's callers work with.
        return {RawValue::Kind::Number, {}, static_cast<int32_t>(number)};
    }
    return {RawValue::Kind::Other};
}

void WinRegistry::SetValue(int32_t root, const std::wstring& key, const std::wstring& name, const std::wstring& data,
                           uint32_t type) {
    const HKEY base = RootHandle(root);
    if (!base) win::ThrowWin32(ERROR_INVALID_HANDLE, L"RegCreateKeyExA");
    // Text the code page cannot hold fails here rather than landing as another name or value.
    const std::string keyPath = win::AnsiArgument(key, L"RegCreateKeyExA");
    const std::string valueName = win::AnsiArgument(name, L"RegSetValueExA");
    // The data keeps its NULs (its terminator at least): it only has to fit the code page.
    if (!win::FitsAnsi(data)) win::AnsiArgument(data, L"RegSetValueExA");  // throws
    std::string bytes = win::ToAnsi(data);
    win::UniqueHKey hkey;
    // A refusal goes to the store's caller: the value the user chose would be lost without a word.
    if (const LSTATUS status = ::RegCreateKeyExA(base, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                                                 nullptr, hkey.put(), nullptr);
        status != ERROR_SUCCESS)
        win::ThrowWin32(static_cast<DWORD>(status), L"RegCreateKeyExA");
    // The size in bytes of the ANSI text, so double-byte characters are not cut off.
    if (const LSTATUS status =
            ::RegSetValueExA(hkey.get(), valueName.c_str(), 0, type, Bytes(bytes), static_cast<DWORD>(bytes.size()));
        status != ERROR_SUCCESS)
        win::ThrowWin32(static_cast<DWORD>(status), L"RegSetValueExA");
}

RegistryPort& WindowsRegistry() {
    static WinRegistry registry;
    return registry;
}

bool WinRegistry::DeleteTree(int32_t root, const std::wstring& key) {
    const HKEY base = RootHandle(root);
    if (!base || !win::IsAnsiArgument(key)) return false;
    return ::SHDeleteKeyA(base, win::ToAnsi(key).c_str()) == ERROR_SUCCESS;
}

}  // namespace qlora
