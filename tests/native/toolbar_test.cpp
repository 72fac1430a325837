// The toolbar against the in-memory Word: what DocumentChange builds, the stored position, the
// rebuilt wildcard menu, failures inside the build, and the buttons; a wildcard button's click types
// the placeholder at the selection and marks it with the first free bookmark name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <tuple>

#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::kAddinSection;
using Place = std::vector<int32_t>;  // position, row, left, top

class Toolbar : public testing::ToolbarTest {
protected:
    Place Where() const {
        const auto bar = word.FindBar(L"Quillora Toolbar");
        return {bar->position, bar->rowIndex, bar->left, bar->top};
    }
    void Bookmark(const std::wstring& name) {
        word.Type(L"x");
        const auto app = word.Application();
        app->ActiveDocument()->Bookmarks()->Add(name, app->Selection()->Range());
    }
    bool Click(const std::wstring& path) { return word.Click(L"Quillora Toolbar/" + path); }
};
using WildcardButtons = Toolbar;

const std::vector<std::wstring> kButtons{L"Insert wildcard", L"Choose wildcards", L"Check wildcards",
                                         L"Show wildcards",  L"Use as template",  L"Info"};
const std::vector<std::wstring> kEnglishDefaults{
    L"Subject",    L"Body",        L"Sender", L"To",           L"Attachments",  L"Sent",
    L"Received",   L"CC",          L"BCC",    L"Categories",   L"Created",      L"Modified",
    L"Importance", L"Sensitivity", L"Size",   L"Current date", L"Current time", L"Current date + time"};

// Without a document only Choose wildcards and Info are enabled, and the menu is empty.
TEST_F(Toolbar, AFirstRunWithAnEmptySectionBuildsEighteenWildcardsDockedAtTheBottom) {
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
    const auto bar = word.FindBar(L"Quillora Toolbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->temporary && bar->visible);
    EXPECT_EQ(Where(), (Place{3, 0, 0, 0}));
    EXPECT_EQ(Captions(), kButtons);
    EXPECT_EQ(Captions(L"Insert wildcard"), kEnglishDefaults);
    EXPECT_EQ(Control(L"Insert wildcard/Current date + time")->parameter, L"WildCard_DateTimeNow");
    EXPECT_EQ(Control(L"Insert wildcard")->type, wordsim::ControlType::Popup);

    // The parameter of a wildcard is its bookmark name; the tags of all carry the build's time.
    const std::tuple<std::wstring, std::wstring, std::wstring, int32_t, int32_t> faces[] = {
        {L"Insert wildcard/Subject", L"WildCard_Subject", L"Subject", 3, 163},
        {L"Insert wildcard", L"", L"Insert wildcard", 0, 0},
        {L"Use as template", L"", L"Use document as template", 3, 230},
    };
    for (const auto& [path, parameter, toolTip, style, face] : faces) {
        SCOPED_TRACE(text::ToUtf8(path));
        const auto c = Control(path);
        EXPECT_EQ(std::tie(c->parameter, c->tooltipText), std::tie(parameter, toolTip));
        EXPECT_EQ(std::tuple(c->style, c->faceId), std::tuple(style, face));
        EXPECT_EQ(c->tag, (parameter.empty() ? path : parameter) + testing::kClockText);
        EXPECT_TRUE(c->enabled && c->visible && c->temporary);
    }
    word.CloseDocument();
    EXPECT_EQ(enabled(), L"010001");
    EXPECT_FALSE(Click(L"Insert wildcard/Subject"));
    EXPECT_TRUE(reports.empty());
}

// A later DocumentChange asks what only Word knows (is a document open, is the toolbar still
// shown, where does it stand) and builds again only when that, or the stored settings, changed.
TEST_F(Toolbar, ALaterDocumentChangeAsksSevenQuestionsAndBuildsAgainOnlyWhatChanged) {
    word.NewDocument();
    const auto built = word.DumpToolbars();
    word.ResetCallCounts();
    word.NewDocument();
    EXPECT_EQ(word.TotalCalls(), 7);  // Documents, Count, Visible, Position, RowIndex, Left, Top
    EXPECT_EQ(word.DumpToolbars(), built);

    const auto bar = [&] { return word.Application()->CommandBars()->Item(L"Quillora Toolbar"); };
    const std::tuple<const char*, std::function<void()>, std::function<bool()>> changes[] = {
        {"hidden", [&] { bar()->SetVisible(false); }, [&] { return word.FindBar(L"Quillora Toolbar")->visible; }},
        {"moved", [&] { bar()->SetLeft(300); }, [&] { return Where()[2] == 0; }},
        {"places stored anew", [&] { Store(L"WildCard_Body", L"1"), Store(L"WildCard_Subject", L"2"); },
         [&] { return Captions(L"Insert wildcard").front() == L"Body"; }},
    };
    for (const auto& [what, make, undone] : changes) {
        make();
        word.NewDocument();
        EXPECT_TRUE(undone()) << what;
    }
    EXPECT_TRUE(reports.empty());
}

// Word would otherwise ask at exit to save a Normal.dotm the user never changed, or not ask about
// one the user did; a later build, a rebuilt menu and a build after removal are the Windows tier's
// AddInInWordsim.NormalStaysSavedOnEveryToolbarChangeAndUnloadingTakesTheToolbarAlong.
TEST_F(Toolbar, EveryToolbarChangeLeavesTheNormalTemplatesSavedStateAsItFoundItAlsoWhenItFails) {
    const auto refused = [this](const wchar_t* member, std::function<void()> run) {
        return [this, member, run] { word.Refuse(member), run(), word.Allow(member); };
    };
    const auto build = [this] { word.NewDocument(); };
    const auto rebuild = [this] { Bar().CreateWildCardList(true); };
    int row = 0;  // a stored place the toolbar does not have yet, so that the build sets it
    const auto moved = [&] { Store(L"BarRowIndex", std::to_wstring(++row)), build(); };
    const std::tuple<const char*, std::function<void()>, size_t> changes[] = {
        {"first build", build, 0},
        {"failing rebuild", refused(L"CommandBarControl.Parameter.put", rebuild), 1},
        {"failing build", refused(L"CommandBar.RowIndex.put", moved), 1},
        {"toolbar removed", [&] { Bar().DeleteCommandbar(); }, 0},
    };
    for (const bool saved : {true, false}) {
        for (const auto& [what, run, reported] : changes) {
            word.SetNormalTemplateSaved(saved);
            reports.clear();
            run();
            EXPECT_EQ(word.NormalTemplateSaved(), saved) << what;
            EXPECT_EQ(reports.size(), reported) << what;
        }
    }
    Bar().DeleteCommandbar();
    EXPECT_EQ(word.FindBar(L"Quillora Toolbar"), nullptr);
}

// Stored values that are no whole number or no bar position read as their defaults. SavePosition
// skips a step Word refuses, and stores nothing without a toolbar.
TEST_F(Toolbar, EveryBuildReappliesTheStoredPositionAndSavePositionStoresTheCurrentOne) {
    Bar().SavePosition();
    EXPECT_TRUE(registry.writes.empty());
    for (const auto& [name, value] : {std::pair{L"BarPosition", L"bottom"},
                                      {L"BarRowIndex", L"1.5"},
                                      {L"BarLeft", L"12"},
                                      {L"WildCard_Subject", L"first"}})
        Store(name, value);
    word.NewDocument();
    EXPECT_EQ(Where(), (Place{3, 0, 12, 0}));
    EXPECT_EQ(Captions(L"Insert wildcard"), kEnglishDefaults);
    for (const auto* outside : {L"5", L"-1"}) {
        Store(L"BarPosition", outside);
        word.NewDocument();
        EXPECT_EQ(Where()[0], 3) << text::ToUtf8(outside);
    }
    for (const auto& [name, value] :
         {std::pair{L"BarPosition", L"1"}, {L"BarRowIndex", L"2"}, {L"BarLeft", L"40"}, {L"BarTop", L"-7"}})
        Store(name, value);
    word.NewDocument();
    EXPECT_EQ(Where(), (Place{1, 2, 40, -7}));
    word.MoveBar(L"Quillora Toolbar", 4, 300, 200, 0);  // and a document change before a save
    word.NewDocument();
    EXPECT_EQ(Where(), (Place{1, 2, 40, -7}));

    word.MoveBar(L"Quillora Toolbar", 4, 300, 200, 5);
    registry.writes.clear();
    Bar().SavePosition();
    std::vector<std::wstring> written;
    for (const auto& w : registry.writes) written.push_back(w.key + L"\\" + w.name + L"=" + w.data);
    const auto entry = [](std::wstring_view value) { return kAddinSection + L"\\" + std::wstring(value) + L'\0'; };
    EXPECT_THAT(written, ElementsAre(entry(L"BarLeft=300"), entry(L"BarPosition=4"), entry(L"BarRowIndex=5"),
                                     entry(L"BarTop=200")));
    registry.writes.clear();
    word.Refuse(L"CommandBar.Position.get");
    Bar().SavePosition();
    ASSERT_EQ(registry.writes.size(), 3u);
    EXPECT_EQ(registry.writes[1].name, L"BarRowIndex");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Toolbar, ChangingTheListRebuildsThePopupFirstInTheNewStoredOrder) {
    word.NewDocument();
    StoreSelection({L"WildCard_InFolder", L"WildCard_Sender", L"WildCard_Subject"});
    Bar().CreateWildCardList(true);
    EXPECT_EQ(Captions(), kButtons);
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"In folder", L"Sender", L"Subject"));
    EXPECT_THAT(basWildcardBtns::Keys(), ElementsAre(L"WildCard_Subject", L"WildCard_Sender", L"WildCard_InFolder"));

    // Without a change the list only grows: a newly chosen wildcard joins, none leaves.
    Store(L"WildCard_Body", L"2");
    Store(L"WildCard_Subject", L"0");
    Bar().CreateWildCardList(false);
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"In folder", L"Body", L"Sender", L"Subject"));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Toolbar, AFailureInTheWildcardListIsReportedAndTheOtherButtonsAreStillBuilt) {
    word.Refuse(L"CommandBarControl.Parameter.put", {.letThrough = 2});
    word.NewDocument();
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"Subject", L"Body", L"Sender"));
    EXPECT_EQ(Captions(), kButtons);
    EXPECT_TRUE(word.FindBar(L"Quillora Toolbar")->visible);
    ASSERT_EQ(reports.size(), 1u);
    const auto addButton = reports[0].find(
        L"Call Stack: clsCommandBar.AddButton(myParent={CommandBarPopup}, "
        L"strParam='WildCard_Sender', strToolTip='', lngFaceId=163, lngDefaultIndex=3)");
    EXPECT_LT(addButton, reports[0].find(L"Call Stack: clsCommandBar.CreateWildCardList(bolChange=False)"));
    EXPECT_EQ(reports[0].find(L"CreateCommandbar"), std::wstring::npos);
}

TEST_F(Toolbar, TagsAreUniqueSoOneClickReachesOneHandlerAlsoAfterRebuilds) {
    word.NewDocument();
    word.NewDocument();
    dialogs.whileOpen = [this] { Bar().CreateWildCardList(true); };  // the selection dialog's OK
    ASSERT_TRUE(Click(L"Choose wildcards"));
    ASSERT_TRUE(Click(L"Insert wildcard/Subject"));
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
        // Word raises the click; the add-in lets it pass.
        for (const auto* path : {L"Choose wildcards", L"Info", L"Insert wildcard/Subject"}) EXPECT_TRUE(Click(path));
        StoreSelection({L"WildCard_Body"});
        Bar().CreateWildCardList(true);  // the open dialog's OK
    };
    Click(L"Choose wildcards");
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmWildcards"));
    EXPECT_TRUE(word.ActiveDocument()->text.empty());
    EXPECT_THAT(Captions(L"Insert wildcard"), ElementsAre(L"Body"));

    Click(L"Insert wildcard/Body");  // closed: clicks count again
    EXPECT_EQ(word.ActiveDocument()->text, L"<<Body>>");
    EXPECT_TRUE(reports.empty());
}

// A failing click is reported under its handler; Info opens its dialog until the toolbar object is
// released, and the toolbar stays in Word.
TEST_F(Toolbar, UseAsTemplateNeedsABookmarkBeginningWithWildCardInThisLetterCaseAndClicksReportFailures) {
    word.NewDocument();
    Bookmark(L"wildcard_Subject");
    Bookmark(L"Greeting");
    Click(L"Use as template");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(Told(), L"Document can't be used as template: The document must contain at least one wildcard\n");
    EXPECT_EQ(prompt.shown.at(0).icon, MsgIcon::Information);

    Bookmark(L"WildCard_Subject1");  // numbered, among the others
    Bookmark(L"Zeta");
    Click(L"Use as template");
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmTemplate"));
    EXPECT_EQ(prompt.shown.size(), 1u);
    word.Refuse(L"Bookmarks.Count.get");
    Click(L"Use as template");
    ASSERT_EQ(reports.size(), 1u);
    const auto inner = reports[0].find(L"Call Stack: clsCommandBar.DocumentHasWildcards() ---");
    EXPECT_LT(inner, reports[0].find(L"Call Stack: clsCommandBar.myTemplateButton_Click("
                                     L"Ctrl={CommandBarButton}, CancelDefault=False)"));
    Click(L"Info");
    basGlobal::gCommandBar = std::make_shared<clsCommandBar>();  // the old one is released
    EXPECT_TRUE(Click(L"Info"));
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmTemplate", L"frmInfo"));
    EXPECT_NE(word.FindBar(L"Quillora Toolbar"), nullptr);  // the toolbar stays in Word
}

// The selection of a Word whose typing makes something else of the text, as AutoFormat may.
struct SelectionTypingOtherwise final : word::Selection {
    explicit SelectionTypingOtherwise(std::shared_ptr<word::Selection> s) : selection(std::move(s)) {}
    std::wstring TypeName() const override { return selection->TypeName(); }
    int32_t Start() override { return selection->Start(); }
    std::shared_ptr<word::Range> Range() override { return selection->Range(); }
    void TypeText(const std::wstring& text) override { selection->TypeText(L"\u00AB" + text.substr(2)); }
    void SetRange(int32_t start, int32_t end) override { selection->SetRange(start, end); }
    const std::shared_ptr<word::Selection> selection;
};

// A host that answers Nothing for the selection, or types otherwise.
struct OtherWord final : word::Application {
    OtherWord(std::shared_ptr<word::Application> w, bool typesOtherwise)
        : word(std::move(w)), typesOtherwise(typesOtherwise) {}
    std::wstring TypeName() const override { return word->TypeName(); }
    std::shared_ptr<word::Document> ActiveDocument() override { return word->ActiveDocument(); }
    std::shared_ptr<word::Selection> Selection() override {
        if (!typesOtherwise) return nullptr;
        return std::make_shared<SelectionTypingOtherwise>(word->Selection());
    }
    std::shared_ptr<word::Window> ActiveWindow() override { return word->ActiveWindow(); }
    std::shared_ptr<word::Documents> Documents() override { return word->Documents(); }
    std::shared_ptr<word::Template> NormalTemplate() override { return word->NormalTemplate(); }
    std::shared_ptr<word::CommandBars> CommandBars() override { return word->CommandBars(); }
    std::wstring Version() override { return word->Version(); }
    EventConnection AdviseDocumentChange(std::function<void()> on) override { return word->AdviseDocumentChange(on); }
    const std::shared_ptr<word::Application> word;
    const bool typesOtherwise;
};

// In either language; the first free name is taken again, and names compare without case.
TEST_F(WildcardButtons, InsertionsAreNamedSubjectSubject1AndSoOnAndTheFirstFreeNameIsTakenAgain) {
    UseLanguage(basGlobal::kGerman);
    word.NewDocument();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Click(L"Platzhalter einfügen/Betreff"));
    EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject 0 <<Betreff>>", L"WildCard_Subject1 11 <<Betreff>>",
                                     L"WildCard_Subject2 22 <<Betreff>>"));
    word.DeleteBookmark(L"WildCard_Subject1");
    Bookmark(L"WILDCARD_BODY");
    for (const auto* caption : {L"Betreff", L"Inhalt", L"Aktuelles Datum + Uhrzeit"})
        Click(L"Platzhalter einfügen/" + std::wstring(caption));
    EXPECT_THAT(Marks(), ::testing::IsSupersetOf({L"WildCard_Subject1 34 <<Betreff>>", L"WildCard_Body1 45 <<Inhalt>>",
                                                  L"WildCard_DateTimeNow 55 <<Aktuelles Datum + Uhrzeit>>"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardButtons, ARefusedCallNoSelectionOrOtherTypedTextIsReportedAndNoBookmarkIsMade) {
    word.NewDocument();
    word.Refuse(L"Bookmarks.Add");
    ASSERT_TRUE(Click(L"Insert wildcard/Subject"));
    EXPECT_EQ(word.ActiveDocument()->text, L"<<Subject>>");
    EXPECT_EQ(word.ActiveDocument()->selection, (wordsim::Span{0, 11}));
    EXPECT_THAT(reports, ElementsAre(AllOf(HasSubstr(L"Method: clsWildCardBtn.AddBookmark \r\n  Number: 4198 "),
                                           HasSubstr(L"Call Stack: clsWildCardBtn.AddBookmark(strText="
                                                     L"'<<Subject>>', strName='WildCard_Subject') ---"),
                                           HasSubstr(L"Call Stack: clsWildCardBtn.myButton_Click(Ctrl="
                                                     L"{CommandBarButton}, CancelDefault=False) ---"))));
    for (const auto& [typesOtherwise, reported, text] :
         {std::tuple{false, L"Description: Object required", L""},
          {true, L"Description: Word did not type the wildcard as it was given: '\u00ABSubject>>'",
           L"\u00ABSubject>>"}}) {
        word.NewDocument();
        basGlobal::gWordApplication = std::make_shared<OtherWord>(word.Application(), typesOtherwise);
        reports.clear();
        ASSERT_TRUE(Click(L"Insert wildcard/Subject"));
        EXPECT_THAT(reports, ElementsAre(HasSubstr(reported)));
        EXPECT_EQ(word.ActiveDocument()->text, text);
        EXPECT_TRUE(word.ActiveDocument()->bookmarks.empty());
    }
}

// Typing over a selection need not replace it (Word's option; tracked changes and comments are the
// Windows tier's AddInInWordsim.TrackedChangesAndCommentsLeaveEachBookmarkOverExactlyItsPlaceholder):
// the bookmark holds just the placeholder, the caret ends after it.
TEST_F(WildcardButtons, OverASelectionTheBookmarkHoldsJustThePlaceholderAndTheCaretEndsAfterIt) {
    const std::tuple<bool, const wchar_t*> cases[] = {{true, L"Dear <<Subject>>,"}, {false, L"Dear <<Subject>>Sir,"}};
    for (const auto& [replace, text] : cases) {
        SCOPED_TRACE(text::ToUtf8(text));
        word.SetReplaceSelection(replace);
        word.OpenDocument(L"C:\\Docs\\Letter.docx", L"Dear Sir,");
        word.Select(5, 8);
        ASSERT_TRUE(Click(L"Insert wildcard/Subject"));
        EXPECT_EQ(word.ActiveDocument()->text, text);
        EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject 5 <<Subject>>"));
        EXPECT_EQ(word.ActiveDocument()->selection, (wordsim::Span{16, 16}));
        word.CloseDocument();
    }
    EXPECT_TRUE(reports.empty());
}

// Taking over a known name again is the Toolbar cases' rebuilds (one click, one insertion).
TEST_F(WildcardButtons, AButtonWhoseClicksCannotBeHeardIsNotRegistered) {
    documentChange.Reset();  // no toolbar: only this button
    word.NewDocument();
    const auto controls = word.Application()->CommandBars()->Add(L"Test", true)->Controls();
    const auto button = word::AsButton(controls->Add(word::mso::ControlButton, true));
    word.Refuse(L"CommandBarButton.Click.advise");
    EXPECT_THROW(basWildcardBtns::AddwcButton(button, L"WildCard_A", 1), Error);
    EXPECT_TRUE(basWildcardBtns::Keys().empty());
    EXPECT_NO_THROW(basWildcardBtns::SortButtons());
    EXPECT_THAT(HuntERR31::Report(), HasSubstr(L"Call Stack: basWildcardBtns.AddwcButton("
                                               L"mywcButton={CommandBarButton}, "
                                               L"strKey='WildCard_A', lngIndex=1)"));
}

}  // namespace
}  // namespace qlora
