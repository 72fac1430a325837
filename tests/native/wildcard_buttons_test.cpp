// Wildcard buttons against the in-memory Word: a click types the placeholder at the selection and
// marks it with the first free bookmark name; the registry of wrappers.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

class WildcardButtons : public testing::ToolbarTest {
protected:
    bool Insert(const wchar_t* caption = L"Subject") { return word.Click(popup + caption); }
    std::wstring popup = L"Quillora Toolbar/Insert wildcard/";
};

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
    popup = L"Quillora Toolbar/Platzhalter einfügen/";
    word.NewDocument();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Insert(L"Betreff"));
    EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject 0 <<Betreff>>", L"WildCard_Subject1 11 <<Betreff>>",
                                     L"WildCard_Subject2 22 <<Betreff>>"));
    word.DeleteBookmark(L"WildCard_Subject1");
    const auto app = word.Application();
    app->ActiveDocument()->Bookmarks()->Add(L"WILDCARD_BODY", app->Selection()->Range());
    for (const auto* caption : {L"Betreff", L"Inhalt", L"Aktuelles Datum + Uhrzeit"}) Insert(caption);
    EXPECT_THAT(Marks(), IsSupersetOf({L"WildCard_Subject1 33 <<Betreff>>", L"WildCard_Body1 44 <<Inhalt>>",
                                       L"WildCard_DateTimeNow 54 <<Aktuelles Datum + Uhrzeit>>"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardButtons, ARefusedCallNoSelectionOrOtherTypedTextIsReportedAndNoBookmarkIsMade) {
    word.NewDocument();
    word.Refuse(L"Bookmarks.Add");
    ASSERT_TRUE(Insert());
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
        ASSERT_TRUE(Insert());
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
        ASSERT_TRUE(Insert());
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
