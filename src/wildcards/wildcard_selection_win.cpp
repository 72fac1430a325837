#include "wildcards/wildcard_selection_win.h"

#include <windowsx.h>

#include <utility>

#include "ui/resource_ids.h"

namespace qlora {
namespace {

// The texts, in the order the form sets them: captions and tool tips by descending number.
constexpr win::ControlText kTexts[] = {
    {IDC_LBL_AVAILABLE, 348}, {IDC_LBL_SELECTED, 347}, {IDC_CMD_DOWN, 0, 346},   {IDC_CMD_UP, 0, 345},
    {IDC_CMD_REMOVE, 0, 344}, {IDC_CMD_REMOVEALL, 0, 343}, {IDC_CMD_ADDALL, 0, 342}, {IDCANCEL, 341},
    {IDC_CMD_ADD, 0, 340},    {0, 339},
};

// The six list buttons: their icon, their handler and the state ButtonEnabled gives them.
struct ListButton {
    int id;
    int icon;
    void (frmWildcards::*click)();
    bool ListButtons::*enabled;
};
constexpr ListButton kButtons[] = {
    {IDC_CMD_ADD, IDI_ADD, &frmWildcards::cmdAdd_Click, &ListButtons::cmdAdd},
    {IDC_CMD_ADDALL, IDI_ADDALL, &frmWildcards::cmdAddAll_Click, &ListButtons::cmdAddAll},
    {IDC_CMD_REMOVEALL, IDI_REMOVEALL, &frmWildcards::cmdRemoveAll_Click, &ListButtons::cmdRemoveAll},
    {IDC_CMD_REMOVE, IDI_REMOVE, &frmWildcards::cmdRemove_Click, &ListButtons::cmdRemove},
    {IDC_CMD_UP, IDI_UP, &frmWildcards::cmdUp_Click, &ListButtons::cmdUp},
    {IDC_CMD_DOWN, IDI_DOWN, &frmWildcards::cmdDown_Click, &ListButtons::cmdDown},
};

constexpr ListId kLists[] = {ListId::Available, ListId::Selected};
constexpr int kButtonIconSize = 16;
// Room kept for a vertical scroll bar beside the lists' one column, in pixels.
constexpr int kScrollbarWidth = 22;

int ListControlId(ListId list) { return list == ListId::Available ? IDC_LVW_AVAILABLE : IDC_LVW_SELECTED; }

std::optional<ListId> ListOfControl(UINT_PTR id) {
    if (id == IDC_LVW_AVAILABLE) return ListId::Available;
    if (id == IDC_LVW_SELECTED) return ListId::Selected;
    return std::nullopt;
}

}  // namespace

void WildcardsDialog::Show() { ShowModal(IDD_WILDCARDS); }

HWND WildcardsDialog::ListWindow(ListId list) const { return Item(ListControlId(list)); }

void WildcardsDialog::OnInit() {
    ApplyTexts(kTexts);
    for (const auto& button : kButtons) {
        auto icon = LoadIconResource(button.icon, kButtonIconSize);
        ::SendMessageW(Item(button.id), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.get()));
        icons_.push_back(std::move(icon));
    }
    for (const ListId list : kLists) {
        const HWND control = ListWindow(list);
        ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
        RECT client{};
        ::GetClientRect(control, &client);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = client.right - kScrollbarWidth;
        ListView_InsertColumn(control, 0, &column);
    }
    form_.Form_Load();
}

void WildcardsDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    for (const auto& button : kButtons)
        if (button.id == id) return (form_.*button.click)();
    if (id == IDOK) form_.cmdOk_Click();
    else if (id == IDCANCEL) form_.cmdCancel_Click();  // also the window frame's close
}

LRESULT WildcardsDialog::OnNotify(const NMHDR& header) {
    const auto list = ListOfControl(header.idFrom);
    if (!list) return 0;
    if (header.code == LVN_ITEMCHANGED && !refreshing_) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const auto current = ControlSelection(*list);
        if ((change.uChanged & LVIF_STATE) && current != form_.List(*list).selected) form_.ItemSelected(*list, current);
    } else if (header.code == LVN_BEGINDRAG && !dragging_) {
        const auto& drag = reinterpret_cast<const NMLISTVIEW&>(header);
        if (form_.List(*list).selected != drag.iItem + 1) form_.ItemSelected(*list, drag.iItem + 1);
        form_.OLEStartDrag(*list);
        dragging_ = *list;
        ::SetCapture(Window());
    }
    return 0;
}

std::optional<INT_PTR> WildcardsDialog::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    if (!dragging_) return std::nullopt;
    switch (message) {
        case WM_LBUTTONUP: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(Window(), &at);
            EndDrag(at);
            return TRUE;
        }
        case WM_CAPTURECHANGED:  // the drag was taken away: it ends without a drop
            EndDrag(std::nullopt);
            return TRUE;
        default:
            return std::nullopt;
    }
}

void WildcardsDialog::EndDrag(std::optional<POINT> dropAt) {
    const ListId source = *std::exchange(dragging_, std::nullopt);
    if (::GetCapture() == Window()) ::ReleaseCapture();
    if (dropAt) {
        for (const ListId list : kLists) {
            RECT bounds{};
            ::GetWindowRect(ListWindow(list), &bounds);
            if (!::PtInRect(&bounds, *dropAt)) continue;
            POINT inList = *dropAt;
            ::ScreenToClient(ListWindow(list), &inList);
            form_.OLEDragDrop(list, inList.y);
        }
    }
    form_.OLECompleteDrag(source);
}

void WildcardsDialog::Refresh() {
    refreshing_ = true;
    for (const ListId list : kLists) ShowList(list);
    for (const auto& button : kButtons) {
        const HWND control = Item(button.id);
        const bool enabled = form_.Buttons().*button.enabled;
        // A button that goes off while it has the focus hands it on, so the keyboard keeps working.
        if (!enabled && ::GetFocus() == control) ::SendMessageW(Window(), WM_NEXTDLGCTL, 0, FALSE);
        ::EnableWindow(control, enabled);
    }
    refreshing_ = false;
}

void WildcardsDialog::ShowList(ListId list) {
    const HWND control = ListWindow(list);
    const auto& shown = form_.List(list);
    const int count = shown.Count();
    for (int i = ListView_GetItemCount(control); i < count; ++i) {
        LVITEMW item{};
        item.iItem = i;
        ListView_InsertItem(control, &item);
    }
    for (int i = ListView_GetItemCount(control) - 1; i >= count; --i) ListView_DeleteItem(control, i);
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_STATE;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(shown.entries[static_cast<size_t>(i)].text.c_str());
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = shown.selected == i + 1 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        ListView_SetItem(control, &item);
    }
}

std::optional<int32_t> WildcardsDialog::ControlSelection(ListId list) const {
    const int index = ListView_GetNextItem(ListWindow(list), -1, LVNI_SELECTED);
    return index < 0 ? std::nullopt : std::optional<int32_t>(index + 1);
}

void WildcardsDialog::Focus(ListId list) {
    ::SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ListWindow(list)), TRUE);
}

void WildcardsDialog::EnsureVisible(ListId list, int32_t index) { ListView_EnsureVisible(ListWindow(list), index - 1, FALSE); }

std::optional<int32_t> WildcardsDialog::HitTest(ListId list, int32_t y) {
    LVHITTESTINFO hit{};
    hit.pt = {TwipsToPixelsX(kDropHitX), y};
    const int index = ListView_HitTest(ListWindow(list), &hit);
    return index < 0 ? std::nullopt : std::optional<int32_t>(index + 1);
}

void WildcardsDialog::Unload() { End(IDOK); }

}  // namespace qlora
