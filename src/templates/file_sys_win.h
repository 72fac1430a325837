// The file system and the shell as the file and path helpers reach them: Win32 file calls, the
// shell's ANSI calls (shell32, shlwapi, mpr), file contents in the ANSI code page.
#pragma once

#include "templates/file_sys.h"

namespace qlora {

class WinFileSystem final : public FileSystemPort {
public:
    Entry Kind(const std::wstring& path) override;
    bool ListsAsNormalFile(const std::wstring& path) override;
    std::wstring ReadText(const std::wstring& path) override;
    bool TryCreateFile(const std::wstring& path, std::wstring_view text) override;
    void MoveReplacing(const std::wstring& source, const std::wstring& target) override;
    void RemoveFile(const std::wstring& path) override;
    void MakeFolder(const std::wstring& path) override;
    bool FitsCodePage(std::wstring_view text) override;
    int32_t ShellFileOperation(int32_t function, const std::wstring& from, const std::wstring& to,
                               int32_t flags) override;
    void ProcessPendingMessages() override;
    std::wstring SpecialFolderPath(int32_t csidl) override;
    bool IsNetworkPath(const std::wstring& path) override;
    bool IsUNC(const std::wstring& path) override;
    std::wstring StripToRoot(const std::wstring& path) override;
    std::optional<std::wstring> SkipRoot(const std::wstring& path) override;
    std::optional<std::wstring> RemoteName(const std::wstring& localName) override;
};

// The process's one instance, which InstallWindowsPorts installs.
FileSystemPort& WindowsFileSystem();

}  // namespace qlora
