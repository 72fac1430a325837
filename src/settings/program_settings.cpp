#include "settings/program_settings.h"

#include <string>

#include "base/port.h"
#include "base/text.h"
#include "trail/error_box.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

RegistryPort* Registry() { return Installed<RegistryPort>::Get(); }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::optional<int32_t> ParseWholeNumber(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == L'-';
    if (!text.empty() && (negative || text.front() == L'+')) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    constexpr int64_t kLimit = int64_t{1} << 31;  // the magnitude of the smallest 32-bit number
    int64_t magnitude = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > kLimit) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value >= kLimit) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::wstring clsProgramSettings::KeyPath() const {
    std::wstring path = MainBranch + L"\\" + RegBase + L"\\" + Program + L"\\" + Section;
    if (path.ends_with(L"\\")) path.pop_back();
    return path;
}

std::wstring clsProgramSettings::ReadKeyEntry(int32_t lngRoot, const std::wstring& strKey,
                                              const std::wstring& strEntry, const std::wstring& strDefault) const {
    return PassOn(
        L"clsProgramSettings.ReadtKeyEntry(lngRoot,strKey,strEntry,strDefault)",
        [&] { return TextOrDefault(lngRoot, strKey, strEntry, strDefault); }, lngRoot, strKey, strEntry,
        strDefault);
}

std::wstring clsProgramSettings::ReadEntry(const std::wstring& strEntry, const std::wstring& strDefault) const {
    return ReportInBox(
        L"ReadEntry", [&] { return TextOrDefault(RootKey, KeyPath(), strEntry, strDefault); }, strDefault);
}

void clsProgramSettings::WriteEntry(const std::wstring& strEntry, const std::wstring& strValue) const {
    ReportInBox(L"WriteEntry", [&] { SetKeyValue(RootKey, KeyPath(), strEntry, strValue, kRegSz); });
}

bool clsProgramSettings::DeleteKey(int32_t lngRoot, const std::wstring& strKey) const {
    return PassOn(
        L"clsProgramSettings.DeleteKey(lngRoot,strKey)",
        [&] {
            if (strKey.find_first_not_of(L'\\') == std::wstring::npos) return false;
            auto* registry = Registry();
            return registry && registry->DeleteTree(lngRoot, strKey);
        },
        lngRoot, strKey);
}

int32_t clsProgramSettings::ReadWholeNumber(const std::wstring& strEntry, int32_t lngDefault) const {
    return ParseWholeNumber(ReadEntry(strEntry, text::Decimal(lngDefault))).value_or(lngDefault);
}

clsProgramSettings::KeyValue clsProgramSettings::GetKeyValue(int32_t lngRoot, const std::wstring& strKey,
                                                             const std::wstring& strEntry) const {
    return ReportInBox(L"GetKeyValue", [&]() -> KeyValue {
        auto* registry = Registry();
        if (!registry) return {};
        auto raw = registry->QueryValue(lngRoot, strKey, strEntry);
        switch (raw.kind) {
            case RegistryPort::RawValue::Kind::String:
                // Stored with or without its terminator: one trailing NUL is not part of the text.
                if (!raw.data.empty() && raw.data.back() == L'\0') raw.data.pop_back();
                return std::move(raw.data);
            case RegistryPort::RawValue::Kind::Number:
                return raw.number;
            case RegistryPort::RawValue::Kind::Absent:
            case RegistryPort::RawValue::Kind::Other:
                break;
        }
        return {};
    });
}

void clsProgramSettings::SetKeyValue(int32_t lngRoot, const std::wstring& strKey, const std::wstring& strEntry,
                                     const std::wstring& strValue, uint32_t lngType) const {
    ReportInBox(L"SetKeyValue", [&] {
        if (auto* registry = Registry()) registry->SetValue(lngRoot, strKey, strEntry, strValue + L'\0', lngType);
    });
}

std::wstring clsProgramSettings::TextOrDefault(int32_t lngRoot, const std::wstring& strKey,
                                               const std::wstring& strEntry, const std::wstring& strDefault) const {
    const KeyValue value = GetKeyValue(lngRoot, strKey, strEntry);
    std::wstring result;
    if (const auto* s = std::get_if<std::wstring>(&value)) result = *s;
    else if (const auto* n = std::get_if<int32_t>(&value)) result = text::Decimal(*n);
    return result.empty() ? strDefault : result;
}

}  // namespace qlora
