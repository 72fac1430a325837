// The add-in handler and the connection object against the in-memory Word, registry, file
// system and timers: what Word's connection sets up, what its events and the timer do, and what
// disconnection leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>

#include "addin/connect.h"
#include "addin/word_addin.h"
#include "session/global.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr wchar_t kLocalAppData[] = L"C:\\Users\\ann\\AppData\\Local";
const std::wstring kDataPath = std::wstring(kLocalAppData) + L"\\Tandrel\\Quillora\\";

// Timers that never tick: only their starts and stops are counted.
class CountingTimers : public TimerFactory {
public:
    int started = 0;
    int ticking = 0;  // started and not yet stopped

    std::unique_ptr<Timer> Start(int32_t, std::function<void()>) override {
        struct Handle : Timer {
            explicit Handle(int& live) : live(live) { ++live; }
            ~Handle() override { --live; }
            int& live;
        };
        ++started;
        return std::make_unique<Handle>(ticking);
    }
};

class RecordingDialogs : public OpenDialogs {
public:
    std::vector<std::wstring> unloaded;
    bool fails = false;
    void UnloadInfo() override {
        if (fails) throw Error(errnum::InvalidCall, L"frmInfo", L"Invalid procedure call");
        unloaded.push_back(L"frmInfo");
    }
    void UnloadErrorReport() override { unloaded.push_back(L"frmShowError"); }
};

class AddinHandler : public ::testing::Test {
protected:
    AddinHandler() {
        files.specialFolders[28] = kLocalAppData;
        files.AddFolder(kLocalAppData);
    }
    ~AddinHandler() override {
        basGlobal::gWordApplication.reset();
        basGlobal::gCommandBar.reset();
        basGlobal::gSettings.reset();
        basDisplayNames::ClearNamesList();
    }
    const wordsim::Bar* Toolbar() const { return word.FindBar(L"Quillora Toolbar").get(); }
    // The settings store points at the add-in's key, not at its class defaults.
    static void ExpectTheAddinsKey() {
        ASSERT_NE(basGlobal::gSettings, nullptr);
        EXPECT_EQ(basGlobal::gSettings->RootKey, kHKeyCurrentUser);
        EXPECT_EQ(basGlobal::gSettings->KeyPath(), testing::kAddinSection);
    }

    testing::TrailFixturePorts trail;
    std::vector<std::wstring>& reports = trail.view.reports;
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    testing::FakeFileSystem files;
    ScopedPort<FileSystemPort> filesSlot{files};
    CountingTimers timers;
    ScopedPort<TimerFactory> timersSlot{timers};
    RecordingDialogs dialogs;
    ScopedPort<OpenDialogs> dialogsSlot{dialogs};
    testing::FixedLocale locale{L"English"};
    ScopedPort<UserLocale> localeSlot{locale};
    wordsim::Word word;
    clsWordAddIn handler;
};

// Word started without a document: no toolbar and no timer yet (no position for it to store).
TEST_F(AddinHandler, InitHandlerSetsUpTheSharedStateButBuildsNoToolbar) {
    locale.name = L"German";
    handler.InitHandler(word.Application());
    ASSERT_TRUE(basGlobal::gWordApplication && basGlobal::gCommandBar && basGlobal::gTemplateList);
    ExpectTheAddinsKey();
    EXPECT_EQ(std::exchange(basGlobal::gLanguage, basGlobal::kEnglish), basGlobal::kGerman);
    EXPECT_EQ(std::tuple(basGlobal::gDataPath, basGlobal::gTemplateList->FilePath(), basDisplayNames::Count()),
              std::tuple(kDataPath, kDataPath + L"NewTemplates.ini", 34));
    EXPECT_TRUE(files.Find(kDataPath) && files.Find(kDataPath)->folder);  // created on first run
    EXPECT_TRUE(!Toolbar() && timers.started == 0 && reports.empty());
}

// The toolbar's first build starts the one timer (what its tick stores is the Windows tier's
// AddinConnection.ConnectingSetsUpTheAddinAndWordsEventsAndTimerDriveIt); UnInitHandler releases
// what InitHandler made but keeps the template list and the data path for the next connection.
TEST_F(AddinHandler, DocumentChangeStartsOneTimerAndUnInitReleasesAll) {
    handler.InitHandler(word.Application());
    word.NewDocument();
    word.NewDocument();
    EXPECT_EQ(timers.started, 1);

    const auto templateList = basGlobal::gTemplateList;
    handler.UnInitHandler();
    EXPECT_TRUE(!basGlobal::gWordApplication && !basGlobal::gCommandBar && !basGlobal::gSettings);
    EXPECT_EQ(std::tuple(basDisplayNames::Count(), timers.ticking), std::tuple(0, 0));
    EXPECT_EQ(dialogs.unloaded, (std::vector<std::wstring>{L"frmInfo", L"frmShowError"}));
    EXPECT_EQ(std::tuple(basGlobal::gTemplateList, basGlobal::gDataPath), std::tuple(templateList, kDataPath));
    const auto calls = word.TotalCalls();
    word.NewDocument();  // no longer heard
    EXPECT_EQ(word.TotalCalls(), calls);
    EXPECT_TRUE(reports.empty());
}

TEST_F(AddinHandler, RefusedEventSubscriptionIsReportedAndTheRestSkipped) {
    word.Refuse(L"Application.DocumentChange.advise");
    handler.InitHandler(word.Application());
    EXPECT_THAT(reports,
                ElementsAre(HasSubstr(L"  Call Stack: clsWordAddIn.InitHandler(myApplication={Application}) ")));
    EXPECT_TRUE(timers.started == 0 && basDisplayNames::Count() == 0);
    ExpectTheAddinsKey();
}

TEST_F(AddinHandler, WithoutTheUsersApplicationDataFolderThereIsNoDataFolder) {
    files.specialFolders.clear();
    handler.InitHandler(word.Application());
    ASSERT_NE(basGlobal::gTemplateList, nullptr);
    EXPECT_EQ(std::tuple(basGlobal::gDataPath, basGlobal::gTemplateList->FilePath(), basDisplayNames::Count()),
              std::tuple(L"", L"", 34));
    EXPECT_TRUE(!files.Find(L"\\Tandrel") && reports.empty());
}

TEST_F(AddinHandler, FailingToolbarBuildIsReportedByTheToolbarNotTheHandler) {
    handler.InitHandler(word.Application());
    word.Refuse(L"CommandBars.Add");
    word.NewDocument();
    EXPECT_THAT(reports, ElementsAre(AllOf(HasSubstr(L"  Call Stack: clsCommandBar.CreateCommandbar() "),
                                           Not(HasSubstr(L"myWordApp_DocumentChange")))));
    EXPECT_EQ(timers.started, 0);  // no toolbar, no timer

    word.Allow(L"CommandBars.Add");
    word.NewDocument();
    EXPECT_TRUE(Toolbar() && timers.ticking == 1);
}

class Connecting : public AddinHandler {
protected:
    void Connect(int32_t mode) {
        connect.IDTExtensibility2_OnConnection([this] { return word.Application(); }, mode, shown);
    }
    void Disconnect(int32_t mode) { connect.IDTExtensibility2_OnDisconnection(mode, {ArgArray{}}); }

    qlora::Connect connect;
    const qlora::Connect::Shown shown{{ArgObject{L"Application"}}, {ArgObject{L"COMAddIn"}}, {ArgArray{}}};
};

// Word quitting discards the temporary toolbar itself; only the user's unloading removes it.
TEST_F(Connecting, WordQuittingLeavesTheToolbarToWord) {
    word.NewDocument();
    Connect(0);  // a document is open: built at once
    ASSERT_NE(Toolbar(), nullptr);
    Disconnect(0);
    EXPECT_TRUE(Toolbar() && reports.empty());
}

// A failing release is the handler's own report; disconnection still ends, and adds none.
TEST_F(Connecting, AFailingUnInitHandlerEndsTheDisconnectionWithOneReport) {
    Connect(1);
    word.NewDocument();
    dialogs.fails = true;
    Disconnect(1);
    EXPECT_FALSE(connect.Connected());
    EXPECT_THAT(reports, ElementsAre(AllOf(HasSubstr(L"  Call Stack: clsWordAddIn.UnInitHandler() "),
                                           Not(HasSubstr(L"OnDisconnection")))));
    EXPECT_EQ(timers.ticking, 0);
}

TEST_F(Connecting, HostThatIsNotWordEndsInAReportNotInAnError) {
    const auto notWord = []() -> std::shared_ptr<word::Application> {
        throw Error(errnum::ObjectRequired, kProjectName, L"Object required");
    };
    const qlora::Connect::Shown other{{ArgObject{L"Object"}}, {ArgObject{L"Nothing"}}, {ArgEmpty{}}};
    connect.IDTExtensibility2_OnConnection(notWord, 1, other);
    connect.IDTExtensibility2_OnDisconnection(0, ArgValue{ArgEmpty{}});
    EXPECT_THAT(reports, ElementsAre(HasSubstr(L"  Call Stack: Connect.IDTExtensibility2_OnConnection(Application="
                                               L"{Object}, ConnectMode=1, AddInInst={Nothing}, custom={Empty})")));
}

}  // namespace
}  // namespace qlora
