#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "addin/connect.h"
#include "addin/global.h"
#include "addin/word_addin.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "word_model.h"

namespace qlora {
namespace {

constexpr wchar_t kAddinKey[] = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";
constexpr wchar_t kLocalAppData[] = L"C:\\Users\\ann\\AppData\\Local";
constexpr wchar_t kDataPath[] = L"C:\\Users\\ann\\AppData\\Local\\Tandrel\\Quillora\\";

// Timers that tick when the test says so; a stopped timer's function is empty.
struct ManualTimers : TimerFactory {
    using Tick = std::shared_ptr<std::function<void()>>;
    struct Running : Timer {
        Tick onTick;
        ~Running() override { *onTick = nullptr; }
    };
    std::vector<std::pair<int32_t, Tick>> started;  // by interval

    std::unique_ptr<Timer> Start(int32_t interval, std::function<void()> onTick) override {
        auto running = std::make_unique<Running>();
        running->onTick = started.emplace_back(interval, std::make_shared<std::function<void()>>(onTick)).second;
        return running;
    }
    void TickAll() {
        for (const auto& [interval, onTick] : started)
            if (*onTick) (*onTick)();
    }
    size_t Ticking() const { return size_t(std::ranges::count_if(started, [](auto& t) { return bool(*t.second); })); }
};

struct RecordingDialogs : OpenDialogs {
    std::vector<std::wstring> unloaded;
    bool fails = false;
    void UnloadInfo() override {
        if (fails) throw Error(errnum::InvalidCall, L"frmInfo", L"Invalid procedure call or argument");
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

    testing::TrailFixturePorts trail;
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    testing::FakeFileSystem files;
    ScopedPort<FileSystemPort> filesSlot{files};
    ManualTimers timers;
    ScopedPort<TimerFactory> timersSlot{timers};
    RecordingDialogs dialogs;
    ScopedPort<OpenDialogs> dialogsSlot{dialogs};
    testing::FixedLocale locale{L"English"};
    ScopedPort<UserLocale> localeSlot{locale};
    wordsim::Word word;
};

// Without the user's application data folder there is no data folder, and all the rest.
TEST_F(AddinHandler, InitHandlerSetsUpTheSharedStateButBuildsNoToolbar) {
    for (const std::wstring dataPath : {L"", kDataPath}) {
        if (dataPath.empty()) files.specialFolders.clear();
        else files.specialFolders[28] = kLocalAppData;
        locale.name = L"German";
        clsWordAddIn handler;
        handler.InitHandler(word.Application());
        ASSERT_NE(basGlobal::gSettings, nullptr);
        EXPECT_EQ(std::pair(basGlobal::gSettings->RootKey, basGlobal::gSettings->KeyPath()),
                  std::pair(kHKeyCurrentUser, std::wstring(kAddinKey)));
        EXPECT_EQ(basGlobal::gLanguage, basGlobal::kGerman);
        basGlobal::gLanguage = basGlobal::kEnglish;
        EXPECT_EQ(basGlobal::gDataPath, dataPath);
        EXPECT_EQ(files.Find(dataPath.empty() ? L"\\Tandrel" : kDataPath) != nullptr, !dataPath.empty());
        ASSERT_NE(basGlobal::gTemplateList, nullptr);
        EXPECT_EQ(basGlobal::gTemplateList->FilePath(), dataPath.empty() ? L"" : dataPath + L"NewTemplates.ini");
        EXPECT_EQ(basDisplayNames::Count(), 34);
        ASSERT_EQ(timers.started.size(), 1u);
        EXPECT_EQ(timers.started[0].first, 5000);
        EXPECT_EQ(Toolbar(), nullptr);  // Word started without a document: no toolbar yet
        EXPECT_TRUE(trail.view.reports.empty());
        handler.UnInitHandler();
        timers.started.clear();
        basGlobal::gTemplateList.reset();
        basGlobal::gDataPath.clear();
    }
}

// UnInitHandler releases the state, stops the events and timer, and unloads the dialogs.
TEST_F(AddinHandler, DocumentChangeBuildsTheToolbarTimerTicksStoreItsPositionAndUnInitHandlerReleasesAll) {
    clsWordAddIn handler;
    handler.InitHandler(word.Application());
    word.NewDocument();
    ASSERT_NE(Toolbar(), nullptr);
    timers.TickAll();
    const auto left = registry.Get(kHKeyCurrentUser, kAddinKey, L"BarPosition");
    ASSERT_TRUE(left.has_value());
    EXPECT_EQ(left->data, std::wstring(L"3") + L'\0');  // docked at the bottom by default

    const auto templateList = basGlobal::gTemplateList;
    handler.UnInitHandler();
    EXPECT_TRUE(!basGlobal::gWordApplication && !basGlobal::gCommandBar && !basGlobal::gSettings);
    EXPECT_EQ(basDisplayNames::Count(), 0);
    EXPECT_EQ(timers.Ticking(), 0u);
    EXPECT_EQ(dialogs.unloaded, (std::vector<std::wstring>{L"frmInfo", L"frmShowError"}));
    EXPECT_EQ(basGlobal::gTemplateList, templateList);  // kept for the next connection
    EXPECT_EQ(basGlobal::gDataPath, kDataPath);
    const auto calls = word.TotalCalls();
    word.NewDocument();  // no longer heard
    EXPECT_EQ(word.TotalCalls(), calls);
    EXPECT_TRUE(trail.view.reports.empty());
}

TEST_F(AddinHandler, RefusedEventSubscriptionIsReportedAndTheRestSkipped) {
    word.Refuse(L"Application.DocumentChange.advise");
    clsWordAddIn handler;
    handler.InitHandler(word.Application());
    ASSERT_EQ(trail.view.reports.size(), 1u);
    EXPECT_NE(trail.view.reports[0].find(L"  Call Stack: clsWordAddIn.InitHandler(myApplication={Application}) "),
              std::wstring::npos);
    EXPECT_TRUE(timers.started.empty());
    EXPECT_EQ(basDisplayNames::Count(), 0);
    // The store points at the add-in's key all the same, not at its class defaults.
    EXPECT_EQ(std::pair(basGlobal::gSettings->RootKey, basGlobal::gSettings->KeyPath()),
              std::pair(kHKeyCurrentUser, std::wstring(kAddinKey)));
}

TEST_F(AddinHandler, FailingToolbarBuildIsReportedByTheToolbarNotTheHandler) {
    clsWordAddIn handler;
    handler.InitHandler(word.Application());
    word.Refuse(L"CommandBars.Add");
    word.NewDocument();
    ASSERT_EQ(trail.view.reports.size(), 1u);
    EXPECT_NE(trail.view.reports[0].find(L"  Call Stack: clsCommandBar.CreateCommandbar() "), std::wstring::npos);
    EXPECT_EQ(trail.view.reports[0].find(L"myWordApp_DocumentChange"), std::wstring::npos);
}

class Connecting : public AddinHandler {
protected:
    const std::function<std::shared_ptr<word::Application>()> thisWord = [this] { return word.Application(); };
    const Connect::Shown shown{{ArgObject{L"Application"}}, {ArgObject{L"COMAddIn"}}, {ArgArray{}}};
};

// Word may or may not raise DocumentChange for its start-up document; the toolbar comes either way,
// and once only.
TEST_F(Connecting, StartupCompleteBuildsTheToolbarForADocumentNoDocumentChangeAnnounced) {
    const std::pair<std::function<void()>, bool> starts[] = {
        {[] {}, false}, {[&] { word.NewDocument(false); }, true}, {[&] { word.NewDocument(); }, true}};
    for (const auto& [openDocument, toolbar] : starts) {
        Connect connect;
        connect.IDTExtensibility2_OnConnection(thisWord, 1, shown);
        openDocument();
        const auto adds = word.CallCount(L"CommandBarControls.Add");
        connect.IDTExtensibility2_OnStartupComplete();
        EXPECT_EQ(Toolbar() != nullptr, toolbar) << adds;
        EXPECT_TRUE(adds == 0 || word.CallCount(L"CommandBarControls.Add") == adds) << "built twice";
        connect.IDTExtensibility2_OnDisconnection(1, ArgValue{ArgArray{}});
        while (word.DocumentCount() > 0) word.CloseDocument();
    }
    EXPECT_TRUE(trail.view.reports.empty());
}

// Unloaded by the user, the toolbar leaves Word with the add-in; Word quitting discards it itself.
// Loaded again, a fresh handler builds a working toolbar at once, with its timer. A failing release
// is the handler's own report; disconnection still ends, and adds none.
TEST_F(Connecting, UnloadingByTheUserRemovesTheToolbarLoadingAgainBringsItBackAFailingReleaseEndsIt) {
    Connect connect;
    connect.IDTExtensibility2_OnConnection(thisWord, 1, shown);
    word.NewDocument();
    connect.IDTExtensibility2_OnDisconnection(1, ArgValue{ArgArray{}});
    EXPECT_EQ(Toolbar(), nullptr);
    EXPECT_TRUE(word.NormalTemplateSaved());

    connect.IDTExtensibility2_OnConnection(thisWord, 0, shown);  // a document is open: built at once
    ASSERT_NE(Toolbar(), nullptr);
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/Subject"));
    EXPECT_NE(word.ActiveDocument()->FindBookmark(L"WildCard_Subject"), nullptr);
    EXPECT_EQ(timers.Ticking(), 1u);
    connect.IDTExtensibility2_OnDisconnection(0, ArgValue{ArgArray{}});
    EXPECT_NE(Toolbar(), nullptr);
    EXPECT_TRUE(trail.view.reports.empty());

    connect.IDTExtensibility2_OnConnection(thisWord, 0, shown);
    dialogs.fails = true;
    connect.IDTExtensibility2_OnDisconnection(1, ArgValue{ArgArray{}});
    EXPECT_FALSE(connect.Connected());
    ASSERT_EQ(trail.view.reports.size(), 1u);
    EXPECT_NE(trail.view.reports[0].find(L"  Call Stack: clsWordAddIn.UnInitHandler() "), std::wstring::npos);
    EXPECT_EQ(trail.view.reports[0].find(L"OnDisconnection"), std::wstring::npos);
    EXPECT_EQ(timers.Ticking(), 0u);
}

TEST_F(Connecting, HostThatIsNotWordEndsInAReportNotInAnError) {
    Connect connect;
    const auto notWord = []() -> std::shared_ptr<word::Application> {
        throw Error(errnum::ObjectRequired, kProjectName, L"Object required");
    };
    connect.IDTExtensibility2_OnConnection(notWord, 1, {{ArgObject{L"Object"}}, {ArgObject{L"Nothing"}}, {ArgEmpty{}}});
    ASSERT_EQ(trail.view.reports.size(), 1u);
    EXPECT_NE(trail.view.reports[0].find(L"  Call Stack: Connect.IDTExtensibility2_OnConnection(Application={Object}, "
                                         L"ConnectMode=1, AddInInst={Nothing}, custom={Empty})"),
              std::wstring::npos);
    connect.IDTExtensibility2_OnDisconnection(0, ArgValue{ArgEmpty{}});
    EXPECT_EQ(trail.view.reports.size(), 1u);
}

}  // namespace
}  // namespace qlora
