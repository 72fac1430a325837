#include "session_host_win.h"

#include <algorithm>

#include "rtf_writer.h"
#include "templates/file_sys_win.h"
#include "win/win32_win.h"

namespace wordsim {
namespace {

// The complete file goes in under a name of its own, then takes the place of the old one.
void WriteReplacing(const std::wstring& path, const std::string& ascii) {
    auto& files = qlora::WindowsFileSystem();
    const std::wstring partial = path + L".wordsim~";
    const auto removePartial = [&] {
        if (files.Kind(partial) == qlora::FileSystemPort::Entry::File) files.RemoveFile(partial);
    };
    try {
        removePartial();
        if (!files.TryCreateFile(partial, std::wstring(ascii.begin(), ascii.end())))
            qlora::win::ThrowWin32(ERROR_ALREADY_EXISTS, L"CreateFile");
        files.MoveReplacing(partial, path);
    } catch (const qlora::Error& e) {
        try {
            removePartial();
        } catch (const qlora::Error&) {  // what cannot be tidied stays; the save fails all the same
        }
        throw qlora::Error(4198, L"Microsoft Word",
                           L"Command failed: wordsim cannot write " + path + L": " + e.Description(),
                           e.Info().systemError);
    }
}

// Word's main window, as add-ins find it: a top-level window of the class "OpusApp".
HWND MakeMainWindow() {
    static const ATOM registered = [] {
        WNDCLASSEXW type{sizeof(type)};
        type.lpfnWndProc = &::DefWindowProcW;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"OpusApp";
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        return ::RegisterClassExW(&type);
    }();
    if (!registered) qlora::win::ThrowLastError(L"RegisterClassEx OpusApp");
    const HWND window = ::CreateWindowExW(0, L"OpusApp", L"Word", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!window) qlora::win::ThrowLastError(L"CreateWindowEx OpusApp");
    return window;
}

}  // namespace

void SaveDocumentsAsRtf(Word& word) {
    word.OnSaveAs([](const Document& doc) { WriteReplacing(doc.FullName(), SavedFile(doc)); });
}

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void PumpMessagesFor(int32_t milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(milliseconds, 0));
    for (;;) {
        PumpMessages();
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

std::string ReadAll(HANDLE handle) {
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(handle, buffer, sizeof(buffer), &read, nullptr)) {
            if (::GetLastError() == ERROR_BROKEN_PIPE) break;  // the writer has closed its end
            qlora::win::ThrowLastError(L"ReadFile");
        }
        if (read == 0) break;
        bytes.append(buffer, read);
    }
    return bytes;
}

WinSessionHost::WinSessionHost(const std::shared_ptr<Word>& word, Print print, bool loadAddIns,
                               StartupDocument startupDocument)
    : word_(word),
      window_(MakeMainWindow()),
      face_(word),
      addIns_(face_, print),
      print_(print),
      answers_(print, [this](const std::wstring& path) { ClickUnlessDisabled(path); }),
      loadAddIns_(loadAddIns),
      startupDocument_(startupDocument) {
    SaveDocumentsAsRtf(*word);
}

void WinSessionHost::Start() {
    if (loadAddIns_) {
        addIns_.Startup([this] { OpenStartupDocument(); });
    } else {
        print_(L"add-ins are not loaded (/a)");
        OpenStartupDocument();
    }
}

void WinSessionHost::ClickUnlessDisabled(const std::wstring& path) {
    if (!word_->FindControl(path)) throw qlora::Error(5, L"wordsim", L"no control at \"" + path + L"\"");
    if (!::IsWindowEnabled(window_.get())) return print_(L"  nothing happens: Word is disabled while a modal window is open");
    if (!word_->Click(path)) print_(L"  nothing happens: the control is a pop-up, or it is disabled or hidden");
}

void WinSessionHost::OpenStartupDocument() {
    if (startupDocument_ == StartupDocument::None) return;
    const bool announced = startupDocument_ == StartupDocument::Announced;
    const auto doc = word_->NewDocument(announced);
    print_(L"start-up document " + doc->name + (announced ? L" (DocumentChange raised)" : L" (no DocumentChange)"));
}

std::string WinSessionHost::ReadFile(const std::wstring& path) {
    const qlora::win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) qlora::win::ThrowLastError(L"CreateFile");
    return ReadAll(file.get());
}

}  // namespace wordsim
