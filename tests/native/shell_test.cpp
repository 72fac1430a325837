// Shell launching and the Windows version line against in-memory shells and version records:
// what each launch asks of the shell, how results are answered, when a started program counts
// as still running, how failures end, and how versions are named.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/port.h"
#include "base/text.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/error_of.h"
#include "support/fake_ports.h"

namespace qlora {
namespace {

// A started process as the test drives it; the shared state outlives the process object, so a
// test can see when the launcher let go of it.
struct ProcessState {
    std::optional<uint32_t> exitCode = kStillActive;
    bool released = false;
};

class FakeProcess final : public ShellProcess {
public:
    explicit FakeProcess(std::shared_ptr<ProcessState> state) : state_(std::move(state)) {}
    ~FakeProcess() override { state_->released = true; }
    std::optional<uint32_t> ExitCode() override { return state_->exitCode; }

private:
    std::shared_ptr<ProcessState> state_;
};

class FakeShell final : public ShellHost {
public:
    struct Call {
        bool extended = false;
        ShellRequest request;
        uint32_t mask = 0;
        friend bool operator==(const Call&, const Call&) = default;
    };

    std::vector<Call> calls;
    std::intptr_t instance = 42;
    std::shared_ptr<ProcessState> process;  // handed out by the next extended call, when set
    std::optional<Error> failure;

    std::intptr_t Execute(const ShellRequest& request) override {
        calls.push_back({false, request, 0});
        if (failure) throw *failure;
        return instance;
    }
    Started ExecuteEx(const ShellRequest& request, uint32_t mask) override {
        calls.push_back({true, request, mask});
        if (failure) throw *failure;
        Started started{instance, nullptr};
        if (process) started.process = std::make_unique<FakeProcess>(std::exchange(process, nullptr));
        return started;
    }
};

class ShellLaunch : public ::testing::Test {
protected:
    std::shared_ptr<ProcessState> NextProcess() {
        shell.process = std::make_shared<ProcessState>();
        return shell.process;
    }

    testing::TrailFixturePorts ports;
    FakeShell shell;
    ScopedPort<ShellHost> shellSlot{shell};
    clsShellExecute launcher;
};

// Every launch, called with the same owner window.
struct Operation {
    const char* name;
    std::function<int32_t(clsShellExecute&)> launch;
};

const std::vector<Operation>& AllLaunches() {
    static const std::vector<Operation> all = {
        {"Explore", [](clsShellExecute& s) { return s.Explore(7, L"C:\\Data"); }},
        {"LaunchDocument", [](clsShellExecute& s) { return s.LaunchDocument(7, L"C:\\Data\\a.doc", L"C:\\Data"); }},
        {"LaunchEmail", [](clsShellExecute& s) { return s.LaunchEmail(7, L"info@example.com"); }},
        {"LaunchFolder", [](clsShellExecute& s) { return s.LaunchFolder(7, L"C:\\Data"); }},
        {"LaunchProgram", [](clsShellExecute& s) { return s.LaunchProgram(7, L"notepad.exe"); }},
        {"LaunchURL", [](clsShellExecute& s) { return s.LaunchURL(7, L"https://example.com/"); }},
        {"PrintDocument", [](clsShellExecute& s) { return s.PrintDocument(7, L"C:\\Data\\a.doc"); }},
    };
    return all;
}

TEST_F(ShellLaunch, EveryLaunchAnswersSuccessAsMinusOneAndPassesTheShellsErrorCodesOn) {
    struct Case {
        std::intptr_t instance;
        int32_t result;
    };
    std::vector<Case> cases = {{33, -1}, {42, -1}, {32, 32}, {31, 31}, {2, 2}, {0, 0}};
    if constexpr (sizeof(std::intptr_t) > 4)  // an instance must not be cut to 32 bits and read as an error code
        cases.push_back({static_cast<std::intptr_t>(0x100000002LL), -1});
    for (const auto& op : AllLaunches())
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.name) + " instance " + std::to_string(c.instance));
            shell.instance = c.instance;
            EXPECT_EQ(op.launch(launcher), c.result);
        }
    EXPECT_TRUE(ports.prompt.shown.empty());  // a refusal of the shell is an answer, not a failure
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(ShellLaunch, EachLaunchAsksTheShellForItsVerbFileFolderAndShowCommand) {
    using R = ShellRequest;
    using Call = FakeShell::Call;
    struct Case {
        const char* name;
        std::function<void(clsShellExecute&)> launch;
        Call expected;
    };
    const Case cases[] = {
        {"Explore", [](auto& s) { s.Explore(7, L"C:\\Data", show::Maximized); },
         {false, R{7, L"explore", L"C:\\Data", {}, {}, 3}, 0}},
        {"LaunchDocument", [](auto& s) { s.LaunchDocument(7, L"%TEMP%\\a.doc", L"C:\\Data", show::Minimized); },
         {true, R{7, L"Open", L"%TEMP%\\a.doc", L"", L"C:\\Data", 2}, 0x240}},
        {"LaunchEmail bare address, default verb, address unchanged",
         [](auto& s) { s.LaunchEmail(7, L"Max Muster <max@example.com>?subject=Hi there", show::Normal); },
         {false, R{7, {}, L"mailto:Max Muster <max@example.com>?subject=Hi there", {}, {}, 1}, 0}},
        {"LaunchFolder", [](auto& s) { s.LaunchFolder(7, L"\\\\server\\share", show::Default); },
         {false, R{7, L"open", L"\\\\server\\share", {}, {}, 10}, 0}},
        {"LaunchProgram", [](auto& s) { s.LaunchProgram(7, L"notepad.exe", L"a b.txt", L"C:\\Temp", show::Hidden); },
         {true, R{7, L"Open", L"notepad.exe", L"a b.txt", L"C:\\Temp", 0}, 0x240}},
        {"LaunchProgram defaults", [](auto& s) { s.LaunchProgram(7, L"notepad.exe"); },
         {true, R{7, L"Open", L"notepad.exe", L"", L"", 1}, 0x240}},
        {"LaunchURL, no scheme added", [](auto& s) { s.LaunchURL(7, L"www.example.com", show::Normal); },
         {false, R{7, {}, L"www.example.com", {}, {}, 1}, 0}},
        {"PrintDocument hidden", [](auto& s) { s.PrintDocument(7, L"C:\\Data\\a.doc"); },
         {false, R{7, L"print", L"C:\\Data\\a.doc", {}, {}, 0}, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shell.calls.clear();
        c.launch(launcher);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0], c.expected) << text::ToUtf8(shell.calls[0].request.file);
    }
}

TEST_F(ShellLaunch, AStartedProgramRunsWhileItsExitCodeIsStillActive) {
    EXPECT_FALSE(launcher.StillExecuting());
    const auto program = NextProcess();
    ASSERT_EQ(launcher.LaunchProgram(0, L"setup.exe"), -1);
    EXPECT_EQ(launcher.lngLastInstance(), 42);
    EXPECT_TRUE(launcher.StillExecuting());
    program->exitCode = 0;
    EXPECT_FALSE(launcher.StillExecuting());
    program->exitCode = std::nullopt;  // the system cannot tell
    EXPECT_FALSE(launcher.StillExecuting());
    program->exitCode = kStillActive;
    EXPECT_TRUE(launcher.StillExecuting());
}

TEST_F(ShellLaunch, APlainLaunchForgetsTheEarlierProgramAndLetsGoOfIt) {
    const auto program = NextProcess();
    launcher.LaunchDocument(0, L"a.doc", L"");
    ASSERT_TRUE(launcher.StillExecuting());
    launcher.LaunchURL(0, L"https://example.com/");
    EXPECT_EQ(program->exitCode, kStillActive);  // it still runs...
    EXPECT_FALSE(launcher.StillExecuting());      // ...but is no longer the launcher's
    EXPECT_TRUE(program->released);
    EXPECT_EQ(launcher.lngLastInstance(), 0);
    EXPECT_EQ(launcher.lngProcessHandle(), nullptr);
}

TEST_F(ShellLaunch, TheProcessIsReleasedWhenReplacedAndWhenTheLauncherEnds) {
    const auto first = NextProcess();
    launcher.LaunchProgram(0, L"a.exe");
    const auto second = NextProcess();
    launcher.LaunchProgram(0, L"b.exe");
    EXPECT_TRUE(first->released);
    EXPECT_FALSE(second->released);
    std::optional<clsShellExecute> own(std::in_place);
    const auto third = NextProcess();
    own->LaunchProgram(0, L"c.exe");
    EXPECT_FALSE(third->released);
    own.reset();
    EXPECT_TRUE(third->released);
    EXPECT_FALSE(second->released);
}

TEST_F(ShellLaunch, WithoutAProcessOrInstanceNothingCountsAsRunning) {
    // The shell succeeded but handed back no process (the file went to a running program).
    launcher.LaunchDocument(0, L"a.doc", L"");
    EXPECT_EQ(launcher.lngLastInstance(), 42);
    EXPECT_FALSE(launcher.StillExecuting());
    // A process with an instance result of 0 is not asked.
    NextProcess();
    shell.instance = 0;
    EXPECT_EQ(launcher.LaunchProgram(0, L"a.exe"), 0);
    ASSERT_NE(launcher.lngProcessHandle(), nullptr);
    EXPECT_FALSE(launcher.StillExecuting());
    // A refused launch keeps its error code as the instance, and no process runs.
    shell.instance = 2;
    EXPECT_EQ(launcher.LaunchProgram(0, L"missing.exe"), 2);
    EXPECT_EQ(launcher.lngLastInstance(), 2);
    EXPECT_FALSE(launcher.StillExecuting());
}

TEST_F(ShellLaunch, FourLaunchesPassAFailureOnWithTheirTrailLine) {
    struct Case {
        std::function<void(clsShellExecute&)> launch;
        std::wstring line;
    };
    const Case cases[] = {
        {[](auto& s) { s.LaunchDocument(7, L"a.doc", L"C:\\", show::Normal); },
         L"  Call Stack: clsShellExecute.LaunchDocument(lnghWnd=7, strDocument='a.doc', strStartIn='C:\\', "
         L"eShowStyle=1) "},
        {[](auto& s) { s.LaunchEmail(7, L"max@example.com", show::Default); },
         L"  Call Stack: clsShellExecute.LaunchEmail(lnghWnd=7, strAddress='max@example.com', eShowStyle=10) "},
        {[](auto& s) { s.LaunchFolder(7, L"C:\\", show::Normal); },
         L"  Call Stack: clsShellExecute.LaunchFolder(lnghWnd=7, strFolder='C:\\', eShowStyle=1) "},
        {[](auto& s) { s.LaunchURL(7, L"https://example.com/", show::Normal); },
         L"  Call Stack: clsShellExecute.LaunchURL(lnghWnd=7, strURL='https://example.com/', eShowStyle=1) "},
    };
    shell.failure = Error(errnum::InvalidCall, L"ShellExecuteA", L"Unusable text");
    for (const auto& c : cases) {
        SCOPED_TRACE(text::ToUtf8(c.line));
        try {
            c.launch(launcher);
            ADD_FAILURE() << "no failure reached the caller";
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), errnum::InvalidCall);
            EXPECT_NE(e.Description().find(L"  Method: clsShellExecute."), std::wstring::npos) << text::ToUtf8(e.Description());
            EXPECT_NE(e.Description().find(c.line), std::wstring::npos) << text::ToUtf8(e.Description());
        }
    }
    EXPECT_TRUE(ports.prompt.shown.empty());
    EXPECT_TRUE(ports.view.reports.empty());  // the caller decides where the report goes
}

TEST_F(ShellLaunch, LaunchProgramAndPrintDocumentShowTheirFailureAndAnswerZero) {
    const auto earlier = NextProcess();
    launcher.LaunchProgram(0, L"a.exe");
    shell.failure = Error(errnum::InvalidCall, L"ShellExecuteExA", L"Unusable text");
    EXPECT_EQ(launcher.LaunchProgram(0, L"b.exe"), 0);
    EXPECT_EQ(launcher.lngLastInstance(), 0);  // cleared before the call, as any launch does
    EXPECT_TRUE(earlier->released);
    EXPECT_EQ(launcher.PrintDocument(0, L"a.doc"), 0);
    ASSERT_EQ(ports.prompt.shown.size(), 2u);
    for (const auto& [shown, title] : {std::pair{ports.prompt.shown[0], L"LaunchProgram"},
                                       std::pair{ports.prompt.shown[1], L"PrintDocument"}}) {
        EXPECT_EQ(shown.text, L"Error: 5. Unusable text");
        EXPECT_EQ(shown.title, title);
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
    }
    EXPECT_TRUE(ports.view.reports.empty());
    EXPECT_TRUE(ports.host.files.empty());
}

TEST_F(ShellLaunch, ExploreLetsAFailureThroughUnchanged) {
    shell.failure = Error(errnum::InvalidCall, L"ShellExecuteA", L"Unusable text");
    const auto failure = testing::ErrorOf([&] { launcher.Explore(0, L"C:\\"); });
    EXPECT_EQ(failure.source, L"ShellExecuteA");
    EXPECT_EQ(failure.description, L"Unusable text");
    EXPECT_TRUE(ports.prompt.shown.empty());
}

// --- the Windows version line ---

// The 128-character service-pack field as the system leaves it: the text, then NULs.
std::wstring Field(std::wstring_view text) {
    std::wstring field(text);
    field.resize(128, L'\0');
    return field;
}

class VersionLine : public ::testing::Test {
protected:
    std::wstring LineOf(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build, std::wstring csd) {
        source.info = OsVersionInfo{major, minor, build, platform, std::move(csd)};
        return clsOperatingSystem().OperatingSystem();
    }
    std::wstring NameOf(uint32_t platform, uint32_t major, uint32_t minor) {
        const auto line = LineOf(platform, major, minor, 0, Field(L""));
        return line.substr(0, line.find(L' ' + text::Decimal(major) + L'.'));
    }

    testing::FixedVersionSource source;
    ScopedPort<VersionSource> slot{source};
};

TEST_F(VersionLine, NamesFollowTheTableFirstMatchWinning) {
    struct Case {
        uint32_t platform, major, minor;
        const wchar_t* name;
    };
    const Case cases[] = {
        {0, 3, 10, L"Win32s"},       {0, 5, 1, L"Win32s"},        {1, 4, 0, L"Windows 95"},
        {1, 5, 0, L"Windows 95"},    {1, 4, 90, L"Windows ME"},   {1, 4, 10, L"Windows 98"},
        {1, 4, 1, L"Windows 98"},    {2, 5, 0, L"Windows 2000"},  {2, 5, 1, L"Windows XP"},
        {2, 5, 2, L"Windows NT"},    {2, 6, 1, L"Windows NT"},    {2, 4, 0, L"Windows NT"},
        {2, 10, 0, L"Windows NT"},   {2, 6, 0, L"Windows NT"},    {3, 10, 0, L""},
        {7, 5, 1, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.platform) + "/" + std::to_string(c.major) + "." + std::to_string(c.minor));
        EXPECT_EQ(NameOf(c.platform, c.major, c.minor), c.name);
    }
}

TEST_F(VersionLine, LineJoinsNameVersionBuildAndServicePack) {
    EXPECT_EQ(LineOf(2, 5, 1, 2600, Field(L"Service Pack 2")), L"Windows XP 5.1 build 2600 (Service Pack 2)");
    // No service pack: the parentheses stay.
    EXPECT_EQ(LineOf(2, 5, 0, 2195, Field(L"")), L"Windows 2000 5.0 build 2195 ()");
    EXPECT_EQ(LineOf(2, 6, 1, 7601, Field(L"Service Pack 1")).substr(0, 27), L"Windows NT 6.1 build 7601 (");
    EXPECT_EQ(LineOf(2, 10, 0, 19045, Field(L"")), L"Windows NT 10.0 build 19045 ()");
}

TEST_F(VersionLine, OnlyTheLow16BitsOfTheBuildAreShown) {
    // The 95/98/ME family keeps major and minor in the build's high word: 4.10 build 2222.
    EXPECT_EQ(LineOf(1, 4, 10, 0x040A08AE, Field(L" A ")), L"Windows 98 4.10 build 2222 ( A )");
    EXPECT_EQ(LineOf(2, 6, 2, 0xFFFF0000u, Field(L"")), L"Windows NT 6.2 build 0 ()");
    EXPECT_EQ(LineOf(2, 6, 2, 0xFFFFFFFFu, Field(L"")), L"Windows NT 6.2 build 65535 ()");
}

TEST_F(VersionLine, ServicePackEndsAtItsFirstNulAndAFieldWithoutOneIsEmpty) {
    std::wstring leftover = Field(L"Service Pack 3");
    leftover.replace(20, 5, L"stale");  // bytes after the NUL are not part of the text
    EXPECT_EQ(LineOf(2, 5, 1, 2600, leftover), L"Windows XP 5.1 build 2600 (Service Pack 3)");
    EXPECT_EQ(LineOf(2, 5, 1, 2600, std::wstring(128, L'x')), L"Windows XP 5.1 build 2600 ()");
    EXPECT_EQ(LineOf(2, 5, 1, 2600, Field(L"")), L"Windows XP 5.1 build 2600 ()");
}

TEST_F(VersionLine, WhenTheSystemRefusesOnlyTheFixedPiecesRemainAndEachCallAsksAgain) {
    const clsOperatingSystem os;
    source.info = std::nullopt;
    EXPECT_EQ(os.OperatingSystem(), L"  build  ()");
    source.info = OsVersionInfo{5, 1, 2600, 2, Field(L"")};
    EXPECT_EQ(os.OperatingSystem(), L"Windows XP 5.1 build 2600 ()");
    EXPECT_EQ(source.queries, 2);
}

}  // namespace
}  // namespace qlora
