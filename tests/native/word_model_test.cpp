#include "word_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "support/error_of.h"

namespace {

namespace port = qlora::word;
using testing::ElementsAre;
using wordsim::Span;

using qlora::testing::ErrorOf;

class WordModel : public testing::Test {
protected:
    wordsim::Word word;
    std::shared_ptr<port::Application> app = word.Application();

    void Open(std::wstring text) { word.OpenDocument(L"C:\\Docs\\Letter.docx", std::move(text)); }
    const wordsim::Document& Doc() const { return *word.ActiveDocument(); }
    void Select(int32_t start, int32_t end) { app->Selection()->SetRange(start, end); }
    void Type(int32_t start, int32_t end, const std::wstring& text) {
        Select(start, end);
        app->Selection()->TypeText(text);
    }
    std::shared_ptr<port::Bookmarks> Bookmarks() { return app->ActiveDocument()->Bookmarks(); }
    void Mark(const std::wstring& name, int32_t start, int32_t end) {
        Select(start, end);
        Bookmarks()->Add(name, app->Selection()->Range());
    }
    Span Marked(std::wstring_view name) const { return Doc().FindBookmark(name)->span; }

    // A shown, temporary toolbar's controls.
    std::shared_ptr<port::CommandBarControls> Toolbar(const std::wstring& name = L"Quillora Toolbar") {
        auto bar = app->CommandBars()->Add(name, true);
        bar->SetVisible(true);
        return bar->Controls();
    }
    static std::shared_ptr<port::CommandBarButton> Button(const std::shared_ptr<port::CommandBarControls>& controls,
                                                          const std::wstring& caption, const std::wstring& tag = L"") {
        auto button = port::AsButton(controls->Add(port::mso::ControlButton, true));
        button->SetCaption(caption);
        button->SetTag(tag);
        return button;
    }
    static std::vector<std::wstring> Captions(const wordsim::ControlHost& host) {
        std::vector<std::wstring> captions;
        for (const auto& control : host.controls) captions.push_back(control->caption);
        return captions;
    }
};

using WordModelDocuments = WordModel;
using WordModelSelection = WordModel;
using WordModelBookmarks = WordModel;
using WordModelVariables = WordModel;
using WordModelCommandBars = WordModel;
using WordModelHost = WordModel;

TEST_F(WordModelDocuments, AreNamedAsWordNamesThemAndNeededForActiveDocumentAndSelection) {
    for (const auto& call : std::vector<std::function<void()>>{[&] { app->ActiveDocument(); }, [&] { app->Selection(); }}) {
        const auto error = ErrorOf(call);
        EXPECT_EQ(error.number, 4248);
        EXPECT_EQ(error.source, L"Microsoft Word");
        EXPECT_EQ(error.description, L"This command is not available because no document is open.");
    }
    word.NewDocument();
    word.NewDocument();
    EXPECT_EQ(app->ActiveDocument()->Name(), L"Document2");
    EXPECT_EQ(app->ActiveDocument()->Path(), L"");
    EXPECT_EQ(app->ActiveDocument()->FullName(), L"Document2");
    word.CloseDocument();
    EXPECT_EQ(word.NewDocument()->name, L"Document3");  // numbers are not reused

    Open(L"Text");
    const auto doc = app->ActiveDocument();
    EXPECT_EQ(doc->Name(), L"Letter.docx");
    EXPECT_EQ(doc->Path(), L"C:\\Docs");
    EXPECT_EQ(doc->FullName(), L"C:\\Docs\\Letter.docx");
    EXPECT_EQ(word.OpenDocument(L"/srv/memo.doc", L"")->FullName(), L"/srv/memo.doc");
    EXPECT_EQ(app->Documents()->Count(), 4);
}

TEST_F(WordModelDocuments, DocumentChangeIsRaisedWhenTheActiveDocumentChanges) {
    int changes = 0;
    auto connection = app->AdviseDocumentChange([&] { ++changes; });
    word.NewDocument();
    word.NewDocument();
    Open(L"");
    word.NewDocument();
    EXPECT_EQ(changes, 4);
    word.ActivateDocument(2);
    word.ActivateDocument(2);  // already active: nothing changes
    EXPECT_EQ(changes, 5);
    word.OpenDocument(L"c:\\docs\\LETTER.docx", L"");  // open already: activated, not opened twice
    EXPECT_EQ(changes, 6);
    EXPECT_EQ(word.DocumentCount(), 4);
    app->ActiveDocument()->Close(std::nullopt);
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(word.ActiveDocument()->name, L"Document2");  // the one active before comes back
    connection.Reset();
    word.CloseDocument();
    EXPECT_EQ(changes, 7);
}

TEST_F(WordModelDocuments, SaveAsRecordsTheCallRenamesTheDocumentAndCallsTheHook) {
    std::wstring hooked;
    word.OnSaveAs([&](const wordsim::Document& doc) { hooked = doc.FullName(); });
    word.NewDocument();
    port::SaveAsArgs args;
    args.FileName = L"D:\\Out\\Template.doc";
    args.FileFormat = port::wdFormatDocument;
    app->ActiveDocument()->SaveAs(args);
    EXPECT_EQ(hooked, L"D:\\Out\\Template.doc");
    EXPECT_EQ(app->ActiveDocument()->Name(), L"Template.doc");
    ASSERT_TRUE(Doc().savedAs);
    EXPECT_EQ(Doc().savedAs->FileFormat, port::wdFormatDocument);
}

TEST_F(WordModelDocuments, ObjectsOfAClosedDocumentFail) {
    Open(L"Text");
    const auto bookmarks = Bookmarks();
    const auto selection = app->Selection();
    word.CloseDocument();
    EXPECT_EQ(ErrorOf([&] { bookmarks->Count(); }).number, 5825);
    EXPECT_EQ(ErrorOf([&] { selection->TypeText(L"x"); }).number, 5825);
}

TEST_F(WordModelSelection, TypingReplacesTheSelectionOnlyWithReplaceSelectionAndLeavesTheCaretAfter) {
    Open(L"Dear Sir,");
    Type(5, 8, L"Madam");
    EXPECT_EQ(Doc().text, L"Dear Madam,");
    EXPECT_EQ(app->Selection()->Start(), 10);
    EXPECT_EQ(Doc().selection, (Span{10, 10}));
    word.SetReplaceSelection(false);
    Type(5, 10, L"my ");
    EXPECT_EQ(Doc().text, L"Dear my Madam,");
    EXPECT_EQ(Doc().selection, (Span{8, 8}));
}

TEST_F(WordModelSelection, SetRangeClampsAndCollapsesAndARangeFollowsLaterEdits) {
    Open(L"0123456789");
    Select(-5, 100);
    EXPECT_EQ(Doc().selection, (Span{0, 10}));
    Select(6, 2);
    EXPECT_EQ(Doc().selection, (Span{6, 6}));
    Select(5, 8);
    const auto range = app->Selection()->Range();
    Type(0, 0, L">> ");
    EXPECT_EQ(range->Start(), 8);
    EXPECT_EQ(range->End(), 11);
}

TEST_F(WordModelBookmarks, InsertedTextGrowsOnlyBookmarksItFallsStrictlyInside) {
    Open(L"0123456789");
    Mark(L"Around", 2, 6);
    Mark(L"StartsThere", 4, 6);
    Mark(L"EndsThere", 0, 4);
    Mark(L"Collapsed", 4, 4);
    Mark(L"After", 5, 7);
    Type(4, 4, L"abc");
    EXPECT_EQ(Marked(L"Around"), (Span{2, 9}));
    EXPECT_EQ(Marked(L"StartsThere"), (Span{7, 9}));
    EXPECT_EQ(Marked(L"EndsThere"), (Span{0, 4}));
    EXPECT_EQ(Marked(L"Collapsed"), (Span{7, 7}));
    EXPECT_EQ(Marked(L"After"), (Span{8, 10}));
}

TEST_F(WordModelBookmarks, ReplacedTextShrinksBookmarksBeforeTheNewTextGoesIn) {
    Open(L"0123456789");
    Mark(L"Covering", 1, 9);
    Mark(L"TailInside", 5, 9);
    Mark(L"HeadInside", 1, 5);
    Mark(L"Within", 4, 6);
    Type(3, 7, L"XY");
    EXPECT_EQ(Doc().TextOf(Marked(L"Covering")), L"12XY78");
    EXPECT_EQ(Doc().TextOf(Marked(L"TailInside")), L"78");
    EXPECT_EQ(Doc().TextOf(Marked(L"HeadInside")), L"12");
    EXPECT_EQ(Marked(L"Within"), (Span{5, 5}));

    word.ReplaceText(0, 100, L"");  // deleting everything collapses, it does not delete
    EXPECT_EQ(Doc().bookmarks.size(), 4u);
    EXPECT_EQ(Marked(L"Covering"), (Span{0, 0}));
}

TEST_F(WordModelBookmarks, NamesFollowWordsRules) {
    Open(L"Text");
    const auto bookmarks = Bookmarks();
    for (const auto& name : std::vector<std::wstring>{L"a", L"Name_1", L"Gr\u00F6\u00DFe", std::wstring(40, L'x')})
        EXPECT_NO_THROW(bookmarks->Add(name, nullptr)) << qlora::text::ToUtf8(name);
    for (const auto& name : std::vector<std::wstring>{L"", L"1abc", L"_hidden", L"has space", L"dash-ed", std::wstring(41, L'x')}) {
        const auto error = ErrorOf([&] { bookmarks->Add(name, nullptr); });
        EXPECT_EQ(error.number, 5828) << qlora::text::ToUtf8(name);
        EXPECT_EQ(error.description, L"Bad bookmark name.");
    }
    EXPECT_EQ(bookmarks->Count(), 4);
}

// A document's Bookmarks(i) counts in the alphabetical list of names, not by position.
TEST_F(WordModelBookmarks, NamesIgnoreCaseAndItemCountsInTheAlphabeticalListOfNames) {
    Open(L"0123456789");
    Mark(L"Zeta", 0, 4);
    EXPECT_TRUE(Bookmarks()->Exists(L"ZETA"));
    EXPECT_FALSE(Bookmarks()->Exists(L"Zet"));
    Mark(L"zeta", 5, 6);  // an existing name: the bookmark moves
    Mark(L"beta", 0, 3);
    Mark(L"Alpha", 5, 9);
    const auto bookmarks = Bookmarks();
    EXPECT_EQ(bookmarks->Count(), 3);
    EXPECT_EQ(bookmarks->Item(1)->Name(), L"Alpha");
    EXPECT_EQ(bookmarks->Item(2)->Name(), L"beta");
    EXPECT_EQ(bookmarks->Item(3)->Name(), L"zeta");
    for (const int32_t index : {0, 4}) EXPECT_EQ(ErrorOf([&] { bookmarks->Item(index); }).number, 5941);

    const auto alpha = bookmarks->Item(1);
    EXPECT_TRUE(word.DeleteBookmark(L"ALPHA"));
    EXPECT_FALSE(word.DeleteBookmark(L"Alpha"));
    EXPECT_EQ(bookmarks->Count(), 2);
    EXPECT_EQ(ErrorOf([&] { alpha->Name(); }).number, 5825);
}

TEST_F(WordModelBookmarks, WithoutARangeAddMarksTheSelectionAndARangeOfAnotherDocumentFails) {
    Open(L"Dear Sir,");
    Select(5, 8);
    const auto elsewhere = app->Selection()->Range();
    Bookmarks()->Add(L"Here", nullptr);
    EXPECT_EQ(Marked(L"Here"), (Span{5, 8}));
    word.NewDocument();
    EXPECT_EQ(ErrorOf([&] { Bookmarks()->Add(L"There", elsewhere); }).number, 4608);
}

TEST_F(WordModelVariables, AddReadChangeAndDeleteFollowWordsRules) {
    Open(L"");
    const auto variables = app->ActiveDocument()->Variables();
    const auto missing = ErrorOf([&] { variables->Item(L"Template"); });
    EXPECT_EQ(missing.number, 5825);
    EXPECT_EQ(missing.description, L"Object has been deleted.");

    variables->Add(L"Template", L"Letter");
    EXPECT_EQ(variables->Item(L"TEMPLATE")->Value(), L"Letter");
    EXPECT_EQ(ErrorOf([&] { variables->Add(L"template", L"Other"); }).number, 5903);

    const auto variable = variables->Item(L"Template");
    variable->SetValue(L"Memo");
    EXPECT_EQ(Doc().FindVariable(L"Template")->value, L"Memo");
    variable->Delete();
    EXPECT_EQ(ErrorOf([&] { variables->Item(L"Template"); }).number, 5825);
    EXPECT_EQ(ErrorOf([&] { variable->Value(); }).number, 5825);

    variables->Add(L"Cleared", L"x")->SetValue(L"");  // Word keeps no empty variable
    variables->Add(L"Never", L"");
    EXPECT_TRUE(Doc().variables.empty());
}

TEST_F(WordModelCommandBars, BarsAreFoundIgnoringCaseAndAddedWithOfficesDefaults) {
    const auto bars = app->CommandBars();
    const auto missing = ErrorOf([&] { bars->Item(L"Quillora Toolbar"); });
    EXPECT_EQ(missing.number, 5);
    EXPECT_EQ(missing.source, L"Microsoft Office");
    EXPECT_EQ(missing.description, L"Invalid procedure call or argument");

    const auto added = bars->Add(L"Quillora Toolbar", true);
    EXPECT_EQ(added->Position(), port::mso::BarFloating);
    EXPECT_EQ(added->RowIndex(), 0);
    EXPECT_EQ(added->Left(), 0);
    EXPECT_EQ(added->Top(), 0);
    const auto bar = word.FindBar(L"quillora toolbar");
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->visible);
    EXPECT_TRUE(bar->enabled);
    EXPECT_TRUE(bar->temporary);

    bars->Item(L"QUILLORA TOOLBAR")->SetLeft(120);
    EXPECT_EQ(bar->left, 120);
    EXPECT_EQ(ErrorOf([&] { bars->Add(L"Quillora toolbar", false); }).number, 5);
    added->SetPosition(5);  // positions are Office's 0..5
    for (const int32_t position : {-1, 6}) EXPECT_EQ(ErrorOf([&] { added->SetPosition(position); }).number, 5);
    EXPECT_EQ(added->Position(), 5);
}

TEST_F(WordModelCommandBars, ControlsAreAddedAtTheEndFoundByCaptionAndKeepTheirIdentity) {
    const auto controls = Toolbar();
    Button(controls, L"&Insert");
    const auto popup = port::AsPopup(controls->Add(port::mso::ControlPopup, true));
    ASSERT_TRUE(popup);
    popup->SetCaption(L"Insert wildcard");
    Button(popup->Controls(), L"Subject");

    EXPECT_TRUE(port::AsButton(controls->Item(L"insert")));  // case and accelerator marks ignored
    EXPECT_EQ(controls->Item(L"INSERT WILDCARD")->TypeName(), L"CommandBarPopup");
    EXPECT_EQ(ErrorOf([&] { controls->Item(L"Subject"); }).number, 5);  // only direct children
    EXPECT_EQ(ErrorOf([&] { controls->Add(2, true); }).number, 5);
    EXPECT_THAT(Captions(*word.FindBar(L"Quillora Toolbar")), ElementsAre(L"&Insert", L"Insert wildcard"));
    EXPECT_EQ(word.FindControl(L"Quillora Toolbar/Insert wildcard/Subject")->caption, L"Subject");
    EXPECT_FALSE(word.FindControl(L"Quillora Toolbar/Insert wildcard/Date"));

    const auto insert = word.ControlOf(controls->Item(L"Insert"));  // a new port object per call
    ASSERT_TRUE(insert);
    EXPECT_EQ(insert, word.ControlOf(controls->Item(L"insert")));
    EXPECT_EQ(insert, word.FindControl(L"Quillora Toolbar/Insert"));
    EXPECT_NE(insert, word.ControlOf(controls->Item(L"Insert wildcard")));
    EXPECT_FALSE(wordsim::Word().ControlOf(controls->Item(L"Insert")));
}

TEST_F(WordModelCommandBars, MoveGoesBeforeTheControlNowAtThatPosition) {
    const auto controls = Toolbar();
    for (const auto* caption : {L"A", L"B", L"C", L"D"}) Button(controls, caption);
    const auto& bar = *word.FindBar(L"Quillora Toolbar");
    const auto move = [&](const wchar_t* caption, std::optional<int32_t> before) { controls->Item(caption)->Move(before); };

    move(L"C", 1);
    EXPECT_THAT(Captions(bar), ElementsAre(L"C", L"A", L"B", L"D"));
    move(L"A", 2);  // its own position
    move(L"A", 3);  // before its neighbour: where it is
    EXPECT_THAT(Captions(bar), ElementsAre(L"C", L"A", L"B", L"D"));
    move(L"C", std::nullopt);
    EXPECT_THAT(Captions(bar), ElementsAre(L"A", L"B", L"D", L"C"));
    move(L"A", 5);  // count + 1: the end
    EXPECT_THAT(Captions(bar), ElementsAre(L"B", L"D", L"C", L"A"));
    for (const int32_t before : {0, 6}) EXPECT_EQ(ErrorOf([&] { move(L"B", before); }).number, 5);
    EXPECT_THAT(Captions(bar), ElementsAre(L"B", L"D", L"C", L"A"));
}

TEST_F(WordModelCommandBars, DeletedControlsAreGoneWithTheirContents) {
    const auto controls = Toolbar();
    const auto button = Button(controls, L"Insert");
    const auto popup = port::AsPopup(controls->Add(port::mso::ControlPopup, true));
    const auto inner = popup->Controls();
    Button(inner, L"Subject");
    button->Delete();
    popup->Delete();
    EXPECT_TRUE(word.FindBar(L"Quillora Toolbar")->controls.empty());
    EXPECT_EQ(ErrorOf([&] { controls->Item(L"Insert"); }).number, 5);
    const auto deleted = ErrorOf([&] { button->Caption(); });
    EXPECT_EQ(deleted.number, -2147467259);
    EXPECT_EQ(deleted.source, L"Microsoft Office");
    EXPECT_EQ(ErrorOf([&] { inner->Item(L"Subject"); }).number, -2147467259);
}

class WordModelClick : public WordModel {
protected:
    std::vector<std::pair<std::wstring, std::shared_ptr<const wordsim::Control>>> heard;
    port::EventConnection Listen(const std::shared_ptr<port::CommandBarButton>& button, const std::wstring& who) {
        return button->AdviseClick([this, who](const std::shared_ptr<port::CommandBarButton>& ctrl, bool&) {
            heard.emplace_back(who, word.ControlOf(ctrl));
        });
    }
};

TEST_F(WordModelClick, EveryButtonSharingTheTagHearsTheClickOfTheClickedButton) {
    const auto controls = Toolbar();
    const auto insert = Button(controls, L"Insert", L"qlora.insert");
    const auto again = Button(controls, L"Insert again", L"qlora.insert");
    const auto other = Button(controls, L"Other", L"qlora.other");
    const auto c1 = Listen(insert, L"insert");
    const auto c2 = Listen(again, L"again");
    const auto c3 = Listen(other, L"other");
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert again"));
    const auto clicked = word.FindControl(L"Quillora Toolbar/Insert again");
    EXPECT_THAT(heard, ElementsAre(std::pair(std::wstring(L"insert"), clicked), std::pair(std::wstring(L"again"), clicked)));
}

TEST_F(WordModelClick, WithoutATagOnlyTheClickedButtonHearsItUntilItsHandlerIsDetached) {
    const auto controls = Toolbar();
    const auto c1 = Listen(Button(controls, L"One"), L"one");
    auto c2 = Listen(Button(controls, L"Two"), L"two");
    EXPECT_TRUE(word.Click(L"Quillora Toolbar/Two"));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].first, L"two");
    c2.Reset();
    EXPECT_TRUE(word.Click(L"Quillora Toolbar/Two"));
    EXPECT_EQ(heard.size(), 1u);
}

TEST_F(WordModelClick, ControlsThatCannotBeReachedCannotBeClicked) {
    const auto controls = Toolbar();
    const auto disabled = Button(controls, L"Disabled", L"tag");
    const auto hidden = Button(controls, L"Hidden", L"tag");
    const auto popup = port::AsPopup(controls->Add(port::mso::ControlPopup, true));
    popup->SetCaption(L"Menu");
    const auto nested = Button(popup->Controls(), L"Nested", L"tag");
    const auto deleted = Button(controls, L"Deleted", L"tag");
    const auto c1 = Listen(disabled, L"disabled");
    const auto c2 = Listen(hidden, L"hidden");
    const auto c3 = Listen(nested, L"nested");
    const auto c4 = Listen(deleted, L"deleted");
    disabled->SetEnabled(false);
    hidden->SetVisible(false);
    popup->SetEnabled(false);
    const auto deletedNode = word.ControlOf(deleted);
    deleted->Delete();

    for (const auto* path : {L"Quillora Toolbar/Disabled", L"Quillora Toolbar/Hidden", L"Quillora Toolbar/Menu",
                             L"Quillora Toolbar/Menu/Nested"})
        EXPECT_FALSE(word.Click(path)) << qlora::text::ToUtf8(path);
    EXPECT_FALSE(word.Click(deletedNode));
    popup->SetEnabled(true);
    app->CommandBars()->Item(L"Quillora Toolbar")->SetVisible(false);
    EXPECT_FALSE(word.Click(L"Quillora Toolbar/Menu/Nested"));
    EXPECT_TRUE(heard.empty());
    EXPECT_THROW(word.Click(L"Quillora Toolbar/Absent"), std::invalid_argument);

    // Reachable again: the click fans out to the disabled and hidden buttons on the bar with the
    // Tag, but no longer to the deleted one.
    app->CommandBars()->Item(L"Quillora Toolbar")->SetVisible(true);
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Menu/Nested"));
    std::vector<std::wstring> who;
    for (const auto& [name, ctrl] : heard) who.push_back(name);
    EXPECT_THAT(who, ElementsAre(L"disabled", L"hidden", L"nested"));
}

TEST_F(WordModelHost, ToolbarChangesMarkTheNormalTemplateChanged) {
    const auto normal = app->NormalTemplate();
    std::shared_ptr<port::CommandBar> bar;
    std::shared_ptr<port::CommandBarButton> button;
    const std::vector<std::function<void()>> changes = {
        [&] { bar = app->CommandBars()->Add(L"Bar", true); },
        [&] { button = port::AsButton(bar->Controls()->Add(port::mso::ControlButton, true)); },
        [&] { button->SetCaption(L"Insert"); },      [&] { button->SetTag(L"tag"); },
        [&] { button->SetParameter(L"p"); },         [&] { button->SetStyle(port::mso::ButtonCaption); },
        [&] { button->SetFaceId(59); },              [&] { button->SetVisible(false); },
        [&] { button->SetEnabled(false); },          [&] { button->SetTooltipText(L"Tip"); },
        [&] { button->Move(std::nullopt); },         [&] { bar->SetPosition(port::mso::BarTop); },
        [&] { bar->SetRowIndex(2); },                [&] { bar->SetVisible(true); },
        [&] { button->Delete(); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        normal->SetSaved(true);
        changes[i]();
        EXPECT_FALSE(normal->Saved()) << "change " << i;
    }
    button = port::AsButton(bar->Controls()->Add(port::mso::ControlButton, true));
    normal->SetSaved(true);
    button->Caption();
    EXPECT_EQ(ErrorOf([&] { button->SetStyle(99); }).number, 5);
    EXPECT_TRUE(word.NormalTemplateSaved());  // reads and refused writes change nothing
}

TEST_F(WordModelHost, ARefusedMemberFailsAfterTheCallsLetThroughAndUntilAllowed) {
    Open(L"");
    word.Refuse(L"Selection.TypeText", {.letThrough = 1, .error = std::nullopt});
    const auto selection = app->Selection();
    selection->TypeText(L"a");
    const auto error = ErrorOf([&] { selection->TypeText(L"b"); });
    EXPECT_EQ(error.number, 4198);
    EXPECT_EQ(error.source, L"Microsoft Word");
    EXPECT_EQ(Doc().text, L"a");
    word.Allow(L"Selection.TypeText");
    selection->TypeText(L"c");
    EXPECT_EQ(Doc().text, L"ac");
    EXPECT_EQ(word.CallCount(L"Selection.TypeText"), 3);  // the refused call counts too

    word.Refuse(L"CommandBar.Left.put", {.error = qlora::Error(-2147418113, L"Custom", L"Catastrophic failure").Info()});
    const auto bar = app->CommandBars()->Add(L"Bar", false);
    EXPECT_EQ(ErrorOf([&] { bar->SetLeft(5); }).description, L"Catastrophic failure");
    EXPECT_EQ(bar->Left(), 0);
}

TEST_F(WordModelHost, CallsAreCountedPerMemberAndInTotal) {
    Open(L"Text");
    word.ResetCallCounts();
    app->ActiveDocument()->Bookmarks()->Exists(L"x");
    app->ActiveDocument()->Name();
    EXPECT_EQ(word.CallCount(L"Application.ActiveDocument.get"), 2);
    EXPECT_EQ(word.CallCount(L"Bookmarks.Exists"), 1);
    EXPECT_EQ(word.CallCount(L"Bookmarks.Count.get"), 0);
    EXPECT_EQ(word.TotalCalls(), 5);
    EXPECT_THROW(word.CallCount(L"Selection.Typetext"), std::invalid_argument);
    EXPECT_THROW(word.Refuse(L"Selection.Text.put"), std::invalid_argument);
}

TEST_F(WordModelHost, VersionAndTypeNamesAreWordsOwnAndObjectsFailOnceWordIsGone) {
    EXPECT_EQ(app->Version(), L"16.0");
    word.SetVersion(L"11.0");
    EXPECT_EQ(app->Version(), L"11.0");
    Open(L"Text");
    const auto doc = app->ActiveDocument();
    const auto bar = app->CommandBars()->Add(L"Bar", true);
    const std::vector<std::shared_ptr<port::Object>> objects = {
        app, doc, app->Documents(), app->Selection(), app->Selection()->Range(), doc->Bookmarks(),
        doc->Bookmarks()->Add(L"B", nullptr), doc->Variables(), doc->Variables()->Add(L"V", L"1"),
        app->NormalTemplate(), app->CommandBars(), bar, bar->Controls(), bar->Controls()->Add(port::mso::ControlButton, true),
    };
    std::vector<std::wstring> names;
    for (const auto& object : objects) names.push_back(object->TypeName());
    EXPECT_THAT(names, ElementsAre(L"Application", L"Document", L"Documents", L"Selection", L"Range", L"Bookmarks",
                                   L"Bookmark", L"Variables", L"Variable", L"Template", L"CommandBars", L"CommandBar",
                                   L"CommandBarControls", L"CommandBarButton"));

    auto gone = std::make_unique<wordsim::Word>();
    const auto orphan = gone->Application();
    gone.reset();
    EXPECT_EQ(ErrorOf([&] { orphan->Version(); }).number, -2147417848);
}

TEST_F(WordModelHost, DumpsShowTheStateReadably) {
    EXPECT_EQ(word.DumpDocument(), L"No document open.\n");
    Open(L"Dear \"Sir\",\r");
    Mark(L"Salutation", 5, 10);
    app->ActiveDocument()->Variables()->Add(L"Template", L"Letter");
    Select(0, 4);
    EXPECT_EQ(word.DumpDocument(),
              L"Document \"Letter.docx\" full name \"C:\\Docs\\Letter.docx\"\n"
              L"Text \"Dear \\\"Sir\\\",\\r\"\n"
              L"Selection [0, 4) \"Dear\"\n" L"View bookmarks shown=false\n"
              L"Bookmark \"Salutation\" [5, 10) \"\\\"Sir\\\"\"\n"
              L"Variable \"Template\" = \"Letter\"\n");

    const auto popup = port::AsPopup(Toolbar()->Add(port::mso::ControlPopup, true));
    popup->SetCaption(L"Insert");
    const auto button = Button(popup->Controls(), L"Subject", L"qlora.insert");
    button->SetStyle(port::mso::ButtonCaption);
    button->SetParameter(L"Subject");
    EXPECT_EQ(word.DumpToolbars(),
              L"NormalTemplate saved=false\n"
              L"Bar \"Quillora Toolbar\" position=4 row=0 left=0 top=0 enabled=true visible=true temporary=true\n"
              L"  Popup \"Insert\" tag=\"\" parameter=\"\" tooltip=\"\" enabled=true visible=true temporary=true\n"
              L"    Button \"Subject\" tag=\"qlora.insert\" parameter=\"Subject\" tooltip=\"\" enabled=true "
              L"visible=true style=2 face=0 temporary=true\n");
}

}  // namespace
