// Shell launching and the version line against the real (Wine) shell and system: programs that
// run and end, files the shell cannot find, texts in the ANSI code page, addresses without a
// handler, and the version GetVersionExA reports.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/port.h"
#include "base/text.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

// A folder of its own under the temporary folder, with an umlaut in its name so that every text
// crosses the ANSI code page; removed with what the test left in it.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"qlora-shell-Prüfung-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const auto* name : {L"wait.bat", L"go.txt"}) ::DeleteFileW((path_ + L"\\" + name).c_str());
        ::RemoveDirectoryW(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    void Write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(win::ToAnsi(path_ + L"\\" + name), std::ios::binary) << bytes;
    }

private:
    std::wstring path_;
};

// The shell tells the user about a file it cannot open in a message box of its own, owned by the
// launch's window. This watcher answers every dialog box this process shows with OK (keeping its
// title), so that no test waits for a user.
class DialogAnswerer {
public:
    DialogAnswerer() : thread_([this] { Watch(); }) {}
    ~DialogAnswerer() {
        stop_ = true;
        thread_.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    std::vector<std::wstring> Seen() {
        const std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    void Watch() {
        while (!stop_) {
            ::EnumWindows(&DialogAnswerer::Visit, reinterpret_cast<LPARAM>(this));
            ::Sleep(20);
        }
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (process != ::GetCurrentProcessId() || !::IsWindowVisible(window) || std::wstring(className) != L"#32770")
            return TRUE;
        auto& answerer = *reinterpret_cast<DialogAnswerer*>(self);
        if (answerer.answered_.insert(window).second) {
            wchar_t title[256] = {};
            ::GetWindowTextW(window, title, 256);
            const std::lock_guard lock(answerer.mutex_);
            answerer.seen_.emplace_back(title);
        }
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }

    std::atomic<bool> stop_ = false;
    std::mutex mutex_;
    std::vector<std::wstring> seen_;
    std::set<HWND> answered_;
    std::thread thread_;
};

// A string value of this user's registry set for the object's life, then put back as it was.
class ScopedRegString {
public:
    ScopedRegString(std::wstring key, std::wstring name, const std::wstring& value)
        : key_(std::move(key)), name_(std::move(name)) {
        DWORD size = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) ==
            ERROR_SUCCESS) {
            old_.emplace(size / sizeof(wchar_t), L'\0');
            ::RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, old_->data(), &size);
            old_->resize(size / sizeof(wchar_t) - 1);
        }
        Set(value);
    }
    ~ScopedRegString() {
        if (old_) Set(*old_);
        else ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str());
    }
    ScopedRegString(const ScopedRegString&) = delete;
    ScopedRegString& operator=(const ScopedRegString&) = delete;

private:
    void Set(const std::wstring& value) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), name_.c_str(), REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    std::wstring key_, name_;
    std::optional<std::wstring> old_;
};

// Waits for every process of that program name to end (at most a minute each).
void WaitForProcessesNamed(const std::wstring& exeName) {
    const win::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, exeName.c_str()) != 0) continue;
        const win::UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process) ::WaitForSingleObject(process.get(), 60000);
    }
}

class WindowsShell : public ::testing::Test {
protected:
    // Polls until the launched program has ended; false if it is still running after a minute.
    bool EndsWithinAMinute() {
        for (int i = 0; i < 1200 && launcher.StillExecuting(); ++i) ::Sleep(50);
        return !launcher.StillExecuting();
    }

    DialogAnswerer answerer;
    ScratchFolder folder;
    testing::RecordingPrompt prompt;  // a failure's message box must not wait for a user
    ScopedPort<MessagePrompt> promptSlot{prompt};
    clsShellExecute launcher;
};

TEST_F(WindowsShell, AProgramStillExecutesUntilItEnds) {
    // The batch file waits for go.txt in its working folder, so it runs exactly until the test
    // lets it go; it is found by its bare name only if the start-in folder reached the shell.
    folder.Write(L"wait.bat", "@echo off\r\n:wait\r\nif not exist go.txt goto wait\r\nexit 0\r\n");
    ASSERT_EQ(launcher.LaunchProgram(0, L"cmd.exe", L"/c wait.bat", folder.Path(), show::Hidden), -1);
    EXPECT_GT(launcher.lngLastInstance(), 32);
    ASSERT_NE(launcher.lngProcessHandle(), nullptr);
    EXPECT_TRUE(launcher.StillExecuting());
    folder.Write(L"go.txt", "");
    EXPECT_TRUE(EndsWithinAMinute());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WindowsShell, AProgramThatEndsAtOnceIsNotExecutingAfterwards) {
    // The program's path reaches the shell with its environment variable expanded.
    ASSERT_EQ(launcher.LaunchProgram(0, L"%SystemRoot%\\system32\\cmd.exe", L"/c exit 0", L"", show::Hidden), -1);
    EXPECT_TRUE(EndsWithinAMinute());
    // A plain launch forgets it.
    launcher.LaunchFolder(0, folder.Path() + L"\\missing", show::Hidden);
    EXPECT_EQ(launcher.lngLastInstance(), 0);
    EXPECT_EQ(launcher.lngProcessHandle(), nullptr);
}

TEST_F(WindowsShell, AMissingFileAnswersTheShellsNotFoundCode) {
    const std::wstring missing = folder.Path() + L"\\missing\\nothing.exe";
    const auto notFound = [](int32_t result) { return result == 2 || result == 3; };
    const int32_t program = launcher.LaunchProgram(0, missing, L"", L"", show::Hidden);
    EXPECT_PRED1(notFound, program);
    // The record's mask leaves the shell's own error message on: the user was told.
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(launcher.lngLastInstance(), program);
    EXPECT_FALSE(launcher.StillExecuting());
    EXPECT_PRED1(notFound, launcher.LaunchDocument(0, folder.Path() + L"\\nothing.txt", folder.Path(), show::Hidden));
    EXPECT_PRED1(notFound, launcher.LaunchFolder(0, folder.Path() + L"\\missing", show::Hidden));
    EXPECT_PRED1(notFound, launcher.PrintDocument(0, folder.Path() + L"\\nothing.txt"));
    EXPECT_TRUE(prompt.shown.empty());  // a refusal of the shell is an answer, not a failure
}

TEST_F(WindowsShell, MailAndWebAddressesAnswerByTheConvention) {
    // Wine hands web and mail addresses to its browser bridge, which would pass them on to the
    // desktop's programs; pointed at none, it opens nothing (the addresses do not resolve anyway).
    const ScopedRegString browsers(L"Software\\Wine\\WineBrowser", L"Browsers", L"qlora-no-such-program");
    const ScopedRegString mailers(L"Software\\Wine\\WineBrowser", L"Mailers", L"qlora-no-such-program");
    const auto byConvention = [](int32_t result) { return result == -1 || (result >= 0 && result <= 32); };
    EXPECT_PRED1(byConvention, launcher.LaunchEmail(0, L"nobody@example.invalid", show::Hidden));
    EXPECT_PRED1(byConvention, launcher.LaunchURL(0, L"http://www.example.invalid/", show::Hidden));
    WaitForProcessesNamed(L"winebrowser.exe");  // it reads its settings before they are put back
    EXPECT_EQ(launcher.lngLastInstance(), 0);
    EXPECT_FALSE(launcher.StillExecuting());
}

TEST_F(WindowsShell, AnAddressNothingHandlesAnswersTheShellsCode) {
    EXPECT_EQ(launcher.LaunchURL(0, L"qlora-no-such-scheme:nothing", show::Hidden), 31);  // no association
}

TEST_F(WindowsShell, ATextTheCodePageCannotHoldIsRefusedNotLaunchedAsAnother) {
    const std::wstring chinese = folder.Path() + L"\\\u4E2D\u6587.exe";
    ASSERT_FALSE(win::FitsAnsi(chinese));
    EXPECT_EQ(launcher.LaunchProgram(0, chinese), 0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"LaunchProgram");
    EXPECT_TRUE(prompt.shown[0].text.starts_with(L"Error: 5. ")) << text::ToUtf8(prompt.shown[0].text);
    EXPECT_NE(testing::ErrorOf([&] { launcher.LaunchURL(0, L"https://example.invalid/\u4E2D", show::Hidden); })
                  .description.find(L"Call Stack: clsShellExecute.LaunchURL(lnghWnd=0, "),
              std::wstring::npos);
}

TEST(WindowsVersion, LineCarriesWhatGetVersionExAReports) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(::GetVersionExA(&info));
    ASSERT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    ASSERT_GE(info.dwMajorVersion, 6u) << "Wine poses as Windows 7 or later";
    const std::wstring expected = L"Windows NT " + text::Decimal(info.dwMajorVersion) + L"." +
                                  text::Decimal(info.dwMinorVersion) + L" build " +
                                  text::Decimal(info.dwBuildNumber & 0xFFFF) + L" (" +
                                  win::FromAnsi(info.szCSDVersion) + L")";
    EXPECT_EQ(clsOperatingSystem().OperatingSystem(), expected);
}

}  // namespace
}  // namespace qlora
