// Wildcard buttons against the in-memory Word: a click types the placeholder at the selection and
// marks it with the first free bookmark name; the registry of wrappers and the stored order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using wordsim::Span;

class WildcardButtons : public testing::ToolbarTest {
protected:
    bool Insert(std::wstring_view caption = L"Subject") {
        return word.Click(L"Quillora Toolbar/Insert wildcard/" + std::wstring(caption));
    }
    // "name [start, end) text" for each bookmark of the active document.
    std::vector<std::wstring> Marks() const {
        const auto doc = word.ActiveDocument();
        std::vector<std::wstring> marks;
        for (const auto& b : doc->bookmarks)
            marks.push_back(b.name + L" [" + text::Decimal(b.span.start) + L", " + text::Decimal(b.span.end) + L") " +
                            doc->TextOf(b.span));
        return marks;
    }
    // A pop-up menu of its own, outside the toolbar, with buttons of these captions.
    std::vector<std::shared_ptr<word::CommandBarButton>> Menu(std::initializer_list<const wchar_t*> captions) {
        const auto bar = word.Application()->CommandBars()->Add(L"Test", true);
        bar->SetVisible(true);
        const auto popup = word::AsPopup(bar->Controls()->Add(word::mso::ControlPopup, true));
        popup->SetCaption(L"Menu");
        std::vector<std::shared_ptr<word::CommandBarButton>> buttons;
        for (const auto* caption : captions) {
            buttons.push_back(word::AsButton(popup->Controls()->Add(word::mso::ControlButton, true)));
            buttons.back()->SetCaption(caption);
            buttons.back()->SetParameter(L"WildCard_Subject");
        }
        return buttons;
    }
};

// The selection of a Word whose typing makes something else of the text, as AutoFormat may.
class SelectionTypingOtherwise : public word::Selection {
public:
    explicit SelectionTypingOtherwise(std::shared_ptr<word::Selection> selection) : selection_(std::move(selection)) {}
    std::wstring TypeName() const override { return selection_->TypeName(); }
    int32_t Start() override { return selection_->Start(); }
    std::shared_ptr<word::Range> Range() override { return selection_->Range(); }
    void TypeText(const std::wstring& text) override { selection_->TypeText(L"\u00AB" + text.substr(2)); }
    void SetRange(int32_t start, int32_t end) override { selection_->SetRange(start, end); }

private:
    std::shared_ptr<word::Selection> selection_;
};

// A host that answers Nothing for the selection, or types otherwise.
class OtherWord : public word::Application {
public:
    OtherWord(std::shared_ptr<word::Application> word, bool typesOtherwise)
        : word_(std::move(word)), typesOtherwise_(typesOtherwise) {}
    std::wstring TypeName() const override { return word_->TypeName(); }
    std::shared_ptr<word::Document> ActiveDocument() override { return word_->ActiveDocument(); }
    std::shared_ptr<word::Selection> Selection() override {
        return typesOtherwise_ ? std::make_shared<SelectionTypingOtherwise>(word_->Selection()) : nullptr;
    }
    std::shared_ptr<word::Window> ActiveWindow() override { return word_->ActiveWindow(); }
    std::shared_ptr<word::Documents> Documents() override { return word_->Documents(); }
    std::shared_ptr<word::Template> NormalTemplate() override { return word_->NormalTemplate(); }
    std::shared_ptr<word::CommandBars> CommandBars() override { return word_->CommandBars(); }
    std::wstring Version() override { return word_->Version(); }
    EventConnection AdviseDocumentChange(std::function<void()> handler) override {
        return word_->AdviseDocumentChange(std::move(handler));
    }

private:
    std::shared_ptr<word::Application> word_;
    bool typesOtherwise_;
};

TEST_F(WildcardButtons, ThreeInsertionsAreNamedSubjectSubject1AndSubject2EachOverItsOwnPlaceholder) {
    word.NewDocument();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Insert());

    const auto doc = word.ActiveDocument();
    EXPECT_EQ(doc->text, L"<<Subject>><<Subject>><<Subject>>");
    EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject [0, 11) <<Subject>>", L"WildCard_Subject1 [11, 22) <<Subject>>",
                                     L"WildCard_Subject2 [22, 33) <<Subject>>"));
    EXPECT_EQ(doc->selection, (Span{33, 33}));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardButtons, TheFirstFreeNameIsTakenAgainAndNamesCompareWithoutCase) {
    word.NewDocument();
    for (int i = 0; i < 3; ++i) Insert();
    word.DeleteBookmark(L"WildCard_Subject1");
    Insert();
    EXPECT_THAT(Marks(), Contains(L"WildCard_Subject1 [33, 44) <<Subject>>"));

    const auto app = word.Application();
    app->ActiveDocument()->Bookmarks()->Add(L"WILDCARD_BODY", app->Selection()->Range());
    Insert(L"Body");
    EXPECT_THAT(Marks(), Contains(L"WildCard_Body1 [44, 52) <<Body>>"));
}

TEST_F(WildcardButtons, TheGermanPlaceholderGetsTheSameBookmarkName) {
    UseLanguage(basGlobal::kGerman);
    word.NewDocument();
    EXPECT_THAT(Captions(L""), ElementsAre(L"Platzhalter einfügen", L"Platzhalter auswählen", L"Platzhalter prüfen",
                                           L"Platzhalter anzeigen", L"Als Vorlage verwenden", L"Info"));
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Platzhalter einfügen/Betreff"));
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Platzhalter einfügen/Aktuelles Datum + Uhrzeit"));
    EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject [0, 11) <<Betreff>>",
                                     L"WildCard_DateTimeNow [11, 40) <<Aktuelles Datum + Uhrzeit>>"));
}

TEST_F(WildcardButtons, ARefusedWordCallEndsInOneReportFromAddBookmarkUpToTheClick) {
    word.NewDocument();
    word.Refuse(L"Bookmarks.Add");
    ASSERT_TRUE(Insert());

    // The typed text stays, selected and without a bookmark.
    const auto doc = word.ActiveDocument();
    EXPECT_EQ(doc->text, L"<<Subject>>");
    EXPECT_EQ(doc->selection, (Span{0, 11}));
    EXPECT_TRUE(doc->bookmarks.empty());

    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    EXPECT_THAT(report, HasSubstr(L"Method: clsWildCardBtn.AddBookmark \r\n  Number: 4198 "));
    const auto inner = report.find(
        L"Call Stack: clsWildCardBtn.AddBookmark(strText='<<Subject>>', strName='WildCard_Subject') ---");
    const auto outer = report.find(
        L"Call Stack: clsWildCardBtn.myButton_Click(Ctrl={CommandBarButton}, CancelDefault=False) ---");
    EXPECT_NE(inner, std::wstring::npos) << text::ToUtf8(report);
    EXPECT_LT(inner, outer);
    EXPECT_EQ(outer, report.rfind(L"Call Stack:"));
    EXPECT_THAT(ports.host.files[L"C:\\Addin\\Errors.txt"], HasSubstr(report));
}

// Typing over a selection need not replace it (Word's option, tracked changes, comments): the
// bookmark holds exactly the placeholder anyway, and the caret ends after it with nothing selected.
TEST_F(WildcardButtons, OverASelectionTheBookmarkHoldsJustThePlaceholderAndTheCaretEndsAfterIt) {
    struct Case {
        const wchar_t* name;
        bool replace, track, comment;
        const wchar_t* text;
        const wchar_t* mark;
    };
    const Case cases[] = {
        {L"Plain", true, false, false, L"Dear <<Subject>>,", L"WildCard_Subject [5, 16) <<Subject>>"},
        {L"Kept", false, false, false, L"Dear <<Subject>>Sir,", L"WildCard_Subject [5, 16) <<Subject>>"},
        {L"Tracked", true, true, false, L"Dear Sir<<Subject>>,", L"WildCard_Subject [8, 19) <<Subject>>"},
        {L"Commented", true, false, true, L"Dear Sir<<Subject>>,", L"WildCard_Subject [8, 19) <<Subject>>"},
        {L"Both", true, true, true, L"Dear Sir<<Subject>>,", L"WildCard_Subject [8, 19) <<Subject>>"},
    };
    for (const auto& c : cases) {
        word.SetReplaceSelection(c.replace);
        word.OpenDocument(std::wstring(L"C:\\Docs\\") + c.name + L".docx", L"Dear Sir,");
        word.SetTrackRevisions(c.track);
        if (c.comment) word.AddComment(6, 7);
        word.Select(5, 8);
        ASSERT_TRUE(Insert());
        EXPECT_EQ(word.ActiveDocument()->text, c.text) << text::ToUtf8(c.name);
        EXPECT_THAT(Marks(), ElementsAre(c.mark)) << text::ToUtf8(c.name);
        const auto end = word.ActiveDocument()->bookmarks[0].span.end;
        EXPECT_EQ(word.ActiveDocument()->selection, (Span{end, end}));
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

// A host that answers Nothing, or types something else than it was given, gets no bookmark.
TEST_F(WildcardButtons, NoSelectionOrOtherTypedTextIsReportedAndNoBookmarkIsMade) {
    struct Case {
        bool typesOtherwise;
        const wchar_t* reported;
        const wchar_t* text;
    };
    const Case cases[] = {
        {false, L"Description: Object required", L""},
        {true, L"Description: Word did not type the wildcard as it was given: '\u00ABSubject>>'", L"\u00ABSubject>>"},
    };
    for (const auto& c : cases) {
        word.NewDocument();
        basGlobal::gWordApplication = std::make_shared<OtherWord>(word.Application(), c.typesOtherwise);
        ports.view.reports.clear();
        ASSERT_TRUE(Insert());
        ASSERT_EQ(ports.view.reports.size(), 1u);
        EXPECT_THAT(ports.view.reports[0], HasSubstr(c.reported));
        EXPECT_EQ(word.ActiveDocument()->text, c.text);
        EXPECT_TRUE(word.ActiveDocument()->bookmarks.empty());
    }
}

TEST_F(WildcardButtons, SortingMovesEachButtonBeforeTheSmallerOfItsPlaceAndTheNumberOfButtons) {
    const auto buttons = Menu({L"A", L"B", L"C"});
    basWildcardBtns::AddwcButton(buttons[0], L"WildCard_A", 5);
    basWildcardBtns::AddwcButton(buttons[1], L"WildCard_B", 1);
    basWildcardBtns::AddwcButton(buttons[2], L"WildCard_C", 2);
    basWildcardBtns::SortButtons();

    std::vector<std::wstring> order;
    for (const auto& c : word.FindControl(L"Test/Menu")->controls) order.push_back(c->caption);
    EXPECT_THAT(order, ElementsAre(L"B", L"C", L"A"));
    EXPECT_EQ(word.CallCount(L"CommandBarControl.Move"), 3);
}

TEST_F(WildcardButtons, ARegistrationUnderAKnownNameTakesOverTheNewButtonAndItsClicks) {
    documentChange.Reset();  // no toolbar: only these buttons
    word.NewDocument();
    const auto buttons = Menu({L"Old", L"New"});
    basWildcardBtns::AddwcButton(buttons[0], L"WildCard_Subject", 1);
    basWildcardBtns::AddwcButton(buttons[1], L"wildcard_SUBJECT", 4);

    EXPECT_THAT(basWildcardBtns::Keys(), ElementsAre(L"WildCard_Subject"));
    {
        const auto wrapper = basWildcardBtns::GetwcButton(L"WILDCARD_subject");
        ASSERT_NE(wrapper, nullptr);
        EXPECT_EQ(wrapper->Index, 4);
        EXPECT_EQ(word.ControlOf(wrapper->Button()), word.FindControl(L"Test/Menu/New"));
    }

    word.Click(L"Test/Menu/Old");
    EXPECT_TRUE(word.ActiveDocument()->text.empty());
    word.Click(L"Test/Menu/New");
    EXPECT_EQ(word.ActiveDocument()->text, L"<<New>>");

    basWildcardBtns::ClearwcButtons();
    EXPECT_EQ(basWildcardBtns::GetwcButton(L"WildCard_Subject"), nullptr);
    word.Click(L"Test/Menu/New");
    EXPECT_EQ(word.ActiveDocument()->text, L"<<New>>");
}

TEST_F(WildcardButtons, AButtonWhoseClicksCannotBeReceivedIsNotRegistered) {
    const auto buttons = Menu({L"A"});
    word.Refuse(L"CommandBarButton.Click.advise");
    EXPECT_THROW(basWildcardBtns::AddwcButton(buttons[0], L"WildCard_A", 1), Error);
    EXPECT_TRUE(basWildcardBtns::Keys().empty());
    EXPECT_NO_THROW(basWildcardBtns::SortButtons());
    EXPECT_THAT(HuntERR31::Report(), HasSubstr(L"Call Stack: basWildcardBtns.AddwcButton(mywcButton={CommandBarButton}, "
                                               L"strKey='WildCard_A', lngIndex=1)"));
}

}  // namespace
}  // namespace qlora
