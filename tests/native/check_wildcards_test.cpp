// "Check wildcards" and "Show wildcards" from the toolbar against the in-memory Word: the everyday
// ways a mark is lost, the dialog's list, "Go to", "Repair all", and the error trail.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "support/toolbar_fakes.h"
#include "toolbar/check_wildcards.h"

namespace qlora {

void PrintTo(const frmCheckWildcards::Line& line, std::ostream* os) {
    *os << text::ToUtf8(line.kind + L" | " + line.wildcard + L" | " + line.excerpt);
}

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Line = frmCheckWildcards::Line;

// The dialog as a user works it: the list is recorded, then `work` clicks its buttons.
class ScriptedCheckDialog : public CheckWildcardsView {
public:
    std::vector<std::vector<Line>> lists;
    std::function<void(frmCheckWildcards&)> work;
    void ShowCheckDialog(frmCheckWildcards& form) override {
        lists.push_back(form.Lines());
        if (work) work(form);
    }
};

class CheckWildcards : public testing::ToolbarTest {
protected:
    CheckWildcards() {
        word.NewDocument();
        // Inserted twice, one copy pasted, one typed by hand, one edited inside.
        word.Type(L"Re: ");
        Insert(L"Subject");
        word.Type(L"\rFrom: ");
        Insert(L"Sender");
        word.Type(L"\r");
        word.Copy(0, 15);  // "Re: <<Subject>>", with its bookmark
        word.Paste();
        word.Type(L" and <<Body>>");
        word.ReplaceText(26, 26, L"X");  // "<<SeXnder>>"
    }
    void Insert(const wchar_t* caption) { ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/" + std::wstring(caption))); }
    bool Check() { return word.Click(L"Quillora Toolbar/Check wildcards"); }

    ScriptedCheckDialog dialog;
    ScopedPort<CheckWildcardsView> dialogSlot{dialog};
};

TEST_F(CheckWildcards, ListsPastedTypedAndEditedAndRepairAllMendsBookmarksOnly) {
    const std::wstring text = word.ActiveDocument()->text;
    std::wstring told;
    dialog.work = [&](frmCheckWildcards& form) { told = form.cmdRepairAll_Click(); };
    ASSERT_TRUE(Check());

    ASSERT_EQ(dialog.lists.size(), 1u);
    EXPECT_THAT(dialog.lists[0],
                ElementsAre(Line{L"Damaged, will be removed", L"<<Sender>>", L"...: <<Subject>> From: <<SeXnder>> Re: <<Subject>> and..."},
                            Line{L"Not marked", L"<<Subject>>", L"...om: <<SeXnder>> Re: <<Subject>> and <<Body>>"},
                            Line{L"Not marked", L"<<Body>>", L"...Re: <<Subject>> and <<Body>>"}));
    EXPECT_EQ(told, L"2 wildcards repaired.\n1 damaged bookmarks held no wildcard any more and were removed.");

    const auto doc = word.ActiveDocument();
    EXPECT_EQ(doc->text, text);
    std::vector<std::wstring> marks;
    for (const auto& b : doc->bookmarks) marks.push_back(b.name + L"=" + doc->TextOf(b.span));
    EXPECT_THAT(marks, ElementsAre(L"WildCard_Subject=<<Subject>>", L"WildCard_Subject1=<<Subject>>", L"WildCard_Body=<<Body>>"));

    ASSERT_TRUE(Check());
    EXPECT_EQ(dialog.lists.size(), 1u);
    ASSERT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_EQ(ports.prompt.shown[0].text, L"3 wildcards checked: all are marked.");
    EXPECT_EQ(ports.prompt.shown[0].title, L"Check wildcards");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(CheckWildcards, GoToSelectsThePlaceAndTheDialogStaysOpen) {
    dialog.work = [](frmCheckWildcards& form) {
        form.cmdGoTo_Click(2);
        form.cmdGoTo_Click(7);  // no such line: reported, the dialog goes on
    };
    ASSERT_TRUE(Check());
    EXPECT_EQ(word.ActiveDocument()->selection, (wordsim::Span{54, 62}));
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_THAT(ports.view.reports[0], HasSubstr(L"frmCheckWildcards.cmdGoTo_Click(index=7)"));
}

TEST_F(CheckWildcards, ShowWildcardsSwitchesTheViewOnlyAndARefusalIsReported) {
    const std::wstring before = word.ActiveDocument()->text;
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Show wildcards"));
    EXPECT_TRUE(word.ShowBookmarks());
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Show wildcards"));
    EXPECT_FALSE(word.ShowBookmarks());
    EXPECT_EQ(word.ActiveDocument()->text, before);

    // Each refusal ends its command with one report naming the command's steps; nothing changes.
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> refusals[] = {
        {L"View.ShowBookmarks.put", L"Show wildcards", L"basCheckWildcards.ShowWildcards"},
        {L"Range.Text.get", L"Check wildcards", L"frmCheckWildcards.Read"},
        {L"Bookmark.Delete", L"Check wildcards", L"frmCheckWildcards.cmdRepairAll_Click"},
    };
    std::wstring told = L"-";
    dialog.work = [&](frmCheckWildcards& form) { told = form.cmdRepairAll_Click(); };
    for (const auto& [member, button, trace] : refusals) {
        word.Refuse(member);
        ports.view.reports.clear();
        ASSERT_TRUE(word.Click(L"Quillora Toolbar/" + std::wstring(button)));
        word.Allow(member);
        ASSERT_EQ(ports.view.reports.size(), 1u) << text::ToUtf8(member);
        EXPECT_THAT(ports.view.reports[0], HasSubstr(trace));
    }
    EXPECT_EQ(told, L"");
    EXPECT_FALSE(word.ShowBookmarks());
    EXPECT_EQ(word.ActiveDocument()->text, before);
}

}  // namespace
}  // namespace qlora
