// clsProgramSettings: named text values in the registry under a key path composed from a root and
// four path parts, read with a default for a missing or empty value and written as strings.
//
// The store reaches the registry through the RegistryPort installed process-wide
// (Installed<RegistryPort>): the DLL installs the Windows registry when it loads, tests install
// an in-memory one. Without a port every value reads as absent and writes go nowhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qlora {

// Predefined registry roots as 32-bit numbers, the way the store's callers pass them.
inline constexpr int32_t kHKeyClassesRoot = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t kHKeyCurrentUser = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kHKeyLocalMachine = static_cast<int32_t>(0x80000002u);
inline constexpr int32_t kHKeyUsers = static_cast<int32_t>(0x80000003u);
inline constexpr int32_t kHKeyCurrentConfig = static_cast<int32_t>(0x80000005u);

// Registry value kinds the store names.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

// The registry as the store needs it. Each call opens (or creates) its key with the rights 63
// (query, set, create subkey, enumerate, notify, create link) and closes it before returning; text
// crosses into the registry in the system's ANSI code page.
class RegistryPort {
public:
    // A value as the registry holds it.
    struct RawValue {
        enum class Kind { Absent, String, Number, Other };
        Kind kind = Kind::Absent;
        std::wstring data;   // String: the characters as stored, a terminating NUL included if stored
        int32_t number = 0;  // Number: the 32-bit value
    };

    virtual ~RegistryPort() = default;
    // Absent when the root is not a predefined key, the key cannot be opened with rights 63, the
    // value is missing or cannot be read, or a name cannot be expressed in the ANSI code page.
    virtual RawValue QueryValue(int32_t root, const std::wstring& key, const std::wstring& name) = 0;
    // Creates missing keys and writes `data` exactly (the caller adds any terminator) with the
    // value kind `type`. A write the registry refuses throws with the system's code, and so does
    // text the ANSI code page cannot hold instead of being written as something else.
    virtual void SetValue(int32_t root, const std::wstring& key, const std::wstring& name, const std::wstring& data,
                          uint32_t type) = 0;
    // Deletes the key with all its subkeys and values; true when the system reports success.
    virtual bool DeleteTree(int32_t root, const std::wstring& key) = 0;
};

// The whole number a settings text holds: optional blanks around an optional sign and decimal
// digits, within 32 bits; nothing for any other text.
std::optional<int32_t> ParseWholeNumber(std::wstring_view text);

class clsProgramSettings {
public:
    static constexpr wchar_t kTypeName[] = L"clsProgramSettings";

    int32_t RootKey = kHKeyLocalMachine;  // root of ReadEntry and WriteEntry
    std::wstring MainBranch = L"SOFTWARE";
    std::wstring RegBase;                 // the maker's branch
    std::wstring Program;                 // the product's branch
    std::wstring Section = L"Settings";   // may hold several levels separated by "\"
    std::wstring IniName;                 // kept for callers; no operation uses it

    // MainBranch\RegBase\Program\Section with one trailing "\" removed.
    std::wstring KeyPath() const;

    // The value strEntry under lngRoot and strKey (used as given), or strDefault when it is absent,
    // empty or of a kind other than a string or a 32-bit number (read as its decimal text).
    std::wstring ReadKeyEntry(int32_t lngRoot, const std::wstring& strKey, const std::wstring& strEntry,
                              const std::wstring& strDefault) const;
    // The same under RootKey and KeyPath().
    std::wstring ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault) const;
    // Writes strValue as a string value under RootKey and KeyPath(), creating missing keys.
    void WriteEntry(const std::wstring& strEntry, const std::wstring& strValue) const;
    // Deletes strKey under lngRoot with all its subkeys and values. A key path without a name (""
    // or only separators) would mean the root itself and is refused.
    bool DeleteKey(int32_t lngRoot, const std::wstring& strKey) const;

    // ReadEntry as a whole number: lngDefault also when the text is not a whole number.
    int32_t ReadWholeNumber(const std::wstring& strEntry, int32_t lngDefault) const;

private:
    using KeyValue = std::variant<std::monostate, std::wstring, int32_t>;  // empty, string, number

    KeyValue GetKeyValue(int32_t lngRoot, const std::wstring& strKey, const std::wstring& strEntry) const;
    void SetKeyValue(int32_t lngRoot, const std::wstring& strKey, const std::wstring& strEntry,
                     const std::wstring& strValue, uint32_t lngType) const;
    std::wstring TextOrDefault(int32_t lngRoot, const std::wstring& strKey, const std::wstring& strEntry,
                               const std::wstring& strDefault) const;
};

}  // namespace qlora
