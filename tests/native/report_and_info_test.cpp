// The error report dialog's rules (what it shows, how it is shown, Send) and the info dialog's
// labels, links and failures, against recording windows and an in-memory shell. Ctrl+A is the Windows tier's
// AddInDialogs.AFailingClickShowsItsReport... with the real keyboard state.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "report/error_report.h"
#include "shell/contact.h"
#include "shell/info_dialog.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/fake_ports.h"
#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Call = testing::FakeShell::Call;
using Log = std::vector<std::wstring>;  // what the window was asked, in order

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
        version.info = OsVersionInfo{10, 0, 19045, 2, std::wstring(128, L'\0')};
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
    EXPECT_THAT(shell.calls, ElementsAre(Call{.request = {.file = L"mailto:" + std::wstring(kSupportEmail),
                                                          .show = show::Default}}));
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
