// The error report dialog's rules (what it shows, how it is shown, Ctrl+A)
// and the info dialog's labels and links, against recording windows and an in-memory shell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/port.h"
#include "language/language_texts.h"
#include "report/error_report.h"
#include "session/global.h"
#include "shell/contact.h"
#include "shell/info_dialog.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "support/fake_ports.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class RecordingReportWindow : public ErrorReportWindow {
public:
    bool visible = false;
    bool modelessRefused = false;
    std::wstring text;
    std::vector<std::wstring> calls;

    bool Visible() override { return visible; }
    void SetReport(const std::wstring& t) override {
        calls.push_back(L"SetReport");
        text = t;
    }
    void SelectAll() override { calls.push_back(L"SelectAll"); }
    bool OpenModeless() override {
        calls.push_back(L"OpenModeless");
        if (modelessRefused) return false;
        visible = true;
        return true;
    }
    void OpenModal() override { calls.push_back(L"OpenModal"); }
    void Refresh() override { calls.push_back(L"Refresh"); }
    void Unload() override {
        calls.push_back(L"Unload");
        visible = false;
    }
};

// The shell's execute service, recording each call.
class RecordingShell : public ShellHost {
public:
    std::vector<ShellRequest> requests;
    std::intptr_t Execute(const ShellRequest& request) override {
        requests.push_back(request);
        return 31;  // no program for it: an answer, not a failure
    }
    Started ExecuteEx(const ShellRequest& request, uint32_t) override {
        requests.push_back(request);
        return {};
    }
};

// The texts in English, Word at version 16.0, Windows 10, and the shell recorded.
class DialogContent : public ::testing::Test {
protected:
    DialogContent() {
        basGlobal::gLanguage = basGlobal::kEnglish;
        SetLngId(2);
        basGlobal::gWordApplication = word.Application();
        word.SetVersion(L"16.0");
        version.info = OsVersionInfo{10, 0, 19045, 2, std::wstring(128, L'\0')};
    }
    ~DialogContent() override {
        basGlobal::gWordApplication.reset();
        basGlobal::gLanguage = savedLanguage;
        SetLngId(savedLngId);
    }
    static std::wstring WindowsLine() { return clsOperatingSystem().OperatingSystem(); }

    const int32_t savedLanguage = basGlobal::gLanguage;
    const int16_t savedLngId = gLngId();
    testing::TrailFixturePorts ports;
    testing::FixedVersionSource version;
    ScopedPort<VersionSource> versionSlot{version};
    RecordingShell shell;
    ScopedPort<ShellHost> shellSlot{shell};
    wordsim::Word word;
};

const std::wstring kReport = L"Error 5 in frmTemplate.cmdOk_Click\r\n  Call Stack: frmTemplate.cmdOk_Click() ---\r\n";

TEST_F(DialogContent, TheHeadNamesTheErrorTheSupportAddressAndTheHomepageOnThreeLines) {
    EXPECT_EQ(frmShowError::HeadText(), L"Sorry, an error occurred.\r\nPleas send the error report via email to " +
                                            std::wstring(kSupportEmail) + L"\r\nYou can find updates at " + kHomepage);
    SetLngId(1);
    EXPECT_THAT(frmShowError::HeadText(), HasSubstr(L"Bitte schicken Sie den Fehlerbericht per Mail an support@"));
}

TEST_F(DialogContent, TheReportGetsTheWordAndWindowsVersionLinesAndIsShownWithoutAMode) {
    RecordingReportWindow window;
    frmShowError form(window);
    form.ErrorReport(kReport);
    EXPECT_EQ(window.text, kReport + L"\r\nWord Version: 16.0\r\nWindows Version: " + WindowsLine());
    EXPECT_THAT(window.calls, ElementsAre(L"SetReport", L"OpenModeless", L"Refresh"));

    // A second report while it is open replaces the text and shows nothing a second time.
    window.calls.clear();
    form.ErrorReport(L"second\r\n");
    EXPECT_EQ(window.text, L"second\r\n\r\nWord Version: 16.0\r\nWindows Version: " + WindowsLine());
    EXPECT_THAT(window.calls, ElementsAre(L"SetReport", L"Refresh"));

    RecordingReportWindow refusing;  // the system refuses a modeless dialog: shown modally
    refusing.modelessRefused = true;
    frmShowError(refusing).ErrorReport(kReport);
    EXPECT_THAT(refusing.calls, ElementsAre(L"SetReport", L"OpenModeless", L"OpenModal", L"Refresh"));
}

TEST_F(DialogContent, WithoutWordOrItsVersionTheReportIsShownAllTheSame) {
    RecordingReportWindow window;
    frmShowError form(window);
    basGlobal::gWordApplication.reset();
    form.ErrorReport(kReport);
    EXPECT_EQ(window.text, kReport + L"\r\nWindows Version: " + WindowsLine());

    basGlobal::gWordApplication = word.Application();
    word.Refuse(L"Application.Version.get");
    version.info.reset();  // the system does not tell its version either
    form.ErrorReport(L"third\r\n");
    EXPECT_EQ(window.text, L"third\r\n\r\nWindows Version: " + WindowsLine());
    EXPECT_TRUE(ports.view.reports.empty());  // showing a report raised nothing
}

TEST_F(DialogContent, ShowingAReportNeverFailsEvenWhenTheWindowDoes) {
    class BrokenWindow : public RecordingReportWindow {
    public:
        void SetReport(const std::wstring&) override { throw Error(5, L"x", L"refused"); }
        bool OpenModeless() override { throw Error(5, L"x", L"refused"); }
    } window;
    frmShowError form(window);
    form.ErrorReport(kReport);  // no exception leaves
    EXPECT_THAT(window.calls, ElementsAre(L"Refresh"));
}

TEST(ErrorReportKeys, OnlyCtrlAWithNoOtherModifierSelectsAll) {
    RecordingReportWindow window;
    frmShowError form(window);
    using F = frmShowError;
    for (const auto& [key, mask] : {std::pair{65, F::kCtrlMask | F::kShiftMask}, {65, F::kCtrlMask | F::kAltMask},
                                    {65, 0}, {66, F::kCtrlMask}, {65, F::kCtrlMask}})
        EXPECT_EQ(form.txtError_KeyDown(key, mask), mask == F::kCtrlMask && key == 65) << key << " " << mask;
    EXPECT_THAT(window.calls, ElementsAre(L"SelectAll"));
}

TEST_F(DialogContent, SendOpensAnEmailToTheSupportAddressAndCloseUnloads) {
    RecordingReportWindow window;
    frmShowError form(window);
    form.ErrorReport(kReport);
    form.cmdSend_Click();
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].file, L"mailto:" + std::wstring(kSupportEmail));
    EXPECT_EQ(shell.requests[0].show, show::Default);
    form.cmdClose_Click();
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(ports.view.reports.empty());
}

class RecordingInfoView : public InfoView {
public:
    std::vector<std::pair<InfoLabel, std::wstring>> texts;
    std::vector<std::wstring>* order = nullptr;
    int unloads = 0;
    void SetText(InfoLabel label, const std::wstring& text) override { texts.emplace_back(label, text); }
    std::intptr_t WindowHandle() override { return 0x1234; }
    void Unload() override {
        ++unloads;
        if (order) order->push_back(L"unload");
    }
};

TEST_F(DialogContent, InfoShowsTheNameTheModulesVersionAndTheTwoAddresses) {
    ports.host.appVersion = L"2.1.7";
    RecordingInfoView view;
    frmInfo(view).Form_Load();
    EXPECT_THAT(view.texts, ElementsAre(std::pair{InfoLabel::lblName, std::wstring(L"Quillora TemplateEditor")},
                                        std::pair{InfoLabel::lblVersion, std::wstring(L"Version 2.1.7")},
                                        std::pair{InfoLabel::lblEmail, std::wstring(kSupportEmail)},
                                        std::pair{InfoLabel::lblHomepage, std::wstring(kHomepage)}));
}

TEST_F(DialogContent, TheEmailLinkClosesTheDialogFirstAndTheHomepageLinkKeepsItOpen) {
    class OrderedShell : public RecordingShell {
    public:
        std::vector<std::wstring>* order = nullptr;
        std::intptr_t Execute(const ShellRequest& request) override {
            order->push_back(L"shell " + request.file);
            return RecordingShell::Execute(request);
        }
    } ordered;
    std::vector<std::wstring> order;
    ordered.order = &order;
    ScopedPort<ShellHost> slot(ordered);
    RecordingInfoView view;
    view.order = &order;
    frmInfo form(view);

    form.lblEmail_Click();
    EXPECT_THAT(order, ElementsAre(L"unload", L"shell mailto:" + std::wstring(kSupportEmail)));
    EXPECT_EQ(ordered.requests.at(0).show, show::Default);
    EXPECT_EQ(ordered.requests.at(0).hwnd, 0);

    form.lblHomepage_Click();
    EXPECT_EQ(view.unloads, 1);
    EXPECT_EQ(ordered.requests.at(1).file, kHomepage);
    EXPECT_EQ(std::pair(ordered.requests[1].show, ordered.requests[1].hwnd), std::pair(show::Normal, std::intptr_t{0x1234}));
    EXPECT_FALSE(ordered.requests[1].verb);
    form.cmdOK_Click();
    EXPECT_EQ(view.unloads, 2);
    EXPECT_TRUE(ports.view.reports.empty());  // the shell's refusal (31) is no failure
}

TEST_F(DialogContent, AFailingInfoLoadIsReportedButAFailingNameGoesToWhoeverOpenedTheDialog) {
    class FailingView : public RecordingInfoView {
    public:
        InfoLabel failing = InfoLabel::lblVersion;
        void SetText(InfoLabel label, const std::wstring& text) override {
            if (label == failing) throw Error(5, L"frmInfo", L"Invalid procedure call or argument");
            RecordingInfoView::SetText(label, text);
        }
    } view;
    frmInfo(view).Form_Load();
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_THAT(ports.view.reports[0], HasSubstr(L"Call Stack: frmInfo.Form_Load() "));
    ASSERT_EQ(view.texts.size(), 1u);
    EXPECT_EQ(view.texts[0].first, InfoLabel::lblName);

    view.failing = InfoLabel::lblName;
    EXPECT_THROW(frmInfo(view).Form_Load(), Error);
    EXPECT_EQ(ports.view.reports.size(), 1u);
}

}  // namespace
}  // namespace qlora
