#include "shell/shell_execute_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/win32_win.h"

namespace qlora {
namespace {

// The texts of one request as the ANSI calls take them: an absent text stays a null pointer.
class AnsiRequest {
public:
    AnsiRequest(const ShellRequest& request, std::wstring_view operation)
        : verb_(Optional(request.verb, operation)),
          file_(win::AnsiArgument(request.file, operation)),
          parameters_(Optional(request.parameters, operation)),
          folder_(Optional(request.folder, operation)) {}

    const char* Verb() const { return Pointer(verb_); }
    const char* File() const { return file_.c_str(); }
    const char* Parameters() const { return Pointer(parameters_); }
    const char* Folder() const { return Pointer(folder_); }

private:
    static std::optional<std::string> Optional(const std::optional<std::wstring>& text, std::wstring_view operation) {
        if (!text) return std::nullopt;
        return win::AnsiArgument(*text, operation);
    }
    static const char* Pointer(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }

    std::optional<std::string> verb_;
    std::string file_;
    std::optional<std::string> parameters_;
    std::optional<std::string> folder_;
};

HWND Owner(std::intptr_t hwnd) { return reinterpret_cast<HWND>(hwnd); }

class WinProcess final : public ShellProcess {
public:
    explicit WinProcess(HANDLE process) : process_(process) {}

    std::optional<uint32_t> ExitCode() override {
        DWORD code = 0;
        if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
        return code;
    }

private:
    win::UniqueHandle process_;
};

}  // namespace

std::intptr_t WinShell::Execute(const ShellRequest& request) {
    const AnsiRequest ansi(request, L"ShellExecuteA");
    const HINSTANCE instance = ::ShellExecuteA(Owner(request.hwnd), ansi.Verb(), ansi.File(), ansi.Parameters(),
                                               ansi.Folder(), request.show);
    return reinterpret_cast<std::intptr_t>(instance);
}

ShellHost::Started WinShell::ExecuteEx(const ShellRequest& request, uint32_t mask) {
    const AnsiRequest ansi(request, L"ShellExecuteExA");
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.hwnd = Owner(request.hwnd);
    info.lpVerb = ansi.Verb();
    info.lpFile = ansi.File();
    info.lpParameters = ansi.Parameters();
    info.lpDirectory = ansi.Folder();
    info.nShow = request.show;
    const BOOL ok = ::ShellExecuteExA(&info);
    const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
    Started started;
    started.instance = reinterpret_cast<std::intptr_t>(info.hInstApp);
    // A refusal must never read as success: when the record holds no error code of its own, the
    // system's last error stands for it (its codes up to 32 are the shell's), else 0.
    if (!ok && ShellLaunchResult(started.instance) == -1)
        started.instance = error <= 32 ? static_cast<std::intptr_t>(error) : 0;
    // The process is owned from here on, whatever the call answered.
    if (info.hProcess) started.process = std::make_unique<WinProcess>(info.hProcess);
    return started;
}

}  // namespace qlora
