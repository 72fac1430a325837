// The in-memory Word's rules that the add-in's tests rely on: Word's error numbers, bookmark spans
// and names, variables (and clsWord's over them), Move, clicks fanned out by Tag, Normal's Saved
// state, refused members.
#include "word_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/text.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "toolbar/word_variables.h"

namespace {

namespace port = qlora::word;
using qlora::Error;
using testing::ElementsAre;
using wordsim::Span;
using Stored = std::vector<std::pair<std::wstring, std::wstring>>;  // a document's variables

class WordModel : public testing::Test {
protected:
    void Open(std::wstring text) { word.OpenDocument(L"C:\\Docs\\Letter.docx", std::move(text)); }
    const wordsim::Document& Doc() const { return *word.ActiveDocument(); }
    void Select(int32_t start, int32_t end) { app->Selection()->SetRange(start, end); }
    std::shared_ptr<port::Bookmarks> Bookmarks() { return app->ActiveDocument()->Bookmarks(); }
    void Mark(const std::wstring& name, int32_t start, int32_t end) {
        Select(start, end);
        Bookmarks()->Add(name, app->Selection()->Range());
    }
    Span Marked(std::wstring_view name) const { return Doc().FindBookmark(name)->span; }
    // A shown, temporary toolbar's controls.
    std::shared_ptr<port::CommandBarControls> Toolbar() {
        auto bar = app->CommandBars()->Add(L"Quillora Toolbar", true);
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
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (const auto& c : word.FindBar(L"Quillora Toolbar")->controls) captions.push_back(c->caption);
        return captions;
    }

    wordsim::Word word;
    std::shared_ptr<port::Application> app = word.Application();
};

TEST(WordModelErrors, AreWordsOwnNumbersSourcesAndTexts) {
    using Word = wordsim::Word;
    const auto doc = [](Word& w) {
        w.OpenDocument(L"C:\\Docs\\Letter.docx", L"Text");
        return w.Application()->ActiveDocument();
    };
    const wchar_t* const word = L"Microsoft Word";
    const wchar_t* const office = L"Microsoft Office";
    const std::tuple<std::function<void(Word&)>, int32_t, const wchar_t*, const wchar_t*> cases[] = {
        {[](Word& w) { w.Application()->ActiveDocument(); }, 4248, word,
         L"This command is not available because no document is open."},
        {[&](Word& w) { doc(w)->Variables()->Item(L"X"); }, 5825, word, L"Object has been deleted."},
        {[&](Word& w) { doc(w)->Bookmarks()->Add(L"1a", nullptr); }, 5828, word, L"Bad bookmark name."},
        {[](Word& w) { w.Application()->CommandBars()->Item(L"Quillora Toolbar"); }, 5, office,
         L"Invalid procedure call or argument"},
        {[](Word& w) {
             const auto controls = w.Application()->CommandBars()->Add(L"Bar", true)->Controls();
             const auto b = port::AsButton(controls->Add(port::mso::ControlButton, true));
             b->Delete(), b->Caption();
         },
         -2147467259, office, nullptr},
        {[](Word&) {
             auto gone = std::make_unique<Word>();
             const auto app = gone->Application();
             gone.reset(), app->Version();
         },
         -2147417848, word, nullptr},
    };
    for (const auto& [call, number, source, description] : cases) {
        Word fresh;
        const auto error = qlora::testing::ErrorOf([&] { call(fresh); });
        EXPECT_EQ(std::tuple(error.number, error.source), std::tuple(number, source));
        EXPECT_TRUE(!description || error.description == description) << qlora::text::ToUtf8(error.description);
    }
}

// Typed text grows only the bookmarks it falls strictly inside; replaced text shrinks them first.
TEST_F(WordModel, TypedTextMovesAndGrowsBookmarksAsWordDoes) {
    const std::tuple<const char*, Span, Span, const wchar_t*, Span> cases[] = {
        {"around", {2, 6}, {4, 4}, L"abc", {2, 9}},     {"starts there", {4, 6}, {4, 4}, L"abc", {7, 9}},
        {"ends there", {0, 4}, {4, 4}, L"abc", {0, 4}}, {"collapsed there", {4, 4}, {4, 4}, L"abc", {7, 7}},
        {"covering", {1, 9}, {3, 7}, L"XY", {1, 7}},    {"tail inside", {5, 9}, {3, 7}, L"XY", {5, 7}},
        {"within", {4, 6}, {3, 7}, L"XY", {5, 5}},
    };
    for (const auto& [what, mark, typed, text, after] : cases) {
        Open(L"0123456789");
        Mark(L"Mark", mark.start, mark.end);
        Select(typed.start, typed.end);
        app->Selection()->TypeText(text);
        EXPECT_EQ(Marked(L"Mark"), after) << what;
        word.ReplaceText(0, 100, L"");  // deleting everything collapses, it does not delete
        EXPECT_EQ(Marked(L"Mark"), (Span{0, 0})) << what;
        word.CloseDocument();
    }
}

// A document's Bookmarks(i) counts in the alphabetical list of names, not by position.
TEST_F(WordModel, BookmarkNamesFollowWordsRulesIgnoreCaseAndItemCountsAlphabetically) {
    Open(L"0123456789");
    Bookmarks()->Add(std::wstring(40, L'x'), nullptr);
    for (const auto& name :
         std::vector<std::wstring>{L"", L"_hidden", L"has space", L"dash-ed", std::wstring(41, L'x')})
        EXPECT_THROW(Bookmarks()->Add(name, nullptr), Error) << qlora::text::ToUtf8(name);

    Select(5, 8);
    Bookmarks()->Add(L"Here", nullptr);  // without a range: the selection
    EXPECT_EQ(Marked(L"Here"), (Span{5, 8}));
    Mark(L"Zeta", 0, 4);
    Mark(L"zeta", 5, 6);  // an existing name: the bookmark moves
    Mark(L"beta", 0, 3);
    EXPECT_TRUE(Bookmarks()->Exists(L"ZETA"));
    EXPECT_EQ(Marked(L"Zeta"), (Span{5, 6}));
    const auto bookmarks = Bookmarks();
    EXPECT_EQ(std::tuple(bookmarks->Count(), bookmarks->Item(1)->Name(), bookmarks->Item(4)->Name()),
              std::tuple(4, L"beta", L"zeta"));
    EXPECT_THROW(bookmarks->Item(5), Error);
    const auto beta = bookmarks->Item(1);
    EXPECT_TRUE(word.DeleteBookmark(L"BETA"));
    EXPECT_THROW(beta->Name(), Error);
}

// Lookup ignoring case is clsWord's test, over this model.
TEST_F(WordModel, AnEmptyVariableIsNotKeptAndADeletedOneIsGoneForItsHoldersToo) {
    Open(L"");
    const auto variables = app->ActiveDocument()->Variables();
    const auto variable = variables->Add(L"Template", L"Letter");
    variable->Delete();
    EXPECT_THROW(variable->Value(), Error);
    EXPECT_THROW(variables->Item(L"Template"), Error);
    variables->Add(L"Cleared", L"x")->SetValue(L"");
    variables->Add(L"Never", L"");
    EXPECT_TRUE(Doc().variables.empty());
}

// clsWord over this model: names without case, and every refusal of Word ignored, never reported.
TEST_F(WordModel, ClsWordReadsWritesAndDeletesVariablesIgnoringCaseAndEveryRefusalOfWord) {
    const qlora::testing::TrailFixturePorts ports;
    Open(L"");
    const auto document = app->ActiveDocument();
    const qlora::clsWord vars{};
    const auto stored = [&] {
        Stored out;
        for (const auto& v : word.ActiveDocument()->variables) out.emplace_back(v.name, v.value);
        return out;
    };
    // Word's variable names ignore case: a second write is the same variable again.
    vars.WriteVariable(document, L"TemplateName", L"First");
    vars.WriteVariable(document, L"TEMPLATENAME", L"Offer letter");
    EXPECT_EQ(vars.ReadVariable(document, L"templatename") + vars.ReadVariable(document, L"Other"), L"Offer letter");
    vars.DeleteVariable(document, L"Missing");
    EXPECT_EQ(stored(), (Stored{{L"TemplateName", L"Offer letter"}}));

    // refused, what Read gives, the value after writing "Changed" over "Kept", whether Delete left it
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, bool> rows[] = {
        {L"Document.Variables.get", L"", L"Kept", true}, {L"Variables.Item", L"", L"Kept", true},
        {L"Variable.Value.get", L"", L"Changed", false}, {L"Variable.Value.put", L"Kept", L"Kept", false},
        {L"Variable.Delete", L"Kept", L"Changed", true},
    };
    for (const auto& [refused, read, afterWrite, existsAfterDelete] : rows) {
        SCOPED_TRACE(qlora::text::ToUtf8(refused));
        vars.WriteVariable(document, L"TemplateName", L"Kept");
        word.Refuse(refused);
        EXPECT_EQ(vars.ReadVariable(document, L"TemplateName"), read);
        EXPECT_NO_THROW(vars.WriteVariable(document, L"TemplateName", L"Changed"));
        EXPECT_EQ(stored(), (Stored{{L"TemplateName", afterWrite}}));
        EXPECT_NO_THROW(vars.DeleteVariable(document, L"TEMPLATENAME"));
        EXPECT_EQ(word.ActiveDocument()->FindVariable(L"TemplateName") != nullptr, existsAfterDelete);
        word.Allow(refused);
    }
    // A refused Add still lets an existing variable take the value; a new name is given up silently.
    word.Refuse(L"Variables.Add");
    for (const auto* name : {L"TemplateName", L"Qlora"}) EXPECT_NO_THROW(vars.WriteVariable(document, name, L"New"));
    EXPECT_EQ(stored(), (Stored{{L"TemplateName", L"New"}}));

    for (const auto& doc : {std::shared_ptr<port::Document>(), document}) {
        if (doc) word.CloseDocument();
        EXPECT_EQ(vars.ReadVariable(doc, L"TemplateName"), L"");
        EXPECT_NO_THROW(vars.WriteVariable(doc, L"TemplateName", L"A"));
        EXPECT_NO_THROW(vars.DeleteVariable(doc, L"TemplateName"));
    }
    EXPECT_TRUE(ports.prompt.shown.empty() && ports.view.reports.empty() && ports.host.files.empty());
}

TEST_F(WordModel, MoveGoesBeforeTheControlNowAtThatPosition) {
    const auto controls = Toolbar();
    for (const auto* caption : {L"A", L"B", L"C", L"D"}) Button(controls, caption);
    const auto move = [&](const wchar_t* caption, std::optional<int32_t> before) {
        controls->Item(caption)->Move(before);
    };
    move(L"C", 1);
    EXPECT_THAT(Captions(), ElementsAre(L"C", L"A", L"B", L"D"));
    move(L"A", 3);  // before its neighbour: where it is
    move(L"C", std::nullopt);
    EXPECT_THAT(Captions(), ElementsAre(L"A", L"B", L"D", L"C"));
    move(L"A", 5);  // count + 1: the end
    EXPECT_THAT(Captions(), ElementsAre(L"B", L"D", L"C", L"A"));
    EXPECT_THROW(move(L"B", 6), Error);
}

// A click reaches every button sharing the clicked one's Tag, even those that cannot be clicked.
TEST_F(WordModel, EveryButtonSharingTheTagHearsTheClickAndWithoutATagOnlyTheClickedOne) {
    std::vector<std::wstring> heard;
    std::vector<port::EventConnection> connections;
    const auto controls = Toolbar();
    const auto listened = [&](const std::wstring& caption, const std::wstring& tag) {
        auto button = Button(controls, caption, tag);
        connections.push_back(button->AdviseClick([&heard, caption](const auto&, bool&) { heard.push_back(caption); }));
        return button;
    };
    listened(L"Insert", L"qlora.insert");
    listened(L"Disabled", L"qlora.insert")->SetEnabled(false);
    listened(L"Hidden", L"qlora.insert")->SetVisible(false);
    listened(L"Other", L"qlora.other");
    listened(L"One", L"");
    listened(L"Two", L"");
    EXPECT_FALSE(word.Click(L"Quillora Toolbar/Disabled") || word.Click(L"Quillora Toolbar/Hidden"));
    app->CommandBars()->Item(L"Quillora Toolbar")->SetVisible(false);
    EXPECT_TRUE(!word.Click(L"Quillora Toolbar/Insert") && heard.empty());
    app->CommandBars()->Item(L"Quillora Toolbar")->SetVisible(true);
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert"));
    EXPECT_THAT(heard, ElementsAre(L"Insert", L"Disabled", L"Hidden"));
    heard.clear();
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Two"));
    connections.back().Reset();  // detached: heard no more
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Two"));
    EXPECT_THAT(heard, ElementsAre(L"Two"));
}

TEST_F(WordModel, ToolbarChangesMarkTheNormalTemplateChanged) {
    const auto normal = app->NormalTemplate();
    std::shared_ptr<port::CommandBar> bar;
    std::shared_ptr<port::CommandBarButton> button;
    const std::vector<std::function<void()>> changes = {
        [&] { bar = app->CommandBars()->Add(L"Bar", true); },
        [&] { button = port::AsButton(bar->Controls()->Add(port::mso::ControlButton, true)); },
        [&] { button->SetEnabled(false); },
        [&] { button->Move(std::nullopt); },
        [&] { bar->SetPosition(port::mso::BarTop); },
        [&] { bar->SetRowIndex(2); },
        [&] { bar->SetVisible(true); },
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
    EXPECT_THROW(button->SetStyle(99), Error);
    EXPECT_TRUE(word.NormalTemplateSaved());  // reads and refused writes change nothing
}

TEST_F(WordModel, ARefusedMemberFailsAfterTheCallsLetThroughAndUntilAllowed) {
    Open(L"");
    word.Refuse(L"Selection.TypeText", {.letThrough = 1, .error = std::nullopt});
    const auto selection = app->Selection();
    selection->TypeText(L"a");
    EXPECT_THROW(selection->TypeText(L"b"), Error);
    word.Allow(L"Selection.TypeText");
    selection->TypeText(L"c");
    EXPECT_EQ(Doc().text, L"ac");
    EXPECT_THROW(word.Refuse(L"Selection.Text.put"), std::invalid_argument);
}

}  // namespace
