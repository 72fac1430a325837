#include "templates/file_sys.h"

#include "base/error.h"
#include "base/port.h"
#include "base/prompt.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

constexpr wchar_t kBreak[] = L"\r\n";

FileSystemPort& Fs() {
    if (auto* fs = Installed<FileSystemPort>::Get()) return *fs;
    throw Error(errnum::ObjectRequired, kProjectName, L"The file system is not available");
}

// A test of the file system: any failure answers no.
template <class Test>
bool OrFalse(Test&& test) noexcept {
    try {
        return test();
    } catch (...) {
        return false;
    }
}

std::wstring_view WithoutTrailingBackslash(std::wstring_view path) {
    if (path.ends_with(L"\\")) path.remove_suffix(1);
    return path;
}

// The names CreateUnderFreeName tries, in order: stem + extension, then stem + 1 + extension and
// so on.
constexpr int kFreeNameAttempts = 100;
std::wstring FreeNameCandidate(const std::wstring& stem, std::wstring_view extension, int n) {
    return stem + (n == 0 ? std::wstring() : text::Decimal(n)) + std::wstring(extension);
}

// Creates a file holding the text under the first of those names nobody has. Returns its path.
std::wstring CreateUnderFreeName(const std::wstring& stem, std::wstring_view extension, std::wstring_view content) {
    for (int n = 0; n < kFreeNameAttempts; ++n) {
        const std::wstring path = FreeNameCandidate(stem, extension, n);
        if (Fs().TryCreateFile(path, content)) return path;
    }
    throw Error(errnum::PathFileAccess, kProjectName, L"Path/File access error");
}

// CreateFolder's end of a failure (called inside its catch block): a refusal names the folder to
// the user, a missing path is silent, anything else goes to the trail without a report.
void ReportFolderFailure(const std::wstring& strPath, const std::wstring& current) noexcept {
    try {
        const int32_t number = HuntERR31::CurrentError().number;
        if (number == errnum::PathFileAccess)
            ShowMessage(LNG_Main(19) + kBreak + current + kBreak + LNG_Main(20), {}, MsgButtons::Ok, MsgIcon::Critical);
        else if (number != errnum::PathNotFound)
            HuntERR31::ErrorIn(L"clsFileOps.CreateFolder(strPath)", ArgsOf(strPath), HuntERR31::efHandle);
    } catch (...) {  // CreateFolder answers false, whatever happens here
    }
}

}  // namespace

namespace basFileSys {

bool FolderExists(const std::wstring& strPath) {
    return OrFalse([&] { return Fs().Kind(strPath) == FileSystemPort::Entry::Folder; });
}

bool FileExists(const std::wstring& strPath) {
    // A wildcard would list some other file's name: such a name is no file of its own.
    if (strPath.empty() || strPath.find_first_of(L"*?") != std::wstring::npos) return false;
    return OrFalse([&] { return Fs().ListsAsNormalFile(strPath); });
}

bool HasWriteAccess(const std::wstring& strFolder) {
    return OrFalse([&] {
        if (!FolderExists(strFolder)) return false;
        const std::wstring folder = strFolder.ends_with(L"\\") ? strFolder : strFolder + L"\\";
        Fs().RemoveFile(CreateUnderFreeName(folder + L"Temp", L".txt", L"Test"));
        return true;
    });
}

void DeleteFile(const std::wstring& strPath) {
    try {
        Fs().RemoveFile(strPath);
    } catch (...) {  // deleting is best effort: a file that stays is no failure of the caller's
    }
}

void FileOutput(const std::wstring& strPath, const std::wstring& strValue) {
    PassOn(
        L"basFileSys.FileOutput(strPath,strValue)",
        [&] {
            if (!FolderExists(basGlobal::GetPathPart(strPath, false))) return;
            // The new file is written beside the old one and takes its place only when complete:
            // a crash, a full disk or a refusal leaves the old file as it was. What an earlier
            // crash left there goes first, or the free names would run out; a file another writer
            // still holds open stays.
            const std::wstring stem = strPath + L"~";
            for (int n = 0; n < kFreeNameAttempts; ++n)
                if (const auto stale = FreeNameCandidate(stem, L".tmp", n); FileExists(stale)) DeleteFile(stale);
            const std::wstring written = CreateUnderFreeName(stem, L".tmp", strValue + kBreak);
            try {
                Fs().MoveReplacing(written, strPath);
            } catch (...) {
                DeleteFile(written);
                throw;
            }
        },
        strPath, strValue);
}

std::wstring FileInput(const std::wstring& strPath, bool bolCutEnd) {
    return PassOn(
        L"basFileSys.FileInput(strPath,bolCutEnd)",
        [&] {
            if (!FileExists(strPath)) return std::wstring();
            std::wstring content = Fs().ReadText(strPath);
            // Only the line break FileOutput ends a file with goes; a file another program wrote
            // without one keeps its last characters.
            if (content.ends_with(kBreak)) content.resize(content.size() - 2);
            return content;
        },
        strPath, bolCutEnd);
}

std::wstring GetNetPath(const std::wstring& strPath) {
    return PassOn(L"basFileSys.GetNetPath(strPath)", [&] { return clsNetPath().GetNetPath(strPath); }, strPath);
}

bool CreateFolder(const std::wstring& strPath) {
    std::wstring current;  // the folder being created at the moment of a failure
    try {
        const std::wstring_view path = WithoutTrailingBackslash(strPath);
        size_t start = 0;
        if (path.starts_with(L"\\\\")) {
            // A UNC path begins with its \\server\ part, which cannot be created.
            const size_t slash = path.find(L'\\', 2);
            current = slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash + 1));
            start = 3;
        } else if (path.starts_with(L"\\")) {
            // A path from the drive's root keeps its root: without it, the folders would be made
            // in the current folder instead.
            current = L"\\";
        }
        const auto parts = text::Split(path, L"\\");
        for (size_t i = start; i < parts.size(); ++i) {
            if (parts[i].empty()) continue;
            current += parts[i] + L"\\";
            if (!FolderExists(current)) Fs().MakeFolder(current);
        }
        return true;
    } catch (...) {
        ReportFolderFailure(strPath, current);
        return false;
    }
}

bool FitsCodePage(std::wstring_view text) { return Fs().FitsCodePage(text); }

}  // namespace basFileSys

namespace basGlobal {

std::wstring GetPathPart(const std::wstring& strPath, bool bolRight) {
    return PassOn(
        L"basGlobal.GetPathPart(strPath,bolRight)",
        [&] {
            const std::wstring_view path = WithoutTrailingBackslash(strPath);
            const size_t slash = path.rfind(L'\\');
            if (bolRight) return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
            // A backslash in front ("\Offer.doc") leaves no folder part to return.
            return std::wstring(slash != std::wstring_view::npos && slash > 0 ? path.substr(0, slash) : path);
        },
        strPath, bolRight);
}

}  // namespace basGlobal

bool clsFileOps::Delete(const std::wstring& strPath, bool bolAllowUndo, bool bolSilent) {
    return ReportFailures(
        L"clsFileOps.Delete(strPath,bolAllowUndo,bolSilent)",
        [&] {
            auto& fs = Fs();
            fs.ProcessPendingMessages();
            const int32_t flags = (bolAllowUndo ? fileop::AllowUndo : 0) |
                                  (bolSilent ? fileop::Silent | fileop::NoConfirmation | fileop::NoErrorUI : 0);
            return fs.ShellFileOperation(fileop::Delete, std::wstring(WithoutTrailingBackslash(strPath)), {}, flags) ==
                   0;
        },
        strPath, bolAllowUndo, bolSilent);
}

int32_t clsFileOps::RenameFolder(const std::wstring& strPath, const std::wstring& strNewName) {
    return ReportFailures(
        L"clsFileOps.RenameFolder(strPath,strNewName)",
        [&] { return Fs().ShellFileOperation(fileop::Rename, strPath, strNewName, 0); }, strPath, strNewName);
}

std::wstring clsFileOps::GetPathLocalAppData() {
    return ReportFailures(L"clsFileOps.GetPathLocalAppData", [&] { return GetSpecialFolderLocation(kCsidlLocalAppData); });
}

std::wstring clsFileOps::GetSpecialFolderLocation(int32_t CSIDL) {
    return PassOn(
        L"clsFileOps.GetSpecialFolderLocation(CSIDL)", [&] { return Fs().SpecialFolderPath(CSIDL); }, CSIDL);
}

std::wstring clsNetPath::GetNetPath(const std::wstring& strLocalName) {
    return PassOn(
        L"clsNetPath.GetNetPath(strLocalName)",
        [&] {
            std::wstring result = strLocalName;
            const std::wstring root = StripPathToRoot(strLocalName);
            const std::wstring rest = StripRootFromPath(strLocalName);
            if (IstrPathNetPath(root)) {
                if (const auto remote = Fs().RemoteName(root)) {
                    std::wstring candidate = QualifyPath(TrimNull(*remote)) + rest;
                    if (IsUNCPathValid(candidate)) result = std::move(candidate);
                }
            }
            return result;
        },
        strLocalName);
}

std::wstring clsNetPath::QualifyPath(const std::wstring& strPath) {
    return PassOn(
        L"clsNetPath.QualifyPath(strPath)",
        [&] { return strPath.ends_with(L"\\") ? strPath : strPath + L"\\"; }, strPath);
}

bool clsNetPath::IstrPathNetPath(const std::wstring& strPath) {
    return PassOn(L"clsNetPath.IstrPathNetPath(strPath)", [&] { return Fs().IsNetworkPath(strPath); }, strPath);
}

bool clsNetPath::IsUNCPathValid(const std::wstring& strPath) {
    return PassOn(L"clsNetPath.IsUNCPathValid(strPath)", [&] { return Fs().IsUNC(strPath); }, strPath);
}

std::wstring clsNetPath::StripPathToRoot(const std::wstring& strPath) {
    return PassOn(
        L"clsNetPath.StripPathToRoot(strPath)",
        [&] {
            std::wstring left = Fs().StripToRoot(strPath);
            if (left.size() >= strPath.size()) return strPath;  // a root already: nothing was cut
            // What is left ends with the root's separator ("X:\"): the drive goes without it.
            if (!left.empty()) left.pop_back();
            return left;
        },
        strPath);
}

std::wstring clsNetPath::StripRootFromPath(const std::wstring& strPath) {
    return PassOn(
        L"clsNetPath.StripRootFromPath(strPath)",
        [&] { return Fs().SkipRoot(strPath).value_or(std::wstring()); }, strPath);
}

std::wstring clsNetPath::TrimNull(const std::wstring& startstr) {
    return PassOn(
        L"clsNetPath.TrimNull(startstr)", [&] { return startstr.substr(0, startstr.find(L'\0')); }, startstr);
}

}  // namespace qlora
