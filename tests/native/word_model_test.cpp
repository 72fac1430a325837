// The in-memory Word's rules that the add-in's tests rely on and do not show themselves: bookmark
// spans as typing moves them, Move, and Normal's Saved state.
#include "word_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace port = qlora::word;
using qlora::Error;
using testing::ElementsAre;
using wordsim::Span;

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
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions;
        for (const auto& c : word.FindBar(L"Quillora Toolbar")->controls) captions.push_back(c->caption);
        return captions;
    }

    wordsim::Word word;
    std::shared_ptr<port::Application> app = word.Application();
};

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

TEST_F(WordModel, MoveGoesBeforeTheControlNowAtThatPosition) {
    const auto controls = Toolbar();
    for (const auto* caption : {L"A", L"B", L"C", L"D"})
        port::AsButton(controls->Add(port::mso::ControlButton, true))->SetCaption(caption);
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

// The changes a build can make without adding a control, which marks Normal changed in any case.
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

}  // namespace
