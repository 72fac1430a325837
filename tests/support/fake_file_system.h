// An in-memory file system for the native tier: folders and files by path (compared without case,
// one trailing "\" ignored), contents as the bytes of a Latin-1 code page ("?" for what it cannot
// hold), hidden and system files, failures to throw from chosen operations, and the shell's calls
// recorded.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "templates/file_sys.h"

namespace qlora::testing {

class FakeFileSystem : public FileSystemPort {
public:
    struct Node {
        std::wstring path;  // as created
        bool folder = false;
        std::string bytes;
        bool hidden = false;
        bool system = false;
    };
    struct ShellCall {
        int32_t function;
        std::wstring from, to;
        int32_t flags;
        friend bool operator==(const ShellCall&, const ShellCall&) = default;
    };

    std::map<std::wstring, Node> nodes;            // by Key(path)
    std::map<std::wstring, Error> failing;         // operation name -> what it throws
    std::map<std::wstring, Error> refusedFolders;  // Key(path) -> what MakeFolder throws there
    std::vector<std::wstring> folderAttempts;      // every MakeFolder, as passed
    std::vector<ShellCall> shellCalls;
    int32_t shellResult = 0;
    int pumped = 0;
    std::map<int32_t, std::wstring> specialFolders;
    bool anyCodePage = false;  // stands for whichever code page holds the text (1250, 1251, ...)
    std::map<std::wstring, std::wstring> connections;  // folded drive ("x:") -> remote name

    FakeFileSystem() { AddFolder(L"C:"); }

    static std::wstring Key(std::wstring_view path) {
        if (path.ends_with(L"\\")) path.remove_suffix(1);
        return text::Fold(path);
    }
    static std::string Latin1(std::wstring_view text) {
        std::string bytes;
        for (const wchar_t c : text) bytes += c <= 0xFF ? static_cast<char>(c) : '?';
        return bytes;
    }

    // A folder with every missing parent.
    void AddFolder(const std::wstring& path) {
        const auto slash = Key(path).rfind(L'\\');
        if (slash != std::wstring::npos && slash > 1) AddFolder(path.substr(0, slash));
        nodes[Key(path)] = {path, true};
    }
    void AddFile(const std::wstring& path, std::string bytes, bool hidden = false, bool system = false) {
        nodes[Key(path)] = {path, false, std::move(bytes), hidden, system};
    }
    const Node* Find(std::wstring_view path) const {
        const auto it = nodes.find(Key(path));
        return it == nodes.end() ? nullptr : &it->second;
    }
    std::optional<std::string> Bytes(std::wstring_view path) const {
        const auto* node = Find(path);
        return node && !node->folder ? std::optional(node->bytes) : std::nullopt;
    }
    // The paths of everything directly inside a folder, as created.
    std::vector<std::wstring> Children(std::wstring_view folder) const {
        const std::wstring prefix = Key(folder) + L"\\";
        std::vector<std::wstring> found;
        for (const auto& [key, node] : nodes)
            if (key.starts_with(prefix) && key.find(L'\\', prefix.size()) == std::wstring::npos)
                found.push_back(node.path);
        return found;
    }

    Entry Kind(const std::wstring& path) override {
        Fail(L"Kind");
        const auto* node = Find(path);
        return !node ? Entry::Missing : node->folder ? Entry::Folder : Entry::File;
    }
    bool ListsAsNormalFile(const std::wstring& path) override {
        Fail(L"ListsAsNormalFile");
        const auto* node = path.ends_with(L"\\") ? nullptr : Find(path);
        return node && !node->folder && !node->hidden && !node->system;
    }
    std::wstring ReadText(const std::wstring& path) override {
        Fail(L"ReadText");
        const auto bytes = Bytes(path);
        if (!bytes) throw Error(53, L"CreateFile", L"File not found");
        std::wstring text;
        for (const char c : *bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        return text;
    }
    bool TryCreateFile(const std::wstring& path, std::wstring_view text) override {
        if (Find(path)) return false;
        RequireParent(path, L"CreateFile");
        Fail(L"TryCreateFile");
        AddFile(path, Latin1(text));
        return true;
    }
    void MoveReplacing(const std::wstring& source, const std::wstring& target) override {
        Fail(L"MoveReplacing");
        const auto bytes = Bytes(source);
        if (!bytes) throw Error(53, L"MoveFileEx", L"File not found");
        if (const auto* existing = Find(target); existing && existing->folder)
            throw Error(errnum::PathFileAccess, L"MoveFileEx", L"Path/File access error");
        nodes.erase(Key(source));
        AddFile(target, *bytes);
    }
    void RemoveFile(const std::wstring& path) override {
        Fail(L"RemoveFile");
        if (!Bytes(path)) throw Error(53, L"DeleteFile", L"File not found");
        nodes.erase(Key(path));
    }
    void MakeFolder(const std::wstring& path) override {
        folderAttempts.push_back(path);
        if (const auto it = refusedFolders.find(Key(path)); it != refusedFolders.end()) throw it->second;
        RequireParent(path, L"CreateDirectory");
        if (Find(path)) throw Error(errnum::PathFileAccess, L"CreateDirectory", L"Path/File access error");
        nodes[Key(path)] = {path, true};
    }
    bool FitsCodePage(std::wstring_view text) override {
        Fail(L"FitsCodePage");
        for (const wchar_t c : text)
            if (c > 0xFF && !anyCodePage) return false;
        return true;
    }

    int32_t ShellFileOperation(int32_t function, const std::wstring& from, const std::wstring& to,
                               int32_t flags) override {
        Fail(L"ShellFileOperation");
        shellCalls.push_back({function, from, to, flags});
        return shellResult;
    }
    void ProcessPendingMessages() override { ++pumped; }
    std::wstring SpecialFolderPath(int32_t csidl) override {
        Fail(L"SpecialFolderPath");
        const auto it = specialFolders.find(csidl);
        return it == specialFolders.end() ? std::wstring() : it->second;
    }

    // The shell's path rules for drive paths (X:\...) and UNC paths (\\server\share\...).
    bool IsNetworkPath(const std::wstring& path) override {
        return path.starts_with(L"\\\\") || connections.count(Key(path.substr(0, 2))) != 0;
    }
    bool IsUNC(const std::wstring& path) override { return path.starts_with(L"\\\\"); }
    std::wstring StripToRoot(const std::wstring& path) override {
        const size_t end = RootLength(path);
        return end == std::wstring::npos ? std::wstring() : path.substr(0, end);
    }
    std::optional<std::wstring> SkipRoot(const std::wstring& path) override {
        const size_t end = RootLength(path);
        if (end == std::wstring::npos) return std::nullopt;
        return path.substr(std::min(path.size(), end + (path.starts_with(L"\\\\") ? 1 : 0)));
    }
    std::optional<std::wstring> RemoteName(const std::wstring& localName) override {
        Fail(L"RemoteName");
        const auto it = connections.find(Key(localName));
        return it == connections.end() ? std::nullopt : std::optional(it->second);
    }

private:
    void Fail(const wchar_t* operation) {
        if (const auto it = failing.find(operation); it != failing.end()) throw it->second;
    }
    void RequireParent(const std::wstring& path, const wchar_t* operation) {
        const std::wstring key = Key(path);
        const auto slash = key.rfind(L'\\');
        const auto* parent = slash == std::wstring::npos ? nullptr : Find(key.substr(0, slash));
        if (!parent || !parent->folder) throw Error(errnum::PathNotFound, operation, L"Path not found");
    }
    // "X:\" for a drive path, "\\server\share" for a UNC path; npos without a root.
    static size_t RootLength(const std::wstring& path) {
        if (path.size() >= 2 && path[1] == L':') return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
        if (!path.starts_with(L"\\\\")) return std::wstring::npos;
        const size_t share = path.find(L'\\', 2);
        if (share == std::wstring::npos) return path.size();
        return std::min(path.size(), path.find(L'\\', share + 1));
    }
};

}  // namespace qlora::testing
