// A folder of its own for one test, removed with everything in it at the end; files in it read
// and written as raw bytes.
#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace qlora::testing {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto base = std::filesystem::temp_directory_path();
        do {
            root_ = base / (L"qlora-test-" + std::to_wstring(counter++));
        } while (!std::filesystem::create_directory(root_));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder (without "\") or a name inside it.
    std::wstring Path(std::wstring_view name = {}) const {
        return name.empty() ? root_.wstring() : (root_ / name).wstring();
    }
    void Write(std::wstring_view name, std::string_view bytes) const {
        std::ofstream(root_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(std::wstring_view name) const {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The names of everything in the folder.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(root_))
            names.push_back(entry.path().filename().wstring());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path root_;
};

}  // namespace qlora::testing
