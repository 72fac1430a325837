#include "templates/file_sys_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winnetwk.h>

#include <algorithm>
#include <climits>

#include "base/error.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

// File errors as the runtime numbers them: callers tell a refusal (75) from a missing path (76)
// and show the runtime's words. Codes without a row keep the system's number and text.
struct FileErrorRow {
    DWORD code;
    int32_t number;
    const wchar_t* description;
};
constexpr wchar_t kAccessError[] = L"Path/File access error";
constexpr wchar_t kPathNotFound[] = L"Path not found";
constexpr wchar_t kPermissionDenied[] = L"Permission denied";
constexpr wchar_t kBadFileName[] = L"Bad file name or number";
constexpr wchar_t kDiskFull[] = L"Disk full";
constexpr FileErrorRow kFileErrors[] = {
    {ERROR_FILE_NOT_FOUND, 53, L"File not found"},
    {ERROR_PATH_NOT_FOUND, errnum::PathNotFound, kPathNotFound},
    {ERROR_INVALID_DRIVE, errnum::PathNotFound, kPathNotFound},
    {ERROR_BAD_NETPATH, errnum::PathNotFound, kPathNotFound},
    {ERROR_BAD_NET_NAME, errnum::PathNotFound, kPathNotFound},
    {ERROR_ACCESS_DENIED, errnum::PathFileAccess, kAccessError},
    {ERROR_ALREADY_EXISTS, errnum::PathFileAccess, kAccessError},  // a folder where a file is
    {ERROR_FILE_EXISTS, 58, L"File already exists"},
    {ERROR_SHARING_VIOLATION, 70, kPermissionDenied},
    {ERROR_LOCK_VIOLATION, 70, kPermissionDenied},
    {ERROR_WRITE_PROTECT, 70, kPermissionDenied},
    {ERROR_NOT_READY, 71, L"Disk not ready"},
    {ERROR_DISK_FULL, 61, kDiskFull},
    {ERROR_HANDLE_DISK_FULL, 61, kDiskFull},
    {ERROR_INVALID_NAME, 52, kBadFileName},
    {ERROR_BAD_PATHNAME, 52, kBadFileName},
    {ERROR_FILENAME_EXCED_RANGE, 52, kBadFileName},
};

[[noreturn]] void ThrowFileError(DWORD code, std::wstring_view operation) {
    for (const auto& row : kFileErrors)
        if (row.code == code)
            throw Error(row.number, std::wstring(operation), row.description, static_cast<int32_t>(code));
    win::ThrowWin32(code, operation);
}

[[noreturn]] void ThrowLastFileError(std::wstring_view operation) { ThrowFileError(::GetLastError(), operation); }

// The NUL-terminated ANSI text in a buffer of a fixed size, also when the NUL is missing.
std::wstring GetStrFromPtrA(const char* lpszA, size_t capacity) {
    return win::FromAnsi(std::string_view(lpszA, static_cast<size_t>(std::find(lpszA, lpszA + capacity, '\0') - lpszA)));
}

// shlwapi's path calls work within MAX_PATH characters: a longer path, or one the code page
// would change, is not handed to them.
std::optional<std::string> ShlwapiPath(const std::wstring& path) {
    if (!win::IsAnsiArgument(path)) return std::nullopt;
    std::string ansi = win::ToAnsi(path);
    if (ansi.size() >= MAX_PATH) return std::nullopt;
    return ansi;
}

// One path as the shell's file operation takes a list: the path, a NUL, and the list's closing
// NUL (which c_str() supplies). A changed path could name other files: it fails instead.
std::string ShellList(const std::wstring& path) {
    if (path.empty()) throw Error(errnum::InvalidCall, L"SHFileOperation", L"Invalid procedure call or argument");
    std::string list = win::AnsiArgument(path, L"SHFileOperation");
    list.push_back('\0');
    return list;
}

// A file just created: removed again unless it is kept.
class NewFile {
public:
    explicit NewFile(const std::wstring& path) noexcept : path_(path) {}
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    ~NewFile() {
        if (!kept_) ::DeleteFileW(path_.c_str());
    }
    void Keep() noexcept { kept_ = true; }

private:
    const std::wstring& path_;
    bool kept_ = false;
};

}  // namespace

FileSystemPort::Entry WinFileSystem::Kind(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? Entry::Folder : Entry::File;
}

bool WinFileSystem::ListsAsNormalFile(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const win::UniqueFind listing(::FindFirstFileW(path.c_str(), &found));
    return listing &&
           (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

std::wstring WinFileSystem::ReadText(const std::wstring& path) {
    // A reader never stands in another program's way: the companion product may write or replace
    // its list while the add-in reads it.
    const win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastFileError(L"CreateFile");
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) ThrowLastFileError(L"GetFileSizeEx");
    if (size.QuadPart > INT_MAX) throw Error(errnum::OutOfMemory, L"ReadFile", L"Out of memory");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t total = 0;
    while (total < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &read, nullptr))
            ThrowLastFileError(L"ReadFile");
        if (read == 0) break;  // the file got shorter meanwhile
        total += read;
    }
    bytes.resize(total);
    return win::FromAnsi(bytes);
}

bool WinFileSystem::TryCreateFile(const std::wstring& path, std::wstring_view text) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;  // a file or folder has it
    const HANDLE created =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return false;  // taken meanwhile
        ThrowFileError(code, L"CreateFile");
    }
    NewFile made(path);               // declared before the handle, so the handle closes first
    win::UniqueFile file(created);
    const std::string bytes = win::ToAnsi(text);
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) ThrowLastFileError(L"WriteFile");
        if (written == 0) ThrowFileError(ERROR_DISK_FULL, L"WriteFile");
        done += written;
    }
    if (!::FlushFileBuffers(file.get())) ThrowLastFileError(L"FlushFileBuffers");
    if (!::CloseHandle(file.release())) ThrowLastFileError(L"CloseHandle");
    made.Keep();
    return true;
}

void WinFileSystem::MoveReplacing(const std::wstring& source, const std::wstring& target) {
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastFileError(L"MoveFileEx");
}

void WinFileSystem::RemoveFile(const std::wstring& path) {
    if (!::DeleteFileW(path.c_str())) ThrowLastFileError(L"DeleteFile");
}

void WinFileSystem::MakeFolder(const std::wstring& path) {
    if (!::CreateDirectoryW(path.c_str(), nullptr)) ThrowLastFileError(L"CreateDirectory");
}

bool WinFileSystem::FitsCodePage(std::wstring_view text) { return win::FitsAnsi(text); }

int32_t WinFileSystem::ShellFileOperation(int32_t function, const std::wstring& from, const std::wstring& to,
                                          int32_t flags) {
    const std::string source = ShellList(from);
    const std::string target = to.empty() ? std::string() : ShellList(to);
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = nullptr;
    operation.wFunc = static_cast<UINT>(function);
    operation.pFrom = source.c_str();
    operation.pTo = to.empty() ? nullptr : target.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>(flags);
    return ::SHFileOperationA(&operation);
}

void WinFileSystem::ProcessPendingMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {  // not ours to take: it stays for the host's loop
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::wstring WinFileSystem::SpecialFolderPath(int32_t csidl) {
    // The path straight from the shell's folder table: an item-ID list (SHGetSpecialFolderLocation)
    // is made through the desktop's shell folder, which cost Word's start about 2.5 ms, two thirds
    // of the add-in's connection.
    char buffer[MAX_PATH] = {};
    if (::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK) return {};
    return GetStrFromPtrA(buffer, MAX_PATH);
}

bool WinFileSystem::IsNetworkPath(const std::wstring& path) {
    const auto ansi = ShlwapiPath(path);
    return ansi && ::PathIsNetworkPathA(ansi->c_str()) == TRUE;
}

bool WinFileSystem::IsUNC(const std::wstring& path) {
    const auto ansi = ShlwapiPath(path);
    return ansi && ::PathIsUNCA(ansi->c_str()) == TRUE;
}

std::wstring WinFileSystem::StripToRoot(const std::wstring& path) {
    auto ansi = ShlwapiPath(path);
    if (!ansi) return path;  // not handed over: nothing is cut
    ::PathStripToRootA(ansi->data());
    return GetStrFromPtrA(ansi->c_str(), ansi->size());
}

std::optional<std::wstring> WinFileSystem::SkipRoot(const std::wstring& path) {
    const auto ansi = ShlwapiPath(path);
    if (!ansi) return std::nullopt;
    const char* rest = ::PathSkipRootA(ansi->c_str());
    if (!rest) return std::nullopt;
    return win::FromAnsi(rest);
}

std::optional<std::wstring> WinFileSystem::RemoteName(const std::wstring& localName) {
    if (!win::IsAnsiArgument(localName)) return std::nullopt;
    char buffer[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (::WNetGetConnectionA(win::ToAnsi(localName).c_str(), buffer, &length) != NO_ERROR) return std::nullopt;
    return GetStrFromPtrA(buffer, MAX_PATH);
}

FileSystemPort& WindowsFileSystem() {
    static WinFileSystem fileSystem;
    return fileSystem;
}

}  // namespace qlora
