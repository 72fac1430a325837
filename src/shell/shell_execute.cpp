#include "shell/shell_execute.h"

#include "base/error.h"
#include "base/port.h"
#include "trail/error_box.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

ShellHost& Shell() {
    if (auto* shell = Installed<ShellHost>::Get()) return *shell;
    throw Error(errnum::NotSupported, kProjectName, L"No shell is available in this process.");
}

}  // namespace

int32_t ShellLaunchResult(std::intptr_t instance) noexcept {
    // Only 0 to 32 are the shell's error codes; anything else is an instance, that is success.
    return instance >= 0 && instance <= 32 ? static_cast<int32_t>(instance) : -1;
}

void clsShellExecute::Forget() noexcept {
    lngLastInstance_ = 0;
    lngProcessHandle_.reset();
}

int32_t clsShellExecute::Plain(std::intptr_t hwnd, const std::optional<std::wstring>& verb, const std::wstring& file,
                               int32_t eShowStyle) {
    Forget();
    return ShellLaunchResult(Shell().Execute({hwnd, verb, file, std::nullopt, std::nullopt, eShowStyle}));
}

int32_t clsShellExecute::Extended(std::intptr_t hwnd, const std::wstring& file, const std::wstring& parameters,
                                  const std::wstring& folder, int32_t eShowStyle) {
    Forget();
    auto started = Shell().ExecuteEx({hwnd, L"Open", file, parameters, folder, eShowStyle}, kLaunchMask);
    lngLastInstance_ = started.instance;
    lngProcessHandle_ = std::move(started.process);
    return ShellLaunchResult(lngLastInstance_);
}

bool clsShellExecute::StillExecuting() const {
    if (lngLastInstance_ == 0 || !lngProcessHandle_) return false;
    return lngProcessHandle_->ExitCode() == kStillActive;
}

int32_t clsShellExecute::Explore(std::intptr_t lngHwnd, const std::wstring& strFolder, int32_t eShowStyle) {
    return Plain(lngHwnd, L"explore", strFolder, eShowStyle);
}

int32_t clsShellExecute::LaunchDocument(std::intptr_t lngHwnd, const std::wstring& strDocument,
                                        const std::wstring& strStartIn, int32_t eShowStyle) {
    return PassOn(
        L"clsShellExecute.LaunchDocument(lnghWnd,strDocument,strStartIn,eShowStyle)",
        [&] { return Extended(lngHwnd, strDocument, L"", strStartIn, eShowStyle); }, lngHwnd, strDocument,
        strStartIn, eShowStyle);
}

int32_t clsShellExecute::LaunchEmail(std::intptr_t lngHwnd, const std::wstring& strAddress, int32_t eShowStyle) {
    return PassOn(
        L"clsShellExecute.LaunchEmail(lnghWnd,strAddress,eShowStyle)",
        [&] { return Plain(lngHwnd, std::nullopt, L"mailto:" + strAddress, eShowStyle); }, lngHwnd, strAddress,
        eShowStyle);
}

int32_t clsShellExecute::LaunchFolder(std::intptr_t lngHwnd, const std::wstring& strFolder, int32_t eShowStyle) {
    return PassOn(
        L"clsShellExecute.LaunchFolder(lnghWnd,strFolder,eShowStyle)",
        [&] { return Plain(lngHwnd, L"open", strFolder, eShowStyle); }, lngHwnd, strFolder, eShowStyle);
}

int32_t clsShellExecute::LaunchProgram(std::intptr_t lngHwnd, const std::wstring& strProgram,
                                       const std::wstring& strParameters, const std::wstring& strStartIn,
                                       int32_t eShowStyle) {
    return ReportInBox(L"LaunchProgram",
                       [&] { return Extended(lngHwnd, strProgram, strParameters, strStartIn, eShowStyle); });
}

int32_t clsShellExecute::LaunchURL(std::intptr_t lngHwnd, const std::wstring& strURL, int32_t eShowStyle) {
    return PassOn(
        L"clsShellExecute.LaunchURL(lnghWnd,strURL,eShowStyle)",
        [&] { return Plain(lngHwnd, std::nullopt, strURL, eShowStyle); }, lngHwnd, strURL, eShowStyle);
}

int32_t clsShellExecute::PrintDocument(std::intptr_t lngHwnd, const std::wstring& strDocument) {
    return ReportInBox(L"PrintDocument", [&] { return Plain(lngHwnd, L"print", strDocument, show::Hidden); });
}

}  // namespace qlora
