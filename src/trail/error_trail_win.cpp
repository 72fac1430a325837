#include "trail/error_trail_win.h"

#include <windows.h>
#include <wrl/client.h>

#include <vector>

#include "base/text.h"
#include "win/com_values_win.h"
#include "win/win32_win.h"

namespace qlora {

std::wstring WinTrailHost::ComputerName() {
    char buffer[256] = {};
    DWORD size = 255;
    return ::GetComputerNameA(buffer, &size) ? win::FromAnsi(std::string_view(buffer, size)) : std::wstring();
}

ErrorTrailHost::LocalTime WinTrailHost::Now() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    const auto separator = [](LCTYPE type, const wchar_t* fallback) {
        wchar_t buffer[8] = {};
        return ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 8) > 1 ? std::wstring(buffer) : fallback;
    };
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, separator(LOCALE_SDATE, L"/"),
            separator(LOCALE_STIME, L":")};
}

std::wstring WinTrailHost::AppTitle() { return kProjectName; }

std::wstring WinTrailHost::AppVersion() { return ModuleVersion(); }

std::wstring ModuleVersion() {
    const auto path = win::ModulePath(win::ThisModule());
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    return text::Decimal(HIWORD(info->dwFileVersionMS)) + L"." + text::Decimal(LOWORD(info->dwFileVersionMS)) + L"." +
           text::Decimal(LOWORD(info->dwFileVersionLS));
}

std::wstring WinTrailHost::AdoVersion() {
    // The database component is asked only for its version; any failure reads as "?".
    CLSID clsid{};
    Microsoft::WRL::ComPtr<IDispatch> connection;
    if (FAILED(::CLSIDFromProgID(L"ADODB.Connection", &clsid)) ||
        FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&connection))))
        return L"?";
    std::wstring version;
    return FAILED(com::GetText(connection.Get(), L"Version", version)) ? L"?" : version;
}

std::wstring WinTrailHost::SystemMessage(int32_t code) { return win::SystemMessage(static_cast<DWORD>(code)); }

std::wstring WinTrailHost::ModuleFolder() { return win::ThisModuleFolder(); }

bool WinTrailHost::TryAppendToFile(const std::wstring& path, const std::wstring& text) {
    // Readers may look at the log while it grows; a second writer waits its turn.
    win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return false;
    const std::string bytes = win::ToAnsi(text);
    DWORD written = 0;
    if (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size())
        return true;
    // Not logged (a full disk, a locked range): the part that went in goes again, so a retry
    // appends the whole entry once.
    if (::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN)) ::SetEndOfFile(file.get());
    return false;
}

int64_t WinTrailHost::MonotonicMilliseconds() { return static_cast<int64_t>(::GetTickCount64()); }

void WinTrailHost::Sleep(int32_t milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds)); }

void WinTrailHost::ResetMousePointer() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }

}  // namespace qlora
