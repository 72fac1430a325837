// The shell: what each launch asks of it and how it ends, and the system's version line; then the
// error report dialog's rules (what it shows, how it is shown, Send) and the info dialog's labels,
// links and failures, against recording windows and the in-memory shell. Ctrl+A is the Windows
// tier's AddInDialogs.AFailingClickShowsItsReport... with the real keyboard state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/port.h"
#include "base/text.h"
#include "report/error_report.h"
#include "shell/contact.h"
#include "shell/info_dialog.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using testing::FakeShell;
using ::testing::HasSubstr;
using testing::ProcessState;
using Call = FakeShell::Call;
using Log = std::vector<std::wstring>;  // what the window was asked, in order
using Shown = testing::RecordingPrompt::Shown;

class ShellLaunch : public ::testing::Test {
protected:
    std::shared_ptr<ProcessState> NextProcess() { return shell.process = std::make_shared<ProcessState>(); }

    testing::TrailFixturePorts ports;
    FakeShell shell;
    ScopedPort<ShellHost> shellSlot{shell};
    clsShellExecute launcher;
};

// What each launch asks of the shell, and how it answers the shell's result: success (above 32)
// as -1, the shell's error codes as they are. Explore, LaunchFolder and LaunchURL pass their verb
// and file as they are, as the plain launch below does.
TEST_F(ShellLaunch, EachLaunchAsksTheShellForItsVerbFileFolderAndShowCommandAndAnswersItsResult) {
    using R = ShellRequest;
    const std::pair<std::function<int32_t(clsShellExecute&)>, Call> cases[] = {
        {[](auto& s) { return s.LaunchDocument(7, L"%TEMP%\\a.doc", L"C:\\D", show::Minimized); },
         {true, R{7, L"Open", L"%TEMP%\\a.doc", L"", L"C:\\D", 2}, 0x240}},
        {[](auto& s) { return s.LaunchEmail(7, L"Max <m@x.com>?subject=Hi there", show::Normal); },  // address as it is
         {false, R{7, {}, L"mailto:Max <m@x.com>?subject=Hi there", {}, {}, 1}}},
        {[](auto& s) { return s.LaunchProgram(7, L"n.exe", L"a b.txt", L"C:\\T", show::Hidden); },
         {true, R{7, L"Open", L"n.exe", L"a b.txt", L"C:\\T", 0}, 0x240}},
        {[](auto& s) { return s.LaunchProgram(7, L"n.exe"); }, {true, R{7, L"Open", L"n.exe", L"", L"", 1}, 0x240}},
        {[](auto& s) { return s.PrintDocument(7, L"C:\\a.doc"); }, {false, R{7, L"print", L"C:\\a.doc", {}, {}, 0}}},
    };
    std::vector<std::pair<std::intptr_t, int32_t>> results = {{33, -1}, {32, 32}, {0, 0}};
    if constexpr (sizeof(std::intptr_t) > 4)  // an instance must not be cut to 32 bits and read as an error code
        results.emplace_back(static_cast<std::intptr_t>(0x100000002LL), -1);
    for (const auto& [launch, expected] : cases) {
        for (const auto& [instance, result] : results) {
            shell.calls.clear();
            shell.instance = instance;
            EXPECT_EQ(launch(launcher), result) << instance;
            EXPECT_EQ(shell.calls, std::vector<Call>{expected}) << text::ToUtf8(expected.request.file);
        }
    }
    EXPECT_TRUE(ports.prompt.shown.empty() && ports.view.reports.empty());  // a refusal is an answer, not a failure
}

// A started program counts as running while its exit code says so and the launcher holds it: a
// later launch replaces or forgets it, and lets go of it.
TEST_F(ShellLaunch, AStartedProgramRunsWhileItsExitCodeIsStillActiveAndTheLauncherHoldsIt) {
    const auto program = NextProcess();
    ASSERT_EQ(launcher.LaunchProgram(0, L"setup.exe"), -1);
    EXPECT_EQ(launcher.lngLastInstance(), 42);
    program->exitCode = std::nullopt;  // the system cannot tell
    EXPECT_FALSE(launcher.StillExecuting());
    program->exitCode = kStillActive;
    EXPECT_TRUE(launcher.StillExecuting());
    const auto second = NextProcess();
    launcher.LaunchProgram(0, L"b.exe");
    EXPECT_TRUE(program->released);
    launcher.LaunchURL(0, L"https://example.com/");  // a plain launch forgets the program, still running
    EXPECT_TRUE(second->released && !launcher.StillExecuting());
    NextProcess();  // with an instance of 0 the process handed back does not count
    shell.instance = 0;
    EXPECT_EQ(launcher.LaunchProgram(0, L"a.exe"), 0);
    EXPECT_TRUE(launcher.lngProcessHandle() && !launcher.StillExecuting());
}

// A failing shell: four launches pass it on with their trail line (the caller decides where the
// report goes), two show it in a box and answer 0, and Explore lets it through unchanged.
TEST_F(ShellLaunch, EachLaunchEndsAFailureItsOwnWay) {
    struct Case {
        std::function<int32_t(clsShellExecute&)> launch;
        std::wstring line;  // passed on with this trail line; empty: shown in a box titled `box`
        const wchar_t* box = nullptr;
    };
    const Case cases[] = {
        {[](auto& s) { return s.LaunchDocument(7, L"a.doc", L"C:\\", show::Normal); },
         L"LaunchDocument(lnghWnd=7, strDocument='a.doc', strStartIn='C:\\', eShowStyle=1) "},
        {[](auto& s) { return s.LaunchEmail(7, L"m@x", show::Default); },
         L"LaunchEmail(lnghWnd=7, strAddress='m@x', eShowStyle=10) "},
        {[](auto& s) { return s.LaunchFolder(7, L"C:\\", show::Normal); },
         L"LaunchFolder(lnghWnd=7, strFolder='C:\\', eShowStyle=1) "},
        {[](auto& s) { return s.LaunchURL(7, L"u", show::Normal); },
         L"LaunchURL(lnghWnd=7, strURL='u', eShowStyle=1) "},
        {[](auto& s) { return s.LaunchProgram(0, L"b.exe"); }, L"", L"LaunchProgram"},
        {[](auto& s) { return s.PrintDocument(0, L"a.doc"); }, L"", L"PrintDocument"},
    };
    const auto earlier = NextProcess();
    launcher.LaunchProgram(0, L"a.exe");
    shell.failure = Error(errnum::InvalidCall, L"ShellExecuteA", L"Unusable text");
    for (const auto& c : cases) {
        ports.prompt.shown.clear();
        if (c.line.empty()) {
            EXPECT_EQ(c.launch(launcher), 0);
            EXPECT_EQ(ports.prompt.shown, (std::vector<Shown>{{L"Error: 5. Unusable text", c.box, MsgButtons::Ok}}));
            EXPECT_EQ(launcher.lngLastInstance(), 0);  // cleared before the call, as any launch does
            continue;
        }
        const auto failure = testing::ErrorOf([&] { c.launch(launcher); });
        EXPECT_EQ(failure.number, errnum::InvalidCall);
        EXPECT_THAT(failure.description, HasSubstr(L"  Call Stack: clsShellExecute." + c.line));
        EXPECT_TRUE(ports.prompt.shown.empty());
    }
    EXPECT_TRUE(earlier->released);
    const auto unchanged = testing::ErrorOf([&] { launcher.Explore(0, L"C:\\"); });
    EXPECT_EQ(unchanged.source + L": " + unchanged.description, L"ShellExecuteA: Unusable text");
    EXPECT_TRUE(ports.view.reports.empty() && ports.host.files.empty());
}

// The 128-character service-pack field as the system leaves it: the text, then NULs.
std::wstring Field(std::wstring text) {
    text.resize(128, L'\0');
    return text;
}

TEST(VersionLine, NamesTheSystemFirstMatchWinningWithVersionLow16BitsOfTheBuildAndServicePack) {
    testing::FixedVersionSource source;
    ScopedPort<VersionSource> slot{source};
    const std::wstring leftover = Field(L"Service Pack 3").replace(20, 5, L"stale");  // after the NUL: not the text
    struct Case {
        uint32_t platform, major, minor, build;
        const wchar_t* line;
        std::wstring servicePack = Field(L"");
    };
    const Case cases[] = {
        {1, 4, 1, 0, L"Windows 98 4.1 build 0 ()"},
        {2, 5, 1, 2600, L"Windows XP 5.1 build 2600 (Service Pack 2)", Field(L"Service Pack 2")},
        {3, 10, 0, 0, L" 10.0 build 0 ()"},
        // The 95/98/ME family keeps major and minor in the build's high word: 4.10 build 2222.
        {1, 4, 10, 0x040A08AE, L"Windows 98 4.10 build 2222 ( A )", Field(L" A ")},
        {2, 6, 2, 0xFFFFFFFFu, L"Windows NT 6.2 build 65535 ()"},
        {2, 5, 1, 2600, L"Windows XP 5.1 build 2600 (Service Pack 3)", leftover},
        {2, 5, 1, 2600, L"Windows XP 5.1 build 2600 ()", std::wstring(128, L'x')},  // no NUL: empty
    };
    for (const auto& c : cases) {
        source.info = OsVersionInfo{c.major, c.minor, c.build, c.platform, c.servicePack};
        EXPECT_EQ(clsOperatingSystem().OperatingSystem(), c.line);
    }
    // Refused: only the fixed pieces, and each call asks again.
    const clsOperatingSystem os;
    source.info = std::nullopt;
    EXPECT_EQ(os.OperatingSystem(), L"  build  ()");
    source.info = OsVersionInfo{5, 1, 2600, 2, Field(L"")};
    EXPECT_EQ(os.OperatingSystem(), L"Windows XP 5.1 build 2600 ()");
}

class RecordingReportWindow : public ErrorReportWindow {
public:
    bool visible = false;
    bool modelessRefused = false;
    bool broken = false;  // setting the text and opening throw
    std::wstring text;
    Log calls;

    bool Visible() override { return visible; }
    void SetReport(const std::wstring& t) override {
        if (broken) throw Error(5, L"x", L"refused");
        calls.push_back(L"SetReport");
        text = t;
    }
    void SelectAll() override { calls.push_back(L"SelectAll"); }
    bool OpenModeless() override {
        if (broken) throw Error(5, L"x", L"refused");
        calls.push_back(L"OpenModeless");
        return visible = !modelessRefused;
    }
    void OpenModal() override { calls.push_back(L"OpenModal"); }
    void Refresh() override { calls.push_back(L"Refresh"); }
    void Unload() override {
        calls.push_back(L"Unload");
        visible = false;
    }
};

class RecordingInfoView : public InfoView {
public:
    explicit RecordingInfoView(const testing::FakeShell& shell) : shell(shell) {}
    std::vector<std::pair<InfoLabel, std::wstring>> texts;
    std::optional<InfoLabel> failing;
    void SetText(InfoLabel label, const std::wstring& text) override {
        if (label == failing) throw Error(5, L"frmInfo", L"Invalid procedure call or argument");
        texts.emplace_back(label, text);
    }
    std::intptr_t WindowHandle() override { return 0x1234; }
    void Unload() override { unloadedAt.push_back(shell.calls.size()); }

    const testing::FakeShell& shell;
    std::vector<size_t> unloadedAt;  // how many shell requests had been made at each Unload
};

// The texts in English, Word at version 16.0, Windows 10, and the shell recorded.
class DialogContent : public testing::ConnectedTest {
protected:
    DialogContent() {
        word.SetVersion(L"16.0");
        version.info = OsVersionInfo{10, 0, 19045, 2, Field(L"")};
        shell.instance = 31;  // no program for it: an answer, not a failure
    }
    // What the report shows after the report itself.
    static std::wstring Versions(bool withWord = true) {
        return std::wstring(withWord ? L"\r\nWord Version: 16.0" : L"") + L"\r\nWindows Version: " +
               clsOperatingSystem().OperatingSystem();
    }

    testing::FixedVersionSource version;
    ScopedPort<VersionSource> versionSlot{version};
    testing::FakeShell shell;
    ScopedPort<ShellHost> shellSlot{shell};
    RecordingReportWindow window;
    frmShowError form{window};
};

const std::wstring kReport = L"Error 5 in frmTemplate.cmdOk_Click\r\n  Call Stack: frmTemplate.cmdOk_Click() ---\r\n";

TEST_F(DialogContent, TheHeadNamesTheErrorTheSupportAddressAndTheHomepageOnThreeLines) {
    EXPECT_EQ(frmShowError::HeadText(), L"Sorry, an error occurred.\r\nPleas send the error report via email to " +
                                            std::wstring(kSupportEmail) + L"\r\nYou can find updates at " + kHomepage);
    UseLanguage(basGlobal::kGerman);
    EXPECT_THAT(frmShowError::HeadText(), HasSubstr(L"Bitte schicken Sie den Fehlerbericht per Mail an support@"));
}

// A system that refuses a modeless dialog gets a modal one.
TEST_F(DialogContent, TheReportGetsTheWordAndWindowsVersionLinesAndIsShownWithoutAMode) {
    form.ErrorReport(kReport);
    EXPECT_EQ(window.text, kReport + Versions());
    EXPECT_THAT(window.calls, ElementsAre(L"SetReport", L"OpenModeless", L"Refresh"));

    RecordingReportWindow refusing;
    refusing.modelessRefused = true;
    frmShowError(refusing).ErrorReport(kReport);
    EXPECT_THAT(refusing.calls, ElementsAre(L"SetReport", L"OpenModeless", L"OpenModal", L"Refresh"));
}

TEST_F(DialogContent, WithoutWordOrItsVersionTheReportIsShownAllTheSame) {
    basGlobal::gWordApplication.reset();
    form.ErrorReport(kReport);
    EXPECT_EQ(window.text, kReport + Versions(false));

    basGlobal::gWordApplication = word.Application();
    word.Refuse(L"Application.Version.get");
    version.info.reset();  // the system does not tell its version either
    form.ErrorReport(L"third\r\n");
    EXPECT_EQ(window.text, L"third\r\n" + Versions(false));
    EXPECT_TRUE(reports.empty());  // showing a report raised nothing
}

TEST_F(DialogContent, ShowingAReportNeverFailsEvenWhenTheWindowDoes) {
    window.broken = true;
    form.ErrorReport(kReport);  // no exception leaves
    EXPECT_THAT(window.calls, ElementsAre(L"Refresh"));
}

TEST_F(DialogContent, SendOpensAnEmailToTheSupportAddressAndCloseUnloads) {
    form.ErrorReport(kReport);
    form.cmdSend_Click();
    EXPECT_THAT(
        shell.calls,
        ElementsAre(Call{.request = {.file = L"mailto:" + std::wstring(kSupportEmail), .show = show::Default}}));
    form.cmdClose_Click();
    EXPECT_TRUE(!window.visible && reports.empty());
}

// The e-mail link closes the dialog first, the homepage link keeps it open as the owner; the
// shell's refusal (31) is no failure.
TEST_F(DialogContent, InfoShowsTheNameTheVersionAndTheTwoAddressesAndOpensThem) {
    RecordingInfoView view{shell};
    frmInfo info(view);
    info.Form_Load();
    EXPECT_THAT(view.texts, ElementsAre(std::pair{InfoLabel::lblName, std::wstring(L"Quillora TemplateEditor")},
                                        std::pair{InfoLabel::lblVersion, std::wstring(L"Version 1.0.0")},
                                        std::pair{InfoLabel::lblEmail, std::wstring(kSupportEmail)},
                                        std::pair{InfoLabel::lblHomepage, std::wstring(kHomepage)}));
    info.lblEmail_Click();
    info.lblHomepage_Click();
    info.cmdOK_Click();
    const auto mail = L"mailto:" + std::wstring(kSupportEmail);
    EXPECT_THAT(view.unloadedAt, ElementsAre(0u, 2u));
    EXPECT_THAT(shell.calls, ElementsAre(Call{.request = {.file = mail, .show = show::Default}},
                                         Call{.request = {.hwnd = 0x1234, .file = kHomepage, .show = show::Normal}}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(DialogContent, AFailingInfoLoadIsReportedButAFailingNameGoesToWhoeverOpenedTheDialog) {
    RecordingInfoView view{shell};
    view.failing = InfoLabel::lblVersion;
    frmInfo(view).Form_Load();
    EXPECT_THAT(reports, ElementsAre(HasSubstr(L"Call Stack: frmInfo.Form_Load() ")));
    EXPECT_THAT(view.texts, ElementsAre(std::pair{InfoLabel::lblName, std::wstring(L"Quillora TemplateEditor")}));

    view.failing = InfoLabel::lblName;
    EXPECT_THROW(frmInfo(view).Form_Load(), Error);
    EXPECT_EQ(reports.size(), 1u);
}

}  // namespace
}  // namespace qlora
