// clsShellExecute: documents, folders, programs, e-mail and web addresses opened through the
// Windows shell's execute service, and whether a program it started still runs. The info dialog
// opens its e-mail and web links through it.
//
// Every launch answers by one convention: -1 when the shell succeeded, otherwise the shell's own
// error code from 0 to 32 (2 file not found, 3 path not found, 5 access denied, 31 no
// association...). A shell refusal is an answer, not a failure.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qlora {

// Show-window commands handed on to what the shell opens.
namespace show {
inline constexpr int32_t Hidden = 0;
inline constexpr int32_t Normal = 1;
inline constexpr int32_t Minimized = 2;
inline constexpr int32_t Maximized = 3;
inline constexpr int32_t Default = 10;
}  // namespace show

// One call of the shell's execute service. An absent text is passed as no text at all (a null
// pointer), which is not the same as an empty one: no verb means the file's default verb.
struct ShellRequest {
    std::intptr_t hwnd = 0;  // owner of any message the shell shows
    std::optional<std::wstring> verb;
    std::wstring file;
    std::optional<std::wstring> parameters;
    std::optional<std::wstring> folder;
    int32_t show = show::Normal;

    friend bool operator==(const ShellRequest&, const ShellRequest&) = default;
};

// A process the shell started, held open for its starter until this object ends.
class ShellProcess {
public:
    virtual ~ShellProcess() = default;
    // The process's exit code (259 while it still runs); nothing when the system cannot tell.
    virtual std::optional<uint32_t> ExitCode() = 0;
};

// The shell's execute service; the Windows adapter calls ShellExecuteA / ShellExecuteExA.
class ShellHost {
public:
    struct Started {
        std::intptr_t instance = 0;             // the shell's instance result
        std::unique_ptr<ShellProcess> process;  // none when the shell handed back no process
    };

    virtual ~ShellHost() = default;
    // The plain call: its instance result.
    virtual std::intptr_t Execute(const ShellRequest& request) = 0;
    // The extended call with the execute-information record's mask.
    virtual Started ExecuteEx(const ShellRequest& request, uint32_t mask) = 0;
};

// The execute-information record's mask: keep the process handle for the caller (0x40) and
// expand environment variables in file and folder (0x200).
inline constexpr uint32_t kSeeMaskNoCloseProcess = 0x40;
inline constexpr uint32_t kSeeMaskDoEnvSubst = 0x200;
inline constexpr uint32_t kLaunchMask = kSeeMaskNoCloseProcess | kSeeMaskDoEnvSubst;

// The exit code by which the system reports a process that is still running (STILL_ACTIVE).
inline constexpr uint32_t kStillActive = 259;

// A shell instance result as a launch answers it: the shell's error codes 0 to 32 unchanged,
// -1 for anything else (success).
int32_t ShellLaunchResult(std::intptr_t instance) noexcept;

class clsShellExecute {
public:
    clsShellExecute() = default;
    clsShellExecute(const clsShellExecute&) = delete;
    clsShellExecute& operator=(const clsShellExecute&) = delete;

    // True while the program of the last LaunchDocument or LaunchProgram still runs.
    bool StillExecuting() const;

    int32_t Explore(std::intptr_t lngHwnd, const std::wstring& strFolder, int32_t eShowStyle = show::Normal);
    int32_t LaunchDocument(std::intptr_t lngHwnd, const std::wstring& strDocument, const std::wstring& strStartIn,
                           int32_t eShowStyle = show::Normal);
    // Opens "mailto:" followed by the address, as it is (no escaping).
    int32_t LaunchEmail(std::intptr_t lngHwnd, const std::wstring& strAddress, int32_t eShowStyle = show::Normal);
    int32_t LaunchFolder(std::intptr_t lngHwnd, const std::wstring& strFolder, int32_t eShowStyle = show::Normal);
    // A failure is shown in a message box titled "LaunchProgram"; the result is then 0.
    int32_t LaunchProgram(std::intptr_t lngHwnd, const std::wstring& strProgram, const std::wstring& strParameters = {},
                          const std::wstring& strStartIn = {}, int32_t eShowStyle = show::Normal);
    // Opens the URL as it is (no scheme is added).
    int32_t LaunchURL(std::intptr_t lngHwnd, const std::wstring& strURL, int32_t eShowStyle = show::Normal);
    // Prints hidden. A failure is shown in a message box titled "PrintDocument"; the result is then 0.
    int32_t PrintDocument(std::intptr_t lngHwnd, const std::wstring& strDocument);

    // The instance result of the last LaunchDocument or LaunchProgram; 0 after any other launch.
    std::intptr_t lngLastInstance() const noexcept { return lngLastInstance_; }
    // The process that launch started, or none.
    const ShellProcess* lngProcessHandle() const noexcept { return lngProcessHandle_.get(); }

private:
    int32_t Plain(std::intptr_t hwnd, const std::optional<std::wstring>& verb, const std::wstring& file,
                  int32_t eShowStyle);
    int32_t Extended(std::intptr_t hwnd, const std::wstring& file, const std::wstring& parameters,
                     const std::wstring& folder, int32_t eShowStyle);
    void Forget() noexcept;

    std::intptr_t lngLastInstance_ = 0;
    std::unique_ptr<ShellProcess> lngProcessHandle_;
};

}  // namespace qlora
