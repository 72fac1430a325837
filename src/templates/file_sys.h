// File and path services of the add-in: folder and file tests, the write probe, whole-file text
// in the ANSI code page, path splitting, folder creation, network paths (basFileSys, basGlobal),
// the shell's file operations (clsFileOps) and the UNC form of mapped drives (clsNetPath).
//
// The rules live here; the file system, the shell and the code page are reached through
// FileSystemPort, which the Windows adapter implements over Win32 and a test in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// <windows.h> renames DeleteFile to DeleteFileW; the add-in's own function keeps its name.
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace qlora {

class FileSystemPort {
public:
    enum class Entry { Missing, Folder, File };

    virtual ~FileSystemPort() = default;

    // What stands at a path (a trailing "\" allowed); Missing also when it cannot be asked.
    virtual Entry Kind(const std::wstring& path) = 0;
    // True when a listing of the path with normal attributes yields it: hidden and system files
    // and folders are not listed.
    virtual bool ListsAsNormalFile(const std::wstring& path) = 0;
    // The whole file as text, from the ANSI code page.
    virtual std::wstring ReadText(const std::wstring& path) = 0;
    // Creates a file under a name nothing has yet, holding the text in the ANSI code page, and
    // returns once it is complete on the disk. False, touching nothing, when the name is taken;
    // a failure leaves nothing of the new file behind.
    virtual bool TryCreateFile(const std::wstring& path, std::wstring_view text) = 0;
    // Puts a complete file in the place of another in one step, replacing it when it exists.
    virtual void MoveReplacing(const std::wstring& source, const std::wstring& target) = 0;
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Creates one folder; errnum::PathFileAccess when refused, errnum::PathNotFound when its
    // parent is not there.
    virtual void MakeFolder(const std::wstring& path) = 0;
    // True when the text survives the trip through the ANSI code page unchanged.
    virtual bool FitsCodePage(std::wstring_view text) = 0;

    // The shell's file operation on one path (function and flags below); the shell's result.
    virtual int32_t ShellFileOperation(int32_t function, const std::wstring& from, const std::wstring& to,
                                       int32_t flags) = 0;
    virtual void ProcessPendingMessages() = 0;
    // The file-system path of a shell special folder; empty when the shell gives none.
    virtual std::wstring SpecialFolderPath(int32_t csidl) = 0;

    // The shell's path tests and cuts.
    virtual bool IsNetworkPath(const std::wstring& path) = 0;
    virtual bool IsUNC(const std::wstring& path) = 0;
    // The text left in a copy of the path once it is cut after its root.
    virtual std::wstring StripToRoot(const std::wstring& path) = 0;
    // The text after the path's root; none when the path has no root.
    virtual std::optional<std::wstring> SkipRoot(const std::wstring& path) = 0;
    // The remote name a local drive ("X:") is connected to; none when it is not or cannot say.
    virtual std::optional<std::wstring> RemoteName(const std::wstring& localName) = 0;
};

// The shell's file operation numbers and option flags.
namespace fileop {
inline constexpr int32_t Delete = 3;
inline constexpr int32_t Rename = 4;
inline constexpr int32_t AllowUndo = 0x40;
inline constexpr int32_t Silent = 0x4;
inline constexpr int32_t NoConfirmation = 0x10;
inline constexpr int32_t NoErrorUI = 0x400;
}  // namespace fileop

// The shell's number of the user's local, non-roaming application data folder.
inline constexpr int32_t kCsidlLocalAppData = 0x1C;

namespace basFileSys {

bool FolderExists(const std::wstring& strPath);
bool FileExists(const std::wstring& strPath);
// Writes a file into the folder and removes it again; never touches a file the user has.
bool HasWriteAccess(const std::wstring& strFolder);
void DeleteFile(const std::wstring& strPath);
// Replaces the file with the text and a line break, in the ANSI code page: the old file stays
// until the new one is complete. Nothing is written when the folder does not exist.
void FileOutput(const std::wstring& strPath, const std::wstring& strValue);
// The whole file as text without the line break FileOutput ends it with; empty when it does not
// exist. bolCutEnd changes nothing (every caller passes false).
std::wstring FileInput(const std::wstring& strPath, bool bolCutEnd);
std::wstring GetNetPath(const std::wstring& strPath);
// Creates the folder with every missing parent. A refusal shows the user which folder; false on
// any failure.
bool CreateFolder(const std::wstring& strPath);
// True when the text is stored in a file unchanged.
bool FitsCodePage(std::wstring_view text);

}  // namespace basFileSys

namespace basGlobal {

// The folder part (bolRight false) or the last part (true) of a path.
std::wstring GetPathPart(const std::wstring& strPath, bool bolRight);

}  // namespace basGlobal

class clsFileOps {
public:
    static constexpr wchar_t kTypeName[] = L"clsFileOps";

    // Deletes a file or folder through the shell, optionally into the recycle bin and silently.
    bool Delete(const std::wstring& strPath, bool bolAllowUndo = false, bool bolSilent = false);
    // The shell's result, 0 for success.
    int32_t RenameFolder(const std::wstring& strPath, const std::wstring& strNewName);
    // The user's local application data folder without "\"; empty on failure.
    std::wstring GetPathLocalAppData();

private:
    std::wstring GetSpecialFolderLocation(int32_t CSIDL);
};

// The UNC form of a path on a mapped network drive.
class clsNetPath {
public:
    static constexpr wchar_t kTypeName[] = L"clsNetPath";

    // X:\T\Offer.doc with X: connected to \\srv\share gives \\srv\share\T\Offer.doc; any other
    // path, and any path the conversion fails for, comes back unchanged.
    std::wstring GetNetPath(const std::wstring& strLocalName);
    std::wstring QualifyPath(const std::wstring& strPath);
    bool IstrPathNetPath(const std::wstring& strPath);
    bool IsUNCPathValid(const std::wstring& strPath);
    // The drive part: X:\dir\file.doc gives X:; a root comes back unchanged.
    std::wstring StripPathToRoot(const std::wstring& strPath);
    // The part after the root; empty when the path has none.
    std::wstring StripRootFromPath(const std::wstring& strPath);
    std::wstring TrimNull(const std::wstring& startstr);
};

}  // namespace qlora
