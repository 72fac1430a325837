#include "shell/operating_system_win.h"

#include <windows.h>

#include <string_view>

#include "win/win32_win.h"

namespace qlora {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record GetVersionExA fills");

std::optional<OsVersionInfo> WinVersionSource::ReadVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info)) return std::nullopt;
    return OsVersionInfo{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId,
                         win::FromAnsi(std::string_view(info.szCSDVersion, sizeof(info.szCSDVersion)))};
}

}  // namespace qlora
