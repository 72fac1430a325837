// The wildcard selection against the in-memory registry and Word: what the lists load, every move
// and the buttons it leaves, drag and drop, and what OK stores and rebuilds. That every wildcard
// stays in exactly one list is the wildcard_selection fuzz target's invariant.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/fake_wildcards_view.h"
#include "support/toolbar_fakes.h"
#include "wildcards/wildcard_selection.h"

namespace qlora {
namespace {

using ::testing::HasSubstr;
using testing::RowY;
using enum ListId;

std::wstring Joined(const std::vector<std::wstring>& texts) {
    std::wstring joined;
    for (const auto& t : texts) joined += (joined.empty() ? L"" : L"|") + t;
    return joined;
}

class WildcardSelection : public testing::ToolbarTest {
protected:
    WildcardSelection() { view.form = &form; }

    // A list's texts, top to bottom, separated by "|"; the chosen one in brackets.
    static std::wstring Texts(const frmWildcards& of, ListId list) {
        std::vector<std::wstring> texts;
        for (const auto& entry : of.List(list).entries) texts.push_back(entry.text);
        if (const auto chosen = of.List(list).selected) texts.at(*chosen - 1) = L"[" + texts.at(*chosen - 1) + L"]";
        return Joined(texts);
    }
    std::wstring Shown() const { return Texts(form, Selected); }
    std::wstring Hidden() const { return Texts(form, Available); }
    static std::string Enabled(const frmWildcards& of) {
        const ListButtons b = of.Buttons();
        std::string flags;
        for (const bool on : {b.cmdAdd, b.cmdAddAll, b.cmdRemove, b.cmdRemoveAll, b.cmdUp, b.cmdDown})
            flags += on ? '1' : '0';
        return flags;
    }
    void LoadWith(const std::vector<std::wstring>& shown) {
        StoreSelection(shown);
        form.Form_Load();
    }
    // A drag from one list dropped on another (or the same) at a row, as the list reports it.
    static void Drag(frmWildcards& on, ListId from, int32_t item, ListId to, int32_t y) {
        on.ItemSelected(from, item);
        on.OLEStartDrag(from);
        on.OLEDragDrop(to, y);
        on.OLECompleteDrag(from);
    }
    void Drag(ListId from, int32_t item, ListId to, int32_t y) { Drag(form, from, item, to, y); }

    const std::vector<std::wstring> five{L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender", L"WildCard_CC",
                                         L"WildCard_BCC"};
    testing::FakeWildcardsView view;
    frmWildcards form{view};
};

TEST_F(WildcardSelection, WithNothingStoredTheDialogsOwnDefaultsLoadInTheirOrder) {
    form.Form_Load();
    EXPECT_EQ(Shown(), Joined(testing::kDefaultSelected));
    EXPECT_EQ(Hidden(),
              L"Expiry time|Flag request|Flag status|Due by|Billing info|In folder|Mileage|Read|"
              L"Auto forwarded|Delivery report request|Read receipt request|Reminder|"
              L"Voting respone|Voting Options|Deferred Delivery Time|Reply recipient names");
    EXPECT_EQ(form.lvwSelected().At(16).tag, L"WildCard_DateTimeNow");
    EXPECT_EQ(form.lvwAvailable().At(1).tag, L"WildCard_ExpiryTime");
}

TEST_F(WildcardSelection, PlacesAbove62LoadFirstNegativeMeansHiddenAndAnOddValueReadsAsItsDefault) {
    StoreSelection({});
    const std::pair<const wchar_t*, const wchar_t*>
        places[] = {{L"Subject", L"62"},  {L"Body", L"12"}, {L"Sender", L"11"},
                    {L"Sent", L"2"},      {L"CC", L"1"},    {L"Mileage", L"100"},
                    {L"Reminder", L"63"}, {L"BCC", L"-1"},  {L"Received", L"seven"}};  // read as its default place, 7
    for (const auto& [name, place] : places) Store(L"WildCard_" + std::wstring(name), place);
    form.Form_Load();
    EXPECT_EQ(Shown(), L"Mileage|Reminder|CC|Sent|Received|Sender|Body|Subject");
    EXPECT_TRUE(Hidden().starts_with(L"To|"));  // table order, whatever the stored values
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardSelection, AFailingLoadIsReportedUnderFormLoadWithTheWildcardsLoadedSoFar) {
    basGlobal::gSettings.reset();
    form.Form_Load();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_THAT(reports[0], HasSubstr(L"Call Stack: frmWildcards.AddToList(strName='WildCard_"
                                      L"Subject', strText='Subject', lngSelected=0) "));
    EXPECT_THAT(reports[0], HasSubstr(L"Call Stack: frmWildcards.Form_Load() "));
    EXPECT_EQ(Shown(), L"");
    EXPECT_GE(view.refreshes, 1);  // the dialog shows what there is
}

TEST_F(WildcardSelection, AddAndRemoveInsertAboveTheChosenEntryOrAtTheEndAndChooseTheNext) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    form.ItemSelected(Available, 2);  // table order: Recipients, Attachments, ...
    form.cmdAdd_Click();
    EXPECT_EQ(Shown(), L"Subject|Body|Sender|Attachments");  // the added entry is not chosen
    EXPECT_TRUE(Hidden().starts_with(L"To|[Sent]|"));        // the entry that took its place
    EXPECT_EQ(view.focused.back(), Available);

    form.ItemSelected(Selected, 2);
    form.cmdAdd_Click();
    EXPECT_EQ(Shown(), L"Subject|Sent|[Body]|Sender|Attachments");

    form.ItemSelected(Available, 1);
    form.cmdRemove_Click();  // Body goes above the available list's chosen entry
    EXPECT_TRUE(Hidden().starts_with(L"Body|"));
    EXPECT_EQ(Shown(), L"Subject|Sent|[Sender]|Attachments");
    EXPECT_EQ(view.focused.back(), Selected);

    form.ItemSelected(Available, std::nullopt);
    form.ItemSelected(Selected, 4);
    form.cmdRemove_Click();
    EXPECT_EQ(Shown(), L"Subject|Sent|[Sender]");
    EXPECT_TRUE(Hidden().ends_with(L"|Attachments"));  // nothing chosen there: at the end
    for (int i = 0; i < 3; ++i) form.cmdRemove_Click();
    EXPECT_EQ(Shown(), L"");
    EXPECT_EQ(Enabled(form), "010000");
}

TEST_F(WildcardSelection, AddAllAndRemoveAllMoveTheWholeSourceAsOneBlockInItsOrder) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    const auto hidden = Hidden();
    form.ItemSelected(Selected, 2);
    form.cmdAddAll_Click();
    EXPECT_EQ(Shown() + L"/" + Hidden(), L"Subject|" + hidden + L"|[Body]|Sender/");
    EXPECT_EQ(Enabled(form), "001111");

    form.cmdRemoveAll_Click();  // nothing chosen in the available list: all at its end
    EXPECT_EQ(Shown() + L"/" + Hidden(), L"/Subject|" + hidden + L"|Body|Sender");
    EXPECT_EQ(Enabled(form), "010000");
}

TEST_F(WildcardSelection, DownAndUpMoveTheChosenEntryOnePlaceAndKeepItChosenInView) {
    LoadWith(five);
    form.ItemSelected(Selected, 2);
    form.cmdDown_Click();
    EXPECT_EQ(Shown(), L"Subject|Sender|[Body]|CC|BCC");
    form.cmdUp_Click();
    EXPECT_EQ(Shown(), L"Subject|[Body]|Sender|CC|BCC");
    EXPECT_EQ(view.scrolledTo, (std::vector<int32_t>{3, 2}));
    form.cmdUp_Click();
    EXPECT_EQ(Shown(), L"[Body]|Subject|Sender|CC|BCC");
    EXPECT_EQ(Enabled(form), "011101");  // Up off on the first entry
    form.ItemSelected(Selected, 5);
    EXPECT_EQ(Enabled(form), "011110");  // Down off on the last
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardSelection, OkStoresAll34PlacesAndTheToolbarShowsExactlyTheSelectionInItsOrder) {
    word.NewDocument();
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender"});
    form.ItemSelected(Selected, 1);
    form.cmdDown_Click();
    form.ItemSelected(Selected, std::nullopt);
    form.ItemSelected(Available, 1);  // Recipients, added at the end
    form.cmdAdd_Click();
    registry.writes.clear();
    form.cmdOk_Click();

    EXPECT_EQ(registry.writes.size(), 34u);
    std::wstring shown;  // every other place stored as 0
    for (const auto& w : kWildcards) {
        const std::wstring name(w.bookmarkName);
        const std::wstring place = basGlobal::gSettings->ReadEntry(name, L"");
        if (place != L"0") shown += name + L"=" + place + L" ";
    }
    EXPECT_EQ(shown, L"WildCard_Body=1 WildCard_Recipients=4 WildCard_Sender=3 WildCard_Subject=2 ");
    EXPECT_EQ(Joined(Captions(L"Insert wildcard")), L"Body|Subject|Sender|To");
    EXPECT_EQ(view.unloads, 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardSelection, OkWithNothingSelectedIsRefusedAndCancelStoresNothing) {
    form.Form_Load();
    form.cmdRemoveAll_Click();
    registry.writes.clear();
    form.cmdOk_Click();
    EXPECT_EQ(Told(), L"No wildcard selected: You must choose at least one wildcard\n");
    EXPECT_EQ(view.unloads, 0);

    form.cmdAddAll_Click();
    form.cmdCancel_Click();
    EXPECT_TRUE(registry.writes.empty());
    EXPECT_EQ(view.unloads, 1);
}

TEST_F(WildcardSelection, DragsWithinTheSelectedListLandInFrontOfTheTargetAndStayChosen) {
    StoreSelection(five);
    const std::tuple<int32_t, int32_t, std::wstring, int32_t> cases[] = {
        {2, RowY(4), L"Subject|Sender|[Body]|CC|BCC", 3},  // downwards: in front of CC
        {4, RowY(2), L"Subject|[CC]|Body|Sender|BCC", 2},  // upwards
        {2, RowY(7), L"Subject|Sender|CC|BCC|[Body]", 5},  // below the last entry
        {2, RowY(3), L"Subject|[Body]|Sender|CC|BCC", 2},  // in front of the next: no change
        {2, RowY(2), L"Subject|[Body]|Sender|CC|BCC", 2},  // on itself: no change
        {5, RowY(1), L"[BCC]|Subject|Body|Sender|CC", 1},
    };
    for (const auto& [from, y, order, chosen] : cases) {
        SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(y));
        frmWildcards fresh(view);
        view.form = &fresh;
        fresh.Form_Load();
        Drag(fresh, Selected, from, Selected, y);
        EXPECT_EQ(Texts(fresh, Selected), order);
        const std::string upDown{chosen > 1 ? '1' : '0', chosen < 5 ? '1' : '0'};
        EXPECT_EQ(Enabled(fresh).substr(4), upDown);
        view.form = &form;
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardSelection, DragsBetweenTheListsInsertAtTheDropAndChooseNothingThere) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body", L"WildCard_Sender", L"WildCard_CC"});
    Drag(Available, 1, Selected, RowY(3));  // Recipients onto Sender
    EXPECT_EQ(Shown(), L"Subject|Body|To|Sender|CC");
    EXPECT_TRUE(Hidden().starts_with(L"[Attachments]|"));  // the source's next entry
    EXPECT_EQ(view.focused.back(), Available);

    Drag(Available, 1, Selected, RowY(30));  // below the last: appended
    Drag(Selected, 2, Available, RowY(2));   // Body above the available list's entry 2
    EXPECT_EQ(form.lvwAvailable().At(2).text, L"Body");
    EXPECT_EQ(Shown(), L"Subject|[To]|Sender|CC|Attachments");
    Drag(Selected, 1, Available, RowY(100));
    EXPECT_TRUE(Hidden().ends_with(L"|Subject"));
    EXPECT_TRUE(reports.empty());
}

TEST_F(WildcardSelection, DragsWithinTheAvailableListAndDropsFromElsewhereChangeNothing) {
    LoadWith({L"WildCard_Subject", L"WildCard_Body"});
    form.ItemSelected(Available, 1);
    const auto hidden = Hidden();
    Drag(Available, 1, Available, RowY(5));
    // Text dragged in from another program: no drag started in either list.
    form.OLEDragDrop(Selected, RowY(1));
    form.OLEDragDrop(Available, RowY(1));
    EXPECT_EQ(Shown() + L"/" + Hidden(), L"Subject|Body/" + hidden);
    // A drag that ended is over: a later drop moves nothing.
    Drag(Selected, 1, Selected, RowY(30));
    form.OLEDragDrop(Selected, RowY(1));
    EXPECT_EQ(Shown(), L"Body|[Subject]");
}

}  // namespace
}  // namespace qlora
