#include "shell/operating_system.h"

#include <string_view>

#include "base/port.h"
#include "base/text.h"

namespace qlora {
namespace {

// The version's name: the first row that matches wins; no row, no name. Versions after XP (and
// 5.2) are all "Windows NT".
struct NameRow {
    uint32_t platformId;
    std::optional<uint32_t> major;  // none: any
    std::optional<uint32_t> minor;  // none: any
    std::wstring_view name;
};

constexpr NameRow kNames[] = {
    {0, {}, {}, L"Win32s"},
    {1, {}, 0, L"Windows 95"},
    {1, {}, 90, L"Windows ME"},
    {1, {}, {}, L"Windows 98"},
    {2, 5, 0, L"Windows 2000"},
    {2, 5, 1, L"Windows XP"},
    {2, {}, {}, L"Windows NT"},
};

std::wstring_view VersionName(const OsVersionInfo& info) {
    const auto matches = [](const std::optional<uint32_t>& want, uint32_t have) { return !want || *want == have; };
    for (const auto& row : kNames)
        if (row.platformId == info.platformId && matches(row.major, info.majorVersion) &&
            matches(row.minor, info.minorVersion))
            return row.name;
    return {};
}

// The service-pack field up to its first NUL; a field without a NUL holds no text the system
// finished, so it counts as empty.
std::wstring ServicePack(const std::wstring& field) {
    const auto end = field.find(L'\0');
    return end == std::wstring::npos ? std::wstring() : field.substr(0, end);
}

}  // namespace

clsOperatingSystem::WindowsVersion clsOperatingSystem::GetWindowsVersion() {
    WindowsVersion version;
    auto* source = Installed<VersionSource>::Get();
    const auto info = source ? source->ReadVersion() : std::nullopt;
    if (!info) return version;
    version.lngPlatformId = static_cast<int32_t>(info->platformId);
    version.strName = VersionName(*info);
    version.strVersion = text::Decimal(info->majorVersion) + L"." + text::Decimal(info->minorVersion);
    version.strServicePack = ServicePack(info->csdVersion);
    version.strBuild = text::Decimal(info->buildNumber & 0xFFFFu);
    return version;
}

std::wstring clsOperatingSystem::OperatingSystem() const {
    const auto v = GetWindowsVersion();
    return v.strName + L" " + v.strVersion + L" build " + v.strBuild + L" (" + v.strServicePack + L")";
}

}  // namespace qlora
