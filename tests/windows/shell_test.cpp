// Shell launching and the version line against the real (Wine) shell and system.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <regex>
#include <string>
#include <thread>

#include "base/port.h"
#include "base/text.h"
#include "dialog_answers_win.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/fake_ports.h"
#include "support/temp_folder.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

// The shell tells the user about a file it cannot open in a message box of its own, owned by the
// launch's window. This watcher answers every dialog box this process shows with OK, noting that
// one showed, so that no test waits for a user.
class DialogAnswerer {
public:
    bool AnyShown() const { return shown_; }

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window) && wordsim::ClassOf(window) == L"#32770") {
            reinterpret_cast<DialogAnswerer*>(self)->shown_ = true;
            ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }

    std::atomic<bool> shown_ = false;
    std::jthread watch_{[this](std::stop_token stop) {
        for (; !stop.stop_requested(); ::Sleep(20)) ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(this));
    }};
};

// Every text crosses the ANSI code page: the folder has an umlaut in its name.
class WindowsShell : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)); }

    DialogAnswerer answerer;
    testing::TempFolder temp;
    const std::wstring folder = temp.Path(L"Pr\u00FCfung");
    testing::RecordingPrompt prompt;  // a failure's message box must not wait for a user
    ScopedPort<MessagePrompt> promptSlot{prompt};
    clsShellExecute launcher;
};

TEST_F(WindowsShell, AProgramStillExecutesUntilItEnds) {
    // The batch file waits for go.txt in its working folder, so it runs exactly until the test
    // lets it go; it is found by its bare name only if the start-in folder reached the shell, and
    // the program only if its path reached the shell with the variable expanded.
    temp.Write(L"Pr\u00FCfung\\wait.bat", "@echo off\r\n:wait\r\nif not exist go.txt goto wait\r\nexit 0\r\n");
    ASSERT_EQ(launcher.LaunchProgram(0, L"%SystemRoot%\\system32\\cmd.exe", L"/c wait.bat", folder, show::Hidden), -1);
    EXPECT_GT(launcher.lngLastInstance(), 32);
    ASSERT_NE(launcher.lngProcessHandle(), nullptr);
    EXPECT_TRUE(launcher.StillExecuting());
    temp.Write(L"Pr\u00FCfung\\go.txt", "");
    for (int i = 0; i < 1200 && launcher.StillExecuting(); ++i) ::Sleep(50);  // a minute at most
    EXPECT_FALSE(launcher.StillExecuting());
    EXPECT_TRUE(prompt.shown.empty());
}

// What the shell cannot open is its answer, not a failure: a path it cannot find answers "not
// found" (2 or 3), an address no program handles "no association" (31).
TEST_F(WindowsShell, WhatTheShellCannotOpenAnswersTheShellsCode) {
    const std::wstring missing = folder + L"\\missing";
    const int32_t program = launcher.LaunchProgram(0, missing + L"\\nothing.exe", L"", L"", show::Hidden);
    const int32_t openedFolder = launcher.LaunchFolder(0, missing, show::Hidden);
    EXPECT_TRUE(program == 2 || program == 3) << program;
    EXPECT_TRUE(openedFolder == 2 || openedFolder == 3) << openedFolder;
    EXPECT_EQ(launcher.LaunchURL(0, L"qlora-no-such-scheme:nothing", show::Hidden), 31);
    // The record's mask leaves the shell's own error message on: the user was told.
    EXPECT_TRUE(answerer.AnyShown());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WindowsShell, ATextTheCodePageCannotHoldIsRefusedNotLaunchedAsAnother) {
    const std::wstring chinese = folder + L"\\\u4E2D\u6587.exe";
    ASSERT_FALSE(win::FitsAnsi(chinese));
    EXPECT_EQ(launcher.LaunchProgram(0, chinese), 0);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"LaunchProgram");
    EXPECT_TRUE(prompt.shown[0].text.starts_with(L"Error: 5. ")) << text::ToUtf8(prompt.shown[0].text);
}

// The line names the version GetVersion reports (an API of its own) in the report's format.
TEST(WindowsVersion, LineNamesTheSystemsVersionAndBuild) {
    const std::string line = text::ToUtf8(clsOperatingSystem().OperatingSystem());
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(line, parts, std::regex(R"(Windows NT (\d+)\.(\d+) build (\d+) \(.*\))"))) << line;
    const DWORD version = ::GetVersion();
    EXPECT_EQ(parts[1].str() + "." + parts[2].str() + " " + parts[3].str(),
              std::to_string(LOBYTE(version)) + "." + std::to_string(HIBYTE(LOWORD(version))) + " " +
                  std::to_string(HIWORD(version)));
}

}  // namespace
}  // namespace qlora
