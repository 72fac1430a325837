// wordsim: Word for an add-in and a script. It starts as Word starts (the add-ins registered under
// the Office add-in key are connected), runs the script's user actions (tools/wordsim/README.md)
// on Word's message loop and quits as Word quits.
//
//   wordsim [/a] [/blank[:quiet]] [script]
//                             /a: start without add-ins, as "winword /a"; /blank: start with a
//                             blank document as Word does, raising DocumentChange for it (with
//                             :quiet without); no script or "-": stdin
//   wordsim /measure <runs> [/baseline <ProgID>] [script]
//                             runs the script that often, each time in a fresh Word, and prints
//                             what each add-in's load and each step cost, and with a baseline each
//                             load as a multiple of that add-in's (tools/wordsim/README.md)
//
// Exit code: 0 when every step succeeded, 1 when an expectation failed, 2 for an error in the
// script or in how wordsim was started.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "measure_win.h"
#include "session.h"
#include "session_host_win.h"
#include "settings/program_settings.h"
#include "win/win32_win.h"

namespace {

constexpr int kStartFailed = wordsim::Session::kScriptError;
constexpr wchar_t kUsage[] =
    L"usage: wordsim [/a] [/blank[:quiet]] [script]   (/a: no add-ins; /blank: a start-up document;\n"
    L"       no script or \"-\": standard input)\n"
    L"       wordsim /measure <runs> [/baseline <ProgID>] [script]";

// One line of output: wide to a console, UTF-8 to a file or pipe.
void PrintLine(std::wstring_view line) {
    static const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const std::wstring text = std::wstring(line) + L"\n";
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(out, &mode)) {
        ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        const std::string bytes = qlora::text::ToUtf8(text);
        ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

// Word's user-interface thread: a single-threaded apartment with OLE, as dialogs and drag and
// drop in add-ins expect.
class OleThread {
public:
    OleThread() : result_(::OleInitialize(nullptr)) {}
    ~OleThread() {
        if (SUCCEEDED(result_)) ::OleUninitialize();
    }
    OleThread(const OleThread&) = delete;
    OleThread& operator=(const OleThread&) = delete;
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// What Word has loaded by the time it connects its add-ins, beyond what wordsim itself imports:
// Common Controls (version 6, through the program's manifest), the common dialogs and the printing
// they bring. An add-in that needs them finds them there and is not charged for their loading.
class LoadedAsInWord {
public:
    LoadedAsInWord() {
        for (const wchar_t* name : {L"comctl32.dll", L"comdlg32.dll", L"version.dll"})
            modules_.emplace_back(::LoadLibraryW(name));
    }

private:
    std::vector<qlora::win::UniqueModule> modules_;
};

std::string ReadScript(const std::wstring& path) {
    if (path.empty() || path == L"-") return wordsim::ReadAll(::GetStdHandle(STD_INPUT_HANDLE));
    const qlora::win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) qlora::win::ThrowLastError(L"CreateFile");
    return wordsim::ReadAll(file.get());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool loadAddIns = true;
    auto startupDocument = wordsim::StartupDocument::None;
    int32_t runs = 0;  // measuring when above 0
    std::wstring baseline;  // the add-in the measured loads are compared with
    std::vector<std::wstring> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        if (arg == L"/a" || arg == L"-a") {
            loadAddIns = false;
        } else if (arg == L"/blank" || arg == L"-blank") {
            startupDocument = wordsim::StartupDocument::Announced;
        } else if (arg == L"/blank:quiet" || arg == L"-blank:quiet") {
            startupDocument = wordsim::StartupDocument::Quiet;
        } else if ((arg == L"/baseline" || arg == L"-baseline") && i + 1 < argc) {
            baseline = argv[++i];
        } else if (arg == L"/measure" || arg == L"-measure") {
            const int count = i + 1 < argc ? qlora::ParseWholeNumber(argv[++i]).value_or(0) : 0;
            if (count < 1) {
                PrintLine(kUsage);
                return kStartFailed;
            }
            runs = count;
        } else {
            scripts.emplace_back(arg);
        }
    }
    if (scripts.size() > 1 || (runs > 0 && !loadAddIns) || (runs == 0 && !baseline.empty())) {
        PrintLine(kUsage);
        return kStartFailed;
    }
    const std::wstring path = scripts.empty() ? L"" : scripts.front();
    std::string bytes;
    try {
        bytes = ReadScript(path);
    } catch (const qlora::Error& e) {
        PrintLine(L"wordsim: cannot read the script " + path + L": " + e.Description());
        return kStartFailed;
    }

    const LoadedAsInWord systemDlls;
    const OleThread thread;
    if (FAILED(thread.Result())) {
        PrintLine(L"wordsim: OleInitialize failed: " + qlora::win::SystemMessage(static_cast<DWORD>(thread.Result())));
        return kStartFailed;
    }
    if (runs > 0) return wordsim::Measure(runs, wordsim::Utf8Text(bytes), PrintLine, baseline);
    const auto word = std::make_shared<wordsim::Word>();
    wordsim::WinSessionHost host(word, PrintLine, loadAddIns, startupDocument);
    return wordsim::Session(*word, host, PrintLine).Run(wordsim::Utf8Text(bytes));
}
