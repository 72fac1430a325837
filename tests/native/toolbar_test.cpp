// The toolbar against the in-memory Word: what DocumentChange builds, the stored position, the
// rebuilt wildcard menu, failures inside the build, and the buttons.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::kAddinSection;
using testing::kClockText;

class Toolbar : public testing::ToolbarTest {
protected:
    // Moves the toolbar as the user would drag it.
    void Drag(int32_t position, int32_t row, int32_t left, int32_t top) {
        const auto bar = word.Application()->CommandBars()->Item(L"Quillora Toolbar");
        bar->SetPosition(position);
        bar->SetRowIndex(row);
        bar->SetLeft(left);
        bar->SetTop(top);
    }
    std::vector<int32_t> Where() const {
        const auto bar = word.FindBar(L"Quillora Toolbar");
        return {bar->position, bar->rowIndex, bar->left, bar->top};
    }
    void Bookmark(const std::wstring& name) {
        const auto app = word.Application();
        app->Selection()->TypeText(L"x");
        app->ActiveDocument()->Bookmarks()->Add(name, app->Selection()->Range());
    }
};

const std::vector<std::wstring> kButtons{L"Insert wildcard", L"Choose wildcards", L"Check wildcards",
                                         L"Show wildcards",  L"Use as template",  L"Info"};
const std::vector<std::wstring> kEnglishDefaults{
    L"Subject", L"Body",     L"Sender",     L"To",          L"Attachments", L"Sent",
    L"Received", L"CC",      L"BCC",        L"Categories",  L"Created",     L"Modified",
    L"Importance", L"Sensitivity", L"Size", L"Current date", L"Current time", L"Current date + time"};

TEST_F(Toolbar, AFirstRunWithAnEmptySectionBuildsEighteenWildcardsDockedAtTheBottom) {
    word.NewDocument();
    const auto bar = word.FindBar(L"Quillora Toolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->temporary && bar->visible);
    EXPECT_EQ(Where(), (std::vector<int32_t>{3, 0, 0, 0}));
    EXPECT_EQ(Captions(L""), kButtons);
    EXPECT_EQ(Captions(L"Insert wildcard"), kEnglishDefaults);

    const auto subject = Control(L"Insert wildcard/Subject");
    EXPECT_EQ(subject->parameter + subject->tag, L"WildCard_SubjectWildCard_Subject" + kClockText);
    EXPECT_EQ(subject->tooltipText, L"Subject");
    EXPECT_TRUE(subject->style == 3 && subject->faceId == 163 && subject->temporary);
    EXPECT_EQ(Control(L"Insert wildcard/Current date + time")->parameter, L"WildCard_DateTimeNow");
    const auto popup = Control(L"Insert wildcard");
    EXPECT_EQ(popup->type, wordsim::ControlType::Popup);
    EXPECT_EQ(popup->tooltipText + popup->tag, L"Insert wildcardInsert wildcard" + kClockText);

    struct Fixed {
        const wchar_t *caption, *toolTip;
        int32_t style, face;
    };
    for (const auto& f : {Fixed{L"Choose wildcards", L"Choose the wildcards, that should be shown in the list", 3, 163},
                          Fixed{L"Check wildcards", L"Find wildcards whose bookmark was lost, damaged or never made", 3, 2},
                          Fixed{L"Show wildcards", L"Show or hide the brackets around every marked wildcard", 1, 119},
                          Fixed{L"Use as template", L"Use document as template", 3, 230},
                          Fixed{L"Info", L"Info", 1, 49}}) {
        const auto button = Control(f.caption);
        EXPECT_EQ(button->tooltipText, f.toolTip);
        EXPECT_EQ(std::tuple(button->style, button->faceId), std::tuple(f.style, f.face)) << text::ToUtf8(f.caption);
        EXPECT_EQ(button->tag, f.caption + kClockText);
        EXPECT_TRUE(button->enabled && button->visible && button->temporary);
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

// A later DocumentChange asks what only Word knows (is a document open, is the toolbar still shown,
// where does it stand) and builds again only when that, or the stored settings, changed.
TEST_F(Toolbar, ALaterDocumentChangeAsksSevenQuestionsAndBuildsAgainOnlyWhatChanged) {
    word.NewDocument();
    const auto built = word.DumpToolbars();
    word.ResetCallCounts();
    word.NewDocument();
    EXPECT_EQ(word.TotalCalls(), 7);  // Documents, Count, Visible, Position, RowIndex, Left, Top
    EXPECT_EQ(word.DumpToolbars(), built);

    const auto bar = [&] { return word.Application()->CommandBars()->Item(L"Quillora Toolbar"); };
    struct Change {
        const char* what;
        std::function<void()> make;
        std::function<bool()> undone;
    };
    const Change changes[] = {
        {"hidden", [&] { bar()->SetVisible(false); }, [&] { return word.FindBar(L"Quillora Toolbar")->visible; }},
        {"moved", [&] { bar()->SetLeft(300); }, [&] { return Where() == std::vector<int32_t>{3, 0, 0, 0}; }},
        {"places stored anew", [&] { Store(L"WildCard_Body", L"1"), Store(L"WildCard_Subject", L"2"); },
         [&] { return Captions(L"Insert wildcard").front() == L"Body"; }},
    };
    for (const auto& change : changes) {
        change.make();
        word.NewDocument();
        EXPECT_TRUE(change.undone()) << change.what;
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Toolbar, WithoutADocumentOnlyChooseWildcardsAndInfoAreEnabled) {
    const auto enabled = [this] {
        std::wstring flags;
        for (const auto& caption : kButtons) flags += Control(caption)->enabled ? L'1' : L'0';
        return flags;
    };
    Bar().CreateCommandbar();  // Word started without a document
    EXPECT_EQ(enabled(), L"010001");
    EXPECT_TRUE(Captions(L"Insert wildcard").empty());
    word.NewDocument();
    EXPECT_EQ(enabled(), L"111111");
    word.CloseDocument();
    EXPECT_EQ(enabled(), L"010001");
    EXPECT_FALSE(word.Click(L"Quillora Toolbar/Insert wildcard/Subject"));
}

// Word would otherwise ask at exit to save a Normal.dotm the user never changed.
TEST_F(Toolbar, EveryToolbarChangeLeavesTheNormalTemplatesSavedStateAsItFoundItAlsoWhenItFails) {
    struct Change {
        const char* name;
        std::function<void()> run;
        size_t reports;
    };
    const auto refused = [this](const wchar_t* member, std::function<void()> run) {
        return [this, member, run] { word.Refuse(member), run(), word.Allow(member); };
    };
    int row = 0;  // a stored place the toolbar does not have yet, so that the build sets it
    const Change changes[] = {
        {"first build", [&] { word.NewDocument(); }, 0},
        {"later build", [&] { word.NewDocument(); }, 0},
        {"rebuilt wildcard menu", [&] { Bar().CreateWildCardList(true); }, 0},
        {"failing rebuild", refused(L"CommandBarControl.Parameter.put", [&] { Bar().CreateWildCardList(true); }), 1},
        {"failing build", refused(L"CommandBar.RowIndex.put", [&] { Store(L"BarRowIndex", std::to_wstring(++row)), word.NewDocument(); }), 1},
        {"toolbar removed", [&] { Bar().DeleteCommandbar(); }, 0},
        {"build after removal", [&] { word.NewDocument(); }, 0},
    };
    for (const bool saved : {true, false}) {
        for (const auto& change : changes) {
            word.SetNormalTemplateSaved(saved);
            ports.view.reports.clear();
            change.run();
            EXPECT_EQ(word.NormalTemplateSaved(), saved) << change.name;
            EXPECT_EQ(ports.view.reports.size(), change.reports) << change.name;
        }
    }
    Bar().DeleteCommandbar();
    EXPECT_EQ(word.FindBar(L"Quillora Toolbar"), nullptr);
}

TEST_F(Toolbar, EveryBuildReappliesTheStoredPositionAndSavePositionStoresTheCurrentOne) {
    for (const auto& [name, value] : {std::pair{L"BarPosition", L"1"}, {L"BarRowIndex", L"2"}, {L"BarLeft", L"40"},
                                      {L"BarTop", L"-7"}})
        Store(name, value);
    word.NewDocument();
    EXPECT_EQ(Where(), (std::vector<int32_t>{1, 2, 40, -7}));

    Drag(4, 0, 300, 200);  // moved, and a document change before the next save
    word.NewDocument();
    EXPECT_EQ(Where(), (std::vector<int32_t>{1, 2, 40, -7}));

    Drag(4, 5, 300, 200);
    registry.writes.clear();
    Bar().SavePosition();
    std::vector<std::wstring> written;
    for (const auto& w : registry.writes) written.push_back(w.key + L"\\" + w.name + L"=" + w.data);
    const auto entry = [](std::wstring_view value) { return kAddinSection + L"\\" + std::wstring(value) + L'\0'; };
    EXPECT_THAT(written, ElementsAre(entry(L"BarLeft=300"), entry(L"BarPosition=4"), entry(L"BarRowIndex=5"),
                                     entry(L"BarTop=200")));
}

TEST_F(Toolbar, SavePositionSkipsAStepWordRefusesAndNeedsAToolbar) {
    Bar().SavePosition();  // nothing built yet
    EXPECT_TRUE(registry.writes.empty());
    word.NewDocument();
    word.Refuse(L"CommandBar.Position.get");
    Bar().SavePosition();
    ASSERT_EQ(registry.writes.size(), 3u);
    EXPECT_EQ(registry.writes[1].name, L"BarRowIndex");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Toolbar, StoredValuesThatAreNoWholeNumberOrNoBarPositionReadAsTheirDefaults) {
    Store(L"BarPosition", L"bottom");
    Store(L"BarRowIndex", L"1.5");
    Store(L"BarLeft", L"12");
    Store(L"WildCard_Subject", L"first");
    Store(L"WildCard_Body", L"99999999999");
    word.NewDocument();
    EXPECT_EQ(Where(), (std::vector<int32_t>{3, 0, 12, 0}));
    EXPECT_EQ(Captions(L"Insert wildcard"), kEnglishDefaults);
    for (const auto* outside : {L"5", L"-1"}) {
        Store(L"BarPosition", outside);
        word.NewDocument();
        EXPECT_EQ(word.FindBar(L"Quillora Toolbar")->position, 3) << text::ToUtf8(outside);
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Toolbar, ChangingTheListRebuildsThePopupFirstInTheNewStoredOrder) {
    word.NewDocument();
    StoreSelection({L"WildCard_InFolder", L"WildCard_Sender", L"WildCard_Subject"});
    Bar().CreateWildCardList(true);
    EXPECT_EQ(Captions(L""), kButtons);
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"In folder", L"Sender", L"Subject"));
    EXPECT_THAT(basWildcardBtns::Keys(), ElementsAre(L"WildCard_Subject", L"WildCard_Sender", L"WildCard_InFolder"));

    // Without a change the list only grows: a newly chosen wildcard joins, none leaves.
    Store(L"WildCard_Body", L"2");
    Store(L"WildCard_Subject", L"0");
    Bar().CreateWildCardList(false);
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"In folder", L"Body", L"Sender", L"Subject"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Toolbar, AFailureInTheWildcardListIsReportedAndTheOtherButtonsAreStillBuilt) {
    word.Refuse(L"CommandBarControl.Parameter.put", {.letThrough = 2});
    word.NewDocument();
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"Subject", L"Body", L"Sender"));
    EXPECT_EQ(Captions(L""), kButtons);
    EXPECT_TRUE(word.FindBar(L"Quillora Toolbar")->visible);
    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    const auto addButton = report.find(L"Call Stack: clsCommandBar.AddButton(myParent={CommandBarPopup}, "
                                       L"strParam='WildCard_Sender', strToolTip='', lngFaceId=163, lngDefaultIndex=3)");
    const auto list = report.find(L"Call Stack: clsCommandBar.CreateWildCardList(bolChange=False)");
    EXPECT_NE(addButton, std::wstring::npos) << text::ToUtf8(report);
    EXPECT_LT(addButton, list);
    EXPECT_EQ(report.find(L"CreateCommandbar"), std::wstring::npos);
}

TEST_F(Toolbar, TagsAreUniqueSoOneClickReachesOneHandlerAlsoAfterRebuilds) {
    word.NewDocument();
    word.NewDocument();
    dialogs.whileOpen = [this] { Bar().CreateWildCardList(true); };  // the selection dialog's OK
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Choose wildcards"));
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/Subject"));
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmWildcards"));
    EXPECT_EQ(word.ActiveDocument()->bookmarks.size(), 1u);
    std::set<std::wstring> tags;
    for (const auto& caption : kButtons) tags.insert(Control(caption)->tag);
    for (const auto& c : Control(L"Insert wildcard")->controls) tags.insert(c->tag);
    EXPECT_EQ(tags.size(), 6u + 18u);
}

// Word 2013 and later keep the toolbar of another document window live under a dialog.
TEST_F(Toolbar, AClickWhileADialogIsOpenIsIgnoredAndTheDialogStillWorks) {
    word.NewDocument();
    dialogs.whileOpen = [this] {
        dialogs.whileOpen = nullptr;
        for (const auto* path : {L"Quillora Toolbar/Choose wildcards", L"Quillora Toolbar/Info",
                                 L"Quillora Toolbar/Insert wildcard/Subject"})
            EXPECT_TRUE(word.Click(path));  // Word raises the click; the add-in lets it pass
        StoreSelection({L"WildCard_Body"});
        Bar().CreateWildCardList(true);  // the open dialog's OK
    };
    word.Click(L"Quillora Toolbar/Choose wildcards");
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmWildcards"));
    EXPECT_TRUE(word.ActiveDocument()->text.empty());
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"Body"));

    word.Click(L"Quillora Toolbar/Insert wildcard/Body");  // closed: clicks count again
    EXPECT_EQ(word.ActiveDocument()->text, L"<<Body>>");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Toolbar, UseAsTemplateNeedsABookmarkBeginningWithWildCardInThisLetterCase) {
    word.NewDocument();
    Bookmark(L"wildcard_Subject");
    Bookmark(L"Greeting");
    word.Click(L"Quillora Toolbar/Use as template");
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_EQ(ports.prompt.shown[0].text + L"/" + ports.prompt.shown[0].title,
              L"The document must contain at least one wildcard/Document can't be used as template");
    EXPECT_EQ(ports.prompt.shown[0].icon, MsgIcon::Information);

    Bookmark(L"WildCard_Subject1");  // numbered, among the others
    Bookmark(L"Zeta");
    word.Click(L"Quillora Toolbar/Use as template");
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmTemplate"));
    EXPECT_EQ(ports.prompt.shown.size(), 1u);
}

TEST_F(Toolbar, AFailingClickIsReportedUnderItsHandler) {
    word.NewDocument();
    word.Refuse(L"Bookmarks.Count.get");
    word.Click(L"Quillora Toolbar/Use as template");
    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    const auto inner = report.find(L"Call Stack: clsCommandBar.DocumentHasWildcards() ---");
    EXPECT_NE(inner, std::wstring::npos);
    EXPECT_LT(inner, report.find(L"Call Stack: clsCommandBar.myTemplateButton_Click(Ctrl={CommandBarButton}, "
                                 L"CancelDefault=False)"));
    auto* installed = Installed<ToolbarDialogs>::Set(nullptr);  // without the dialogs a click says so
    word.Click(L"Quillora Toolbar/Info");
    Installed<ToolbarDialogs>::Set(installed);
    ASSERT_EQ(ports.view.reports.size(), 2u);
    EXPECT_THAT(ports.view.reports[1], HasSubstr(L"Description: Object required"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Toolbar, InfoOpensItsDialogUntilTheToolbarObjectIsReleased) {
    word.NewDocument();
    word.Click(L"Quillora Toolbar/Info");
    basGlobal::gCommandBar = std::make_shared<clsCommandBar>();  // the old one is released
    EXPECT_TRUE(word.Click(L"Quillora Toolbar/Info"));
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmInfo"));
    EXPECT_TRUE(ports.prompt.shown.empty());
    EXPECT_NE(word.FindBar(L"Quillora Toolbar"), nullptr);  // the toolbar stays in Word
}

}  // namespace
}  // namespace qlora
