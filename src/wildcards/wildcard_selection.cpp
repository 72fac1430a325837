#include "wildcards/wildcard_selection.h"

#include <algorithm>

#include "base/prompt.h"
#include "base/required.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "ribbon/ribbon.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

// How the error trail shows the lists and their entries.
const ArgValue kListArg{ArgObject{L"ListView"}};
const ArgValue kItemArg{ArgObject{L"ListItem"}};

struct ListHandlers {
    std::wstring_view itemClick, startDrag, dragDrop, completeDrag;
};
constexpr ListHandlers kAvailableHandlers{
    L"frmWildcards.lvwAvailable_ItemClick(Item)", L"frmWildcards.lvwAvailable_OLEStartDrag(Data,AllowedEffects)",
    L"frmWildcards.lvwAvailable_OLEDragDrop(Data,Effect,Button,Shift,x,y)",
    L"frmWildcards.lvwAvailable_OLECompleteDrag(Effect)"};
constexpr ListHandlers kSelectedHandlers{
    L"frmWildcards.lvwSelected_ItemClick(Item)", L"frmWildcards.lvwSelected_OLEStartDrag(Data,AllowedEffects)",
    L"frmWildcards.lvwSelected_OLEDragDrop(Data,Effect,Button,Shift,x,y)",
    L"frmWildcards.lvwSelected_OLECompleteDrag(Effect)"};
const ListHandlers& HandlersOf(ListId list) { return list == ListId::Available ? kAvailableHandlers : kSelectedHandlers; }

[[noreturn]] void ThrowOutOfBounds() {
    throw Error(errnum::InvalidCall, kProjectName, L"Index out of bounds");
}

// The vector offset of a 1-based index that may go up to `last`.
std::ptrdiff_t Offset(int32_t index, int32_t last) {
    if (index < 1 || index > last) ThrowOutOfBounds();
    return index - 1;
}

// The selected entry a button acts on; the button is enabled only when there is one.
int32_t SelectedEntry(const WildcardList& list) {
    if (!list.selected) throw Error(errnum::ObjectNotSet, kProjectName, L"Object variable or With block variable not set");
    return *list.selected;
}

}  // namespace

const WildcardEntry& WildcardList::At(int32_t index) const { return entries[static_cast<size_t>(Offset(index, Count()))]; }

std::wstring SortKey(int32_t place) {
    if (place < 1 || place > static_cast<int32_t>(kPositionAlphabet.size())) return {};
    return std::wstring(kPositionAlphabet.substr(static_cast<size_t>(place - 1)));
}

bool SortsBefore(std::wstring_view a, std::wstring_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return kPositionAlphabet.find(x) < kPositionAlphabet.find(y);
    });
}

template <class Body>
void frmWildcards::Event(std::wstring_view traceName, Body&& body) {
    ReportFailures(traceName, std::forward<Body>(body));
    IgnoringFailures([&] { myView.Refresh(); });
}

void frmWildcards::Form_Load() {
    Event(L"frmWildcards.Form_Load", [&] { LoadList(); });
}

void frmWildcards::LoadList() {
    PassOn(L"frmWildcards.LoadList", [&] {
        for (const auto& w : kDialogOrder) AddToList(std::wstring(w.bookmarkName), w.dialogPlace);
        std::stable_sort(mySelected.entries.begin(), mySelected.entries.end(),
                         [](const WildcardEntry& a, const WildcardEntry& b) { return SortsBefore(a.sortKey, b.sortKey); });
        ButtonEnabled();
    });
}

void frmWildcards::AddToList(const std::wstring& strName, int32_t lngDefault) {
    std::wstring strText;
    int32_t lngSelected = 0;
    PassOn(
        L"frmWildcards.AddToList(strName,strText,lngSelected)",
        [&] {
            strText = basDisplayNames::GetPlainName(strName, -1);
            // A stored place that is no whole number reads as the default, as the toolbar reads it.
            lngSelected = Required(basGlobal::gSettings).ReadWholeNumber(strName, lngDefault);
            auto& target = lngSelected >= 1 ? mySelected : myAvailable;
            target.entries.push_back({strText, strName, lngSelected >= 1 ? SortKey(lngSelected) : std::wstring()});
        },
        strName, strText, lngSelected);
}

void frmWildcards::SaveList() {
    PassOn(L"frmWildcards.SaveList", [&] {
        const auto& settings = Required(basGlobal::gSettings);
        for (int32_t i = 1; i <= mySelected.Count(); ++i) settings.WriteEntry(mySelected.At(i).tag, text::Decimal(i));
        for (const auto& entry : myAvailable.entries) settings.WriteEntry(entry.tag, L"0");
    });
}

void frmWildcards::MoveEntry(ListId lvwDestination, ListId lvwSource, int32_t myOldItem, int32_t lngIndex,
                             bool bolSameControl) {
    PassOn(
        L"frmWildcards.MoveEntry(lvwDestination,lvwSource,myOldItem,lngIndex)",
        [&] {
            auto& destination = Modifiable(lvwDestination);
            auto& source = Modifiable(lvwSource);
            const WildcardEntry moved{source.At(myOldItem).text, source.At(myOldItem).tag, {}};
            if (lngIndex == 0) lngIndex = destination.selected.value_or(destination.Count() + 1);
            destination.entries.insert(destination.entries.begin() + Offset(lngIndex, destination.Count() + 1), moved);
            // The selected entry stays the same entry; the new one is not selected.
            if (destination.selected && *destination.selected >= lngIndex) ++*destination.selected;

            int32_t removed = myOldItem;
            if (lvwDestination == lvwSource && lngIndex <= myOldItem) ++removed;
            source.entries.erase(source.entries.begin() + Offset(removed, source.Count()));
            // The list's current entry follows the removal: the one taking the removed entry's
            // place, or the new last one.
            if (source.selected) {
                if (*source.selected > removed) --*source.selected;
                else if (*source.selected == removed && removed > source.Count()) source.selected = source.Count();
                if (source.Count() == 0) source.selected.reset();
            }
            if (!bolSameControl) myView.Focus(lvwSource);
        },
        kListArg, kListArg, kItemArg, lngIndex);
}

void frmWildcards::MoveAll(ListId lvwDestination, ListId lvwSource) {
    PassOn(
        L"frmWildcards.MoveAll(lvwDestination,lvwSource)",
        [&] {
            const int32_t count = List(lvwSource).Count();
            for (int32_t i = 0; i < count; ++i) MoveEntry(lvwDestination, lvwSource, 1, 0, false);
            ButtonEnabled();
        },
        kListArg, kListArg);
}

void frmWildcards::ChangeEntryPosition(int32_t lngStep) {
    PassOn(
        L"frmWildcards.ChangeEntryPosition(lngStep)",
        [&] {
            if (const auto i = mySelected.selected) {
                int32_t j = *i + lngStep;
                MoveEntry(ListId::Selected, ListId::Selected, *i, j, false);
                if (lngStep >= 2) --j;
                mySelected.At(j);  // the moved entry must be there
                mySelected.selected = j;
                myView.EnsureVisible(ListId::Selected, j);
            }
            ButtonEnabled();
        },
        lngStep);
}

ListFacts frmWildcards::CheckListView(ListId lvwListView) const {
    ListFacts facts;
    return PassOn(
        L"frmWildcards.CheckListView(lvwListView,bolHasEntries,bolItemSelected,bolNotFirstEntry,bolNotLastEntry)",
        [&] {
            const auto& list = List(lvwListView);
            if (list.Count() >= 1) {
                facts.bolHasEntries = true;
                if (list.selected) {
                    facts.bolItemSelected = true;
                    if (*list.selected < list.Count()) facts.bolNotLastEntry = true;
                    if (*list.selected > 1) facts.bolNotFirstEntry = true;
                }
            }
            return facts;
        },
        kListArg, facts.bolHasEntries, facts.bolItemSelected, facts.bolNotFirstEntry, facts.bolNotLastEntry);
}

void frmWildcards::ButtonEnabled() {
    PassOn(L"frmWildcards.ButtonEnabled", [&] {
        const ListFacts available = CheckListView(ListId::Available);
        const ListFacts selected = CheckListView(ListId::Selected);
        myButtons = {available.bolItemSelected, available.bolHasEntries, selected.bolItemSelected,
                    selected.bolHasEntries,    selected.bolNotFirstEntry, selected.bolNotLastEntry};
    });
}

void frmWildcards::cmdAdd_Click() {
    Event(L"frmWildcards.cmdAdd_Click", [&] {
        MoveEntry(ListId::Selected, ListId::Available, SelectedEntry(myAvailable), 0, false);
        ButtonEnabled();
    });
}

void frmWildcards::cmdRemove_Click() {
    Event(L"frmWildcards.cmdRemove_Click", [&] {
        MoveEntry(ListId::Available, ListId::Selected, SelectedEntry(mySelected), 0, false);
        ButtonEnabled();
    });
}

void frmWildcards::cmdAddAll_Click() {
    Event(L"frmWildcards.cmdAddAll_Click", [&] { MoveAll(ListId::Selected, ListId::Available); });
}

void frmWildcards::cmdRemoveAll_Click() {
    Event(L"frmWildcards.cmdRemoveAll_Click", [&] { MoveAll(ListId::Available, ListId::Selected); });
}

void frmWildcards::cmdUp_Click() {
    Event(L"frmWildcards.cmdUp_Click", [&] { ChangeEntryPosition(-1); });
}

void frmWildcards::cmdDown_Click() {
    Event(L"frmWildcards.cmdDown_Click", [&] { ChangeEntryPosition(2); });
}

void frmWildcards::cmdOk_Click() {
    Event(L"frmWildcards.cmdOk_Click", [&] {
        if (mySelected.Count() == 0) {
            ShowMessage(LNG_Main(337), LNG_Main(338), MsgButtons::Ok, MsgIcon::Information);
            return;
        }
        SaveList();
        Required(basGlobal::gCommandBar).CreateWildCardList(true);
        basRibbon::Refresh();
        myView.Unload();
    });
}

void frmWildcards::cmdCancel_Click() {
    Event(L"frmWildcards.cmdCancel_Click", [&] { myView.Unload(); });
}

void frmWildcards::ItemSelected(ListId list, std::optional<int32_t> Item) {
    Event(HandlersOf(list).itemClick, [&] {
        auto& target = Modifiable(list);
        if (Item) target.At(*Item);
        target.selected = Item;
        ButtonEnabled();
    });
}

void frmWildcards::OLEStartDrag(ListId source) {
    Event(HandlersOf(source).startDrag, [&] {
        (source == ListId::Available ? bolDragFromAvailable : bolDragFromSelected) = true;
        const auto& list = List(source);
        myDragItem = list.selected ? std::optional<DragItem>(DragItem{source, *list.selected}) : std::nullopt;
    });
}

void frmWildcards::OLEDragDrop(ListId target, int32_t y) {
    Event(HandlersOf(target).dragDrop, [&] {
        if (target == ListId::Selected) {
            if (!bolDragFromAvailable && !bolDragFromSelected) return;
            DragMove(ListId::Selected, bolDragFromSelected ? ListId::Selected : ListId::Available, y,
                     bolDragFromSelected);
        } else if (bolDragFromSelected) {
            DragMove(ListId::Available, ListId::Selected, y, false);
        }
    });
}

void frmWildcards::OLECompleteDrag(ListId source) {
    Event(HandlersOf(source).completeDrag, [&] {
        (source == ListId::Available ? bolDragFromAvailable : bolDragFromSelected) = false;
        myDragItem.reset();
    });
}

void frmWildcards::DragMove(ListId lvwDestination, ListId lvwSource, int32_t lngY, bool bolSameControl) {
    PassOn(
        L"frmWildcards.DragMove(lvwDestination,lvwSource,lngY,bolSameControl)",
        [&] {
            const auto hit = myView.HitTest(lvwDestination, lngY);
            if (!myDragItem) return;  // nothing dragged
            if (hit && *myDragItem == DragItem{lvwDestination, *hit}) return;  // dropped on itself
            const auto& destination = List(lvwDestination);
            const int32_t lngIndex = hit ? *hit : destination.Count() + 1;
            const std::wstring targetTag = hit ? destination.At(*hit).tag : std::wstring();
            MoveEntry(lvwDestination, lvwSource, myDragItem->index, lngIndex, bolSameControl);
            if (bolSameControl) {
                const bool movedDown = !hit || destination.At(lngIndex).tag == targetTag;
                Modifiable(lvwDestination).selected = movedDown ? lngIndex - 1 : lngIndex;
            }
            ButtonEnabled();
        },
        kListArg, kListArg, lngY, bolSameControl);
}

}  // namespace qlora
