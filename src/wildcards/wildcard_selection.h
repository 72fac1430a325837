// frmWildcards: the dialog in which the user chooses which wildcards the toolbar's pop-up menu
// offers, and in which order. The available wildcards (not on the toolbar) are listed on the
// left, the selected ones on the right, top to bottom in toolbar order. Six buttons and drag and
// drop move entries between and within the lists; every move changes only the two lists. OK
// stores the selection, one settings value per wildcard ("0" not shown, "1".."n" its place), and
// has the toolbar rebuild its menu; Cancel stores nothing.
//
// The lists and the rules live here. The Windows dialog shows them through WildcardsView and
// hands the user's actions to the event handlers below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlora {

// One entry of either list.
struct WildcardEntry {
    std::wstring text;     // the display text without "<" and ">", e.g. "Subject"
    std::wstring tag;      // the bookmark name, e.g. "WildCard_Subject": the entry's identity
    std::wstring sortKey;  // set while loading the selected list; moved entries carry none

    friend bool operator==(const WildcardEntry&, const WildcardEntry&) = default;
};

// A list as its list control holds it: the entries top to bottom and the selected one.
struct WildcardList {
    std::vector<WildcardEntry> entries;
    std::optional<int32_t> selected;  // 1-based index of the selected entry

    int32_t Count() const noexcept { return static_cast<int32_t>(entries.size()); }
    const WildcardEntry& At(int32_t index) const;  // 1-based; fails outside the list
};

enum class ListId { Available, Selected };

// What CheckListView finds out about one list.
struct ListFacts {
    bool bolHasEntries = false;
    bool bolItemSelected = false;
    bool bolNotFirstEntry = false;
    bool bolNotLastEntry = false;

    friend bool operator==(const ListFacts&, const ListFacts&) = default;
};

// The enabled states of the six list buttons, as ButtonEnabled last set them.
struct ListButtons {
    bool cmdAdd = false;
    bool cmdAddAll = false;
    bool cmdRemove = false;
    bool cmdRemoveAll = false;
    bool cmdUp = false;
    bool cmdDown = false;

    friend bool operator==(const ListButtons&, const ListButtons&) = default;
};

// "0".."9", then each letter in lower case followed by its upper case: the sort keys of the
// loaded selected list are its suffixes.
inline constexpr std::wstring_view kPositionAlphabet = L"0123456789aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTuUvVwWxXyYzZ";

// The sort key of a stored place: the position alphabet from its place-th character on; empty
// for a place above 62.
std::wstring SortKey(int32_t place);
// The order of sort keys as the user's locale sorts them: by the characters' places in the
// position alphabet, so that digits come before letters and "a" before "A" before "b".
bool SortsBefore(std::wstring_view a, std::wstring_view b);

// A drop is hit-tested at this distance from the list's left edge, in twips, wherever along
// the row the user let go.
inline constexpr int32_t kDropHitX = 50;

// The dialog as the form drives it.
class WildcardsView {
public:
    virtual ~WildcardsView() = default;
    // Shows the lists, their selected entries and the buttons as the form holds them now.
    virtual void Refresh() = 0;
    virtual void Focus(ListId list) = 0;
    virtual void EnsureVisible(ListId list, int32_t index) = 0;
    // The 1-based index of the entry in the list's row at y (the list's own units), hit at
    // kDropHitX; nothing below the last entry.
    virtual std::optional<int32_t> HitTest(ListId list, int32_t y) = 0;
    virtual void Unload() = 0;
};

class frmWildcards {
public:
    static constexpr wchar_t kTypeName[] = L"frmWildcards";

    explicit frmWildcards(WildcardsView& view) : myView(view) {}
    frmWildcards(const frmWildcards&) = delete;
    frmWildcards& operator=(const frmWildcards&) = delete;

    const WildcardList& lvwAvailable() const noexcept { return myAvailable; }
    const WildcardList& lvwSelected() const noexcept { return mySelected; }
    const WildcardList& List(ListId list) const noexcept { return list == ListId::Available ? myAvailable : mySelected; }
    const ListButtons& Buttons() const noexcept { return myButtons; }

    // Event handlers: each reports its own failure and leaves the lists as the failure left
    // them; each ends by showing the lists and buttons.
    void Form_Load();
    void cmdAdd_Click();
    void cmdAddAll_Click();
    void cmdRemove_Click();
    void cmdRemoveAll_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    // The user selected an entry of a list (1-based), or cleared the selection. The buttons are
    // re-evaluated for either list: a list control may hold entries with none selected.
    void ItemSelected(ListId list, std::optional<int32_t> Item);

    // Drag and drop: a drag starts in a list (with its selected entry), something is dropped on
    // a list at y in the list's own units, the drag that started in a list ends.
    void OLEStartDrag(ListId source);
    void OLEDragDrop(ListId target, int32_t y);
    void OLECompleteDrag(ListId source);

    // The operations behind the handlers; each passes its failure on to its caller.
    void LoadList();
    void AddToList(const std::wstring& strName, int32_t lngDefault);
    void SaveList();
    // Moves entry myOldItem (1-based) of the source to place lngIndex of the destination (0: in
    // front of the destination's selected entry, or at its end).
    void MoveEntry(ListId lvwDestination, ListId lvwSource, int32_t myOldItem, int32_t lngIndex, bool bolSameControl);
    void MoveAll(ListId lvwDestination, ListId lvwSource);
    // Moves the selected entry of the selected list: -1 one place up, 2 one place down.
    void ChangeEntryPosition(int32_t lngStep);
    ListFacts CheckListView(ListId lvwListView) const;
    void ButtonEnabled();
    void DragMove(ListId lvwDestination, ListId lvwSource, int32_t lngY, bool bolSameControl);

private:
    struct DragItem {
        ListId list{};
        int32_t index = 0;
        friend bool operator==(const DragItem&, const DragItem&) = default;
    };

    WildcardList& Modifiable(ListId list) noexcept { return list == ListId::Available ? myAvailable : mySelected; }
    template <class Body>
    void Event(std::wstring_view traceName, Body&& body);

    WildcardsView& myView;
    WildcardList myAvailable;
    WildcardList mySelected;
    ListButtons myButtons;
    bool bolDragFromAvailable = false;
    bool bolDragFromSelected = false;
    std::optional<DragItem> myDragItem;
};

}  // namespace qlora
