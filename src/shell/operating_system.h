// clsOperatingSystem: the Windows version as one line of text for the error report, for example
// "Windows XP 5.1 build 2600 (Service Pack 2)".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qlora {

// The system's version record as GetVersionExA fills it.
struct OsVersionInfo {
    uint32_t majorVersion = 0;
    uint32_t minorVersion = 0;
    uint32_t buildNumber = 0;
    uint32_t platformId = 0;   // 0 Win32s, 1 the Windows 95/98/ME family, 2 the NT family
    std::wstring csdVersion;   // the whole 128-character service-pack field, NULs included
};

// Where the version comes from; the Windows adapter asks GetVersionExA.
class VersionSource {
public:
    virtual ~VersionSource() = default;
    // The record, or nothing when the system refuses the query.
    virtual std::optional<OsVersionInfo> ReadVersion() = 0;
};

class clsOperatingSystem {
public:
    // Name, " ", major.minor, " build ", the build's low 16 bits, " (", the service pack, ")".
    // The parentheses stay when there is no service pack; when the system does not tell its
    // version, only the fixed pieces remain: "  build  ()".
    std::wstring OperatingSystem() const;

private:
    struct WindowsVersion {
        int32_t lngPlatformId = 0;
        std::wstring strName;
        std::wstring strVersion;
        std::wstring strServicePack;
        std::wstring strBuild;
    };

    static WindowsVersion GetWindowsVersion();
};

}  // namespace qlora
