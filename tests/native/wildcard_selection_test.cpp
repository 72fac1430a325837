// The wildcard selection against the in-memory registry and Word: what the lists load, every move
// and the buttons it leaves, drag and drop, and what OK stores and rebuilds. That every wildcard
// stays in exactly one list is the wildcard_selection fuzz target's invariant.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_wildcards_view.h"
#include "support/toolbar_fakes.h"
#include "wildcards/wildcard_selection.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testing::FakeWildcardsView;
using testing::kDefaultSelected;
using testing::RowY;

const std::vector<std::wstring> kDefaultAvailable{
    L"Expiry time",  L"Flag request", L"Flag status", L"Due by",   L"Billing info", L"In folder",
    L"Mileage",      L"Read",         L"Auto forwarded", L"Delivery report request", L"Read receipt request",
    L"Reminder",     L"Voting respone", L"Voting Options", L"Deferred Delivery Time", L"Reply recipient names"};

class WildcardSelection : public testing::ToolbarTest {
protected:
    WildcardSelection() { view.form = &form; }

    std::vector<std::wstring> Texts(ListId list) const {
        std::vector<std::wstring> texts;
        for (const auto& entry : form.List(list).entries) texts.push_back(entry.text);
        return texts;
    }
    std::vector<std::wstring> Selected() const { return Texts(ListId::Selected); }
    std::vector<std::wstring> Available() const { return Texts(ListId::Available); }
    std::optional<int32_t> SelectedIndex(ListId list) const { return form.List(list).selected; }
    // Loads with only these wildcards selected, in this order.
    void LoadWith(const std::vector<std::wstring>& shown) {
        StoreSelection(shown);
        form.Form_Load();
    }
    std::wstring Stored(const std::wstring& name) const { return basGlobal::gSettings->ReadEntry(name, L"<none>"); }
    // A drag from one list dropped on another (or the same) at a row, as the list reports it.
    static void Drag(frmWildcards& on, ListId from, int32_t item, ListId to, int32_t y) {
        on.ItemSelected(from, item);
        on.OLEStartDrag(from);
        on.OLEDragDrop(to, y);
        on.OLECompleteDrag(from);
    }
    void Drag(ListId from, int32_t item, ListId to, int32_t y) { Drag(form, from, item, to, y); }
    ListButtons Buttons(bool add, bool addAll, bool remove, bool removeAll, bool up, bool down) const {
        return {add, addAll, remove, removeAll, up, down};
    }

    FakeWildcardsView view;
    frmWildcards form{view};
};

TEST(WildcardSortKeys, PlacesSortAsTheUsersLocaleSortsTheirKeysAndPlacesAbove62ComeFirst) {
    EXPECT_EQ(SortKey(1), std::wstring(kPositionAlphabet));
    EXPECT_EQ(SortKey(11).substr(0, 2), L"aA");
    EXPECT_EQ(SortKey(62), L"Z");
    EXPECT_EQ(SortKey(1000), L"");
    for (int32_t p = 1; p <= 62; ++p) {
        EXPECT_TRUE(SortsBefore(SortKey(63), SortKey(p))) << p;
        if (p < 62) {
            EXPECT_TRUE(SortsBefore(SortKey(p), SortKey(p + 1)) && !SortsBefore(SortKey(p + 1), SortKey(p))) << p;
        }
    }
    EXPECT_TRUE(SortsBefore(L"a", L"A"));  // by character code "A" would come first
    EXPECT_TRUE(SortsBefore(L"9", L"a"));
}

TEST_F(WildcardSelection, WithNothingStoredTheDialogsOwnDefaultsLoadInTheirOrder) {
    form.Form_Load();
    EXPECT_EQ(Selected(), kDefaultSelected);
    EXPECT_EQ(Available(), kDefaultAvailable);
    EXPECT_EQ(form.lvwSelected().At(16).tag, L"WildCard_DateTimeNow");
    EXPECT_EQ(form.lvwAvailable().At(1).tag, L"WildCard_ExpiryTime");
    for (const auto& entry : form.lvwAvailable().entries) EXPECT_EQ(entry.sortKey, L"");
    EXPECT_EQ(form.lvwSelected().At(1).sortKey, SortKey(1));
    EXPECT_EQ(form.Buttons(), Buttons(false, true, false, true, false, false));  // nothing selected yet
    EXPECT_GE(view.refreshes, 1);
}

TEST_F(WildcardSelection, PlacesAbove62LoadFirstNegativeMeansHiddenAndAnOddValueReadsAsItsDefault) {
    for (const auto& w : kWildcards) Store(std::wstring(w.bookmarkName), L"0");
    Store(L"WildCard_Subject", L"62");
    Store(L"WildCard_Body", L"12");
    Store(L"WildCard_Sender", L"11");
    Store(L"WildCard_Sent", L"2");
    Store(L"WildCard_CC", L"1");
    Store(L"WildCard_Mileage", L"100");
    Store(L"WildCard_Reminder", L"63");
    Store(L"WildCard_BCC", L"-1");
    Store(L"WildCard_Received", L"seven");  // read as its default place, 7
    form.Form_Load();
    EXPECT_THAT(Selected(),
                ElementsAre(L"Mileage", L"Reminder", L"CC", L"Sent", L"Received", L"Sender", L"Body", L"Subject"));
    EXPECT_EQ(Available().front(), L"To");  // table order, whatever the stored values
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardSelection, AFailingLoadIsReportedUnderFormLoadWithTheWildcardsLoadedSoFar) {
    basGlobal::gSettings.reset();
    form.Form_Load();
    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    EXPECT_THAT(report, HasSubstr(L"Call Stack: frmWildcards.AddToList(strName='WildCard_Subject', strText='Subject', "
                                  L"lngSelected=0) "));
    EXPECT_THAT(report, HasSubstr(L"Call Stack: frmWildcards.Form_Load() "));
    EXPECT_TRUE(Selected().empty());
    EXPECT_GE(view.refreshes, 1);  // the dialog shows what there is
}

TEST_F(WildcardSelection, AddInsertsAboveTheSelectedEntryOrAtTheEndAndTheNextAvailableEntryIsSelected) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    form.ItemSelected(ListId::Available, 2);  // Attachments (table order: Recipients, Attachments, ...)
    ASSERT_EQ(form.lvwAvailable().At(2).text, L"Attachments");
    form.cmdAdd_Click();
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Body", L"Sender", L"Attachments"));
    EXPECT_EQ(SelectedIndex(ListId::Available), 2);  // the entry that took its place
    EXPECT_EQ(form.lvwAvailable().At(2).text, L"Sent");
    EXPECT_EQ(SelectedIndex(ListId::Selected), std::nullopt);  // the added entry is not selected
    EXPECT_EQ(view.focused.back(), ListId::Available);

    form.ItemSelected(ListId::Selected, 2);
    form.cmdAdd_Click();
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Sent", L"Body", L"Sender", L"Attachments"));
    EXPECT_EQ(SelectedIndex(ListId::Selected), 3);  // still Body

    form.ItemSelected(ListId::Selected, 3);
    form.ItemSelected(ListId::Available, 1);
    form.cmdRemove_Click();  // Body goes above the available list's selected entry
    EXPECT_EQ(Available().front(), L"Body");
    EXPECT_EQ(form.lvwSelected().At(*SelectedIndex(ListId::Selected)).text, L"Sender");
    EXPECT_EQ(view.focused.back(), ListId::Selected);
}

TEST_F(WildcardSelection, RemovingTheLastEntrySelectsTheNewLastAndAnEmptiedListSelectsNothing) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body"});
    form.ItemSelected(ListId::Selected, 2);
    form.cmdRemove_Click();
    EXPECT_THAT(Selected(), ElementsAre(L"Subject"));
    EXPECT_EQ(SelectedIndex(ListId::Selected), 1);
    EXPECT_EQ(Available().back(), L"Body");  // nothing selected there: at the end
    form.cmdRemove_Click();
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(SelectedIndex(ListId::Selected), std::nullopt);
    EXPECT_EQ(form.Buttons(), Buttons(false, true, false, false, false, false));
}

TEST_F(WildcardSelection, AddAllAndRemoveAllMoveTheWholeSourceAsOneBlockInItsOrder) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    const auto available = Available();
    form.ItemSelected(ListId::Selected, 2);
    form.cmdAddAll_Click();
    std::vector<std::wstring> expected{L"Subject"};
    expected.insert(expected.end(), available.begin(), available.end());
    expected.insert(expected.end(), {L"Body", L"Sender"});
    EXPECT_EQ(Selected(), expected);
    EXPECT_TRUE(Available().empty());
    EXPECT_EQ(form.lvwSelected().At(*SelectedIndex(ListId::Selected)).text, L"Body");
    EXPECT_EQ(form.Buttons(), Buttons(false, false, true, true, true, true));

    form.cmdRemoveAll_Click();  // nothing selected in the available list: all at its end
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Available(), expected);
    EXPECT_EQ(form.Buttons(), Buttons(false, true, false, false, false, false));
}

TEST_F(WildcardSelection, DownAndUpMoveTheSelectedEntryOnePlaceAndKeepItSelectedInView) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender", L"WildCard_CC", L"WildCard_BCC"});
    form.ItemSelected(ListId::Selected, 2);
    form.cmdDown_Click();
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Sender", L"Body", L"CC", L"BCC"));
    EXPECT_EQ(SelectedIndex(ListId::Selected), 3);
    form.cmdUp_Click();
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Body", L"Sender", L"CC", L"BCC"));
    EXPECT_EQ(SelectedIndex(ListId::Selected), 2);
    EXPECT_THAT(view.scrolledTo, ElementsAre(3, 2));
    form.cmdUp_Click();
    EXPECT_EQ(SelectedIndex(ListId::Selected), 1);
    EXPECT_EQ(form.Buttons(), Buttons(false, true, true, true, false, true));  // Up off on the first entry
    form.ItemSelected(ListId::Selected, 5);
    EXPECT_EQ(form.Buttons(), Buttons(false, true, true, true, true, false));  // Down off on the last
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardSelection, OkStoresAll34PlacesAndTheToolbarShowsExactlyTheSelectionInItsOrder) {
    word.NewDocument();
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    form.ItemSelected(ListId::Selected, 1);
    form.cmdDown_Click();
    form.ItemSelected(ListId::Selected, std::nullopt);
    form.ItemSelected(ListId::Available, 1);  // Recipients, added at the end
    form.cmdAdd_Click();
    registry.writes.clear();
    form.cmdOk_Click();

    EXPECT_EQ(registry.writes.size(), 34u);
    std::map<std::wstring, std::wstring> shown;  // every other place stored as 0
    for (const auto& w : kWildcards)
        if (const auto place = Stored(std::wstring(w.bookmarkName)); place != L"0") shown[std::wstring(w.bookmarkName)] = place;
    EXPECT_EQ(shown, (std::map<std::wstring, std::wstring>{
                         {L"WildCard_Body", L"1"}, {L"WildCard_Subject", L"2"}, {L"WildCard_Sender", L"3"},
                         {L"WildCard_Recipients", L"4"}}));
    EXPECT_EQ(Captions(L"Insert wildcard"), (std::vector<std::wstring>{L"Body", L"Subject", L"Sender", L"To"}));
    EXPECT_EQ(view.unloads, 1);
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardSelection, OkWithNothingSelectedIsRefusedAndCancelStoresNothing) {
    form.Form_Load();
    form.cmdRemoveAll_Click();
    registry.writes.clear();
    form.cmdOk_Click();
    ASSERT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_EQ(ports.prompt.shown[0].text + L"/" + ports.prompt.shown[0].title,
              L"You must choose at least one wildcard/No wildcard selected");
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_EQ(view.unloads, 0);

    form.cmdAddAll_Click();
    form.cmdCancel_Click();
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(WildcardSelection, DragsWithinTheSelectedListLandInFrontOfTheTargetAndStaySelected) {
    StoreSelection({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender", L"WildCard_CC", L"WildCard_BCC"});
    struct Case {
        int32_t from, y;
        std::vector<std::wstring> order;
        int32_t selected;
    };
    const Case cases[] = {
        {2, RowY(4), {L"Subject", L"Sender", L"Body", L"CC", L"BCC"}, 3},  // downwards: in front of CC
        {4, RowY(2), {L"Subject", L"CC", L"Body", L"Sender", L"BCC"}, 2},  // upwards
        {2, RowY(7), {L"Subject", L"Sender", L"CC", L"BCC", L"Body"}, 5},  // below the last entry
        {2, RowY(3), {L"Subject", L"Body", L"Sender", L"CC", L"BCC"}, 2},  // in front of the next: no change
        {2, RowY(2), {L"Subject", L"Body", L"Sender", L"CC", L"BCC"}, 2},  // on itself: no change
        {5, RowY(1), {L"BCC", L"Subject", L"Body", L"Sender", L"CC"}, 1},
    };
    for (const auto& c : cases) {
        frmWildcards fresh(view);
        view.form = &fresh;
        fresh.Form_Load();
        Drag(fresh, ListId::Selected, c.from, ListId::Selected, c.y);
        std::vector<std::wstring> texts;
        for (const auto& e : fresh.lvwSelected().entries) texts.push_back(e.text);
        EXPECT_EQ(texts, c.order) << c.from << " -> " << c.y;
        EXPECT_EQ(fresh.lvwSelected().selected, c.selected) << c.from << " -> " << c.y;
        EXPECT_EQ(fresh.Buttons().cmdUp + 2 * fresh.Buttons().cmdDown, (c.selected > 1) + 2 * (c.selected < 5));
        view.form = &form;
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardSelection, DragsBetweenTheListsInsertAtTheDropAndSelectNothingThere) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender", L"WildCard_CC"});
    Drag(ListId::Available, 1, ListId::Selected, RowY(3));  // Recipients onto Sender
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Body", L"To", L"Sender", L"CC"));
    EXPECT_EQ(SelectedIndex(ListId::Selected), std::nullopt);
    EXPECT_EQ(SelectedIndex(ListId::Available), 1);  // the source's next entry
    EXPECT_EQ(view.focused.back(), ListId::Available);

    Drag(ListId::Available, 1, ListId::Selected, RowY(30));  // below the last: appended
    EXPECT_EQ(Selected().back(), L"Attachments");

    Drag(ListId::Selected, 2, ListId::Available, RowY(2));  // Body above the available list's entry 2
    EXPECT_EQ(Available()[1], L"Body");
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"To", L"Sender", L"CC", L"Attachments"));
    Drag(ListId::Selected, 1, ListId::Available, RowY(100));
    EXPECT_EQ(Available().back(), L"Subject");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WildcardSelection, DragsWithinTheAvailableListAndDropsFromElsewhereChangeNothing) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body"});
    const auto available = Available();
    Drag(ListId::Available, 1, ListId::Available, RowY(5));
    EXPECT_EQ(Available(), available);
    // Text dragged in from another program: no drag started in either list.
    form.OLEDragDrop(ListId::Selected, RowY(1));
    form.OLEDragDrop(ListId::Available, RowY(1));
    EXPECT_EQ(Available(), available);
    EXPECT_THAT(Selected(), ElementsAre(L"Subject", L"Body"));
    // A drag that ended is over: a later drop moves nothing.
    Drag(ListId::Selected, 1, ListId::Selected, RowY(30));
    form.OLEDragDrop(ListId::Selected, RowY(1));
    EXPECT_THAT(Selected(), ElementsAre(L"Body", L"Subject"));
}

}  // namespace
}  // namespace qlora
