// "Check wildcards" and "Show wildcards" from the toolbar against the in-memory Word: the everyday
// ways a mark is lost, the dialog's list, "Repair all", and the error trail.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/toolbar_fakes.h"
#include "toolbar/check_wildcards.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Line = frmCheckWildcards::Line;

// The dialog as a user works it: the list is recorded, then `work` clicks its buttons.
struct ScriptedCheckDialog : CheckWildcardsView {
    std::vector<std::vector<Line>> lists;
    std::function<void(frmCheckWildcards&)> work = [](frmCheckWildcards&) {};
    void ShowCheckDialog(frmCheckWildcards& form) override { lists.push_back(form.Lines()), work(form); }
};

class CheckWildcards : public testing::ToolbarTest {
protected:
    CheckWildcards() {  // inserted twice, one copy pasted, one typed by hand, one edited inside
        word.NewDocument();
        word.Type(L"Re: ");
        EXPECT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/Subject"));
        word.Type(L"\rFrom: ");
        EXPECT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/Sender"));
        word.Type(L"\r");
        word.Copy(0, 15);  // "Re: <<Subject>>", with its bookmark
        word.Paste();
        word.Type(L" and <<Body>>");
        word.ReplaceText(26, 26, L"X");  // "<<SeXnder>>"
    }
    bool Check() { return word.Click(L"Quillora Toolbar/Check wildcards"); }

    ScriptedCheckDialog dialog;
    ScopedPort<CheckWildcardsView> dialogSlot{dialog};
};

TEST_F(CheckWildcards, ListsPastedTypedAndEditedAndRepairAllMendsBookmarksOnly) {
    std::wstring told;  // "Go to" a line that is not there is reported and the dialog stays open
    dialog.work = [&](frmCheckWildcards& form) { form.cmdGoTo_Click(7), told = form.cmdRepairAll_Click(); };
    ASSERT_TRUE(Check());
    EXPECT_THAT(dialog.lists.at(0),
                ElementsAre(Line{L"Damaged, will be removed", L"<<Sender>>",
                                 L"...: <<Subject>> From: <<SeXnder>> Re: <<Subject>> and..."},
                            Line{L"Not marked", L"<<Subject>>", L"...om: <<SeXnder>> Re: <<Subject>> and <<Body>>"},
                            Line{L"Not marked", L"<<Body>>", L"...Re: <<Subject>> and <<Body>>"}));
    EXPECT_EQ(told, L"2 wildcards repaired.\n1 damaged bookmarks held no wildcard any more and were removed.");
    EXPECT_THAT(ports.view.reports, ElementsAre(HasSubstr(L"frmCheckWildcards.cmdGoTo_Click(index=7)")));
    EXPECT_THAT(Marks(), ElementsAre(L"WildCard_Subject 4 <<Subject>>", L"WildCard_Subject1 38 <<Subject>>",
                                     L"WildCard_Body 54 <<Body>>"));

    ASSERT_TRUE(Check());  // all marked now: a box instead of the dialog
    EXPECT_EQ(dialog.lists.size(), 1u);
    EXPECT_EQ(Told(), L"Check wildcards: 3 wildcards checked: all are marked.\n");
}

// Each refusal ends its command with one report naming the command's steps; nothing changes.
TEST_F(CheckWildcards, ShowWildcardsSwitchesTheViewAndEachRefusalIsReported) {
    for (const bool shown : {true, false}) {
        ASSERT_TRUE(word.Click(L"Quillora Toolbar/Show wildcards"));
        EXPECT_EQ(word.ShowBookmarks(), shown);
    }
    std::wstring told = L"-";
    dialog.work = [&](frmCheckWildcards& form) { told = form.cmdRepairAll_Click(); };
    for (const auto& [member, button, trace] :
         {std::tuple{L"View.ShowBookmarks.put", L"Show wildcards", L"basCheckWildcards.ShowWildcards"},
          {L"Range.Text.get", L"Check wildcards", L"frmCheckWildcards.Read"},
          {L"Bookmark.Delete", L"Check wildcards", L"frmCheckWildcards.cmdRepairAll_Click"}}) {
        word.Refuse(member);
        ASSERT_TRUE(word.Click(L"Quillora Toolbar/" + std::wstring(button)));
        word.Allow(member);
        EXPECT_THAT(ports.view.reports, ElementsAre(HasSubstr(trace))) << text::ToUtf8(member);
        ports.view.reports.clear();
    }
    EXPECT_EQ(told, L"");
    EXPECT_FALSE(word.ShowBookmarks());
}

}  // namespace
}  // namespace qlora
