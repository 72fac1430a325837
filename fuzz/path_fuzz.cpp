// Path splitting and folder creation: GetPathPart cuts a path into its folder and last part and
// gives nothing that is not in it; CreateFolder, on a file system where any folder of the path may
// be there already or refused, asks only about folders of the given path, ends, reports no
// failure to the user except a refusal, and answers true only with the folder there.
#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "fuzz_support.h"
#include "support/fake_file_system.h"
#include "templates/file_sys.h"

namespace qlora::fuzzing {
namespace {

// Records every folder CreateFolder looks at as well as those it makes.
class WatchedFileSystem : public testing::FakeFileSystem {
public:
    std::vector<std::wstring> looked;
    Entry Kind(const std::wstring& path) override {
        looked.push_back(path);
        return FakeFileSystem::Kind(path);
    }
};

// A path as the file system reads it: runs of "\" are one, except the two of a UNC path's start,
// and a trailing one is not part of it.
std::wstring Normal(std::wstring_view path) {
    std::wstring normal;
    if (path.starts_with(L"\\\\")) {
        normal = L"\\\\";
        path.remove_prefix(2);
    }
    for (const wchar_t c : path)
        if (c != L'\\' || normal.empty() || normal.back() != L'\\' || normal == L"\\\\") normal += c;
    while (!normal.empty() && normal.back() == L'\\' && normal != L"\\\\") normal.pop_back();
    return normal;
}

// True when `folder` is the path itself or one of the folders it lies in.
bool IsFolderOf(const std::wstring& folder, const std::wstring& path) {
    const std::wstring f = Normal(folder), p = Normal(path);
    return !f.empty() && (p == f || p.starts_with(f + L"\\"));
}

void CheckGetPathPart(const std::wstring& path) {
    const std::wstring_view trimmed =
        path.ends_with(L"\\") ? std::wstring_view(path).substr(0, path.size() - 1) : std::wstring_view(path);
    const std::wstring last = basGlobal::GetPathPart(path, true);
    const std::wstring folder = basGlobal::GetPathPart(path, false);
    Require(trimmed.ends_with(last) && last.find(L'\\') == std::wstring::npos, "the last part ends the path", path);
    Require(trimmed.starts_with(folder), "the folder part begins the path", path);
    Require(folder == trimmed || folder + L"\\" + last == trimmed, "folder and last part make up the path", path);
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    WatchedFileSystem fs;
    ScopedPort<FileSystemPort> fsSlot{fs};

    const std::wstring path = ConsumeText(input, 300);
    CheckGetPathPart(path);

    // Some folders on the way are there, one may be refused with any error.
    std::wstring prefix;
    for (const auto& part : text::Split(path, L"\\")) {
        prefix += part;
        if (input.ConsumeBool() && !prefix.empty()) fs.AddFolder(prefix);
        if (input.ConsumeIntegralInRange(0, 7) == 0)
            fs.refusedFolders.emplace(testing::FakeFileSystem::Key(prefix + L"\\"),
                                      Error(input.PickValueInArray({errnum::PathFileAccess, errnum::PathNotFound, 71, 0}),
                                            L"CreateDirectory", L"refused"));
        prefix += L"\\";
    }
    fs.looked.clear();
    fs.folderAttempts.clear();

    const bool created = basFileSys::CreateFolder(path);
    for (const auto* asked : {&fs.looked, &fs.folderAttempts})
        for (const auto& folder : *asked)
            Require(IsFolderOf(folder, path), "CreateFolder asks only about folders of its path", folder + L" for " + path);
    RequireNoReport(ports, "CreateFolder shows no report");
    for (const auto& shown : ports.prompt.shown) Require(!shown.text.empty(), "a refusal names the folder");
    // A bare "\\server" is no folder that could be made; anything else is there when it answers true.
    const std::wstring target = Normal(path);
    const bool makeable = !target.empty() && !(target.starts_with(L"\\\\") && target.find(L'\\', 2) == std::wstring::npos);
    if (created && makeable)
        Require(fs.Kind(target) == FileSystemPort::Entry::Folder, "the folder is there when CreateFolder answers true", path);
}

}  // namespace qlora::fuzzing
