// The add-in's data folder in memory: basGlobal::gDataPath points into a fake file system that is
// the file-system port while this lives; both are put back afterwards. The trail's ports are the
// caller's to install.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/port.h"
#include "session/global.h"
#include "support/fake_file_system.h"
#include "templates/template_list.h"

namespace qlora::testing {

class DataFolder {
public:
    static inline const std::wstring kPath = L"C:\\Users\\u\\AppData\\Local\\Tandrel\\Quillora\\";

    DataFolder() {
        basGlobal::gDataPath = kPath;
        fs.AddFolder(kPath);
    }
    ~DataFolder() { basGlobal::gDataPath = savedDataPath_; }

    FakeFileSystem fs;

private:
    const std::wstring savedDataPath_ = basGlobal::gDataPath;
    ScopedPort<FileSystemPort> fsSlot_{fs};
};

// A template list's entries, first to last.
inline std::vector<std::wstring> Entries(const clsTemplateList& list) {
    std::vector<std::wstring> entries;
    for (int32_t i = 1; i <= list.CountTemplates(); ++i) entries.push_back(list.GetEntry(i));
    return entries;
}

}  // namespace qlora::testing
