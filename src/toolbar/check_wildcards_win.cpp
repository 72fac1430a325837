#include "toolbar/check_wildcards_win.h"

#include <array>

#include "language/language_texts.h"
#include "ui/resource_ids.h"

namespace qlora {
namespace {

constexpr win::ControlText kTexts[] = {
    {0, 500}, {IDC_CMD_GOTO, 511}, {IDC_CMD_REPAIR, 512}, {IDCANCEL, 513},
};

// The list's columns: their header's text number and their share of the width, in percent.
struct Column {
    int16_t header;
    int share;
};
constexpr std::array kColumns{Column{508, 24}, Column{509, 24}, Column{510, 52}};
// Room kept for a vertical scroll bar, in pixels.
constexpr int kScrollbarWidth = 22;

}  // namespace

void CheckWildcardsDialog::Show() { ShowModal(IDD_CHECKWILDCARDS); }

void CheckWildcardsDialog::OnInit() {
    ApplyTexts(kTexts);
    const HWND list = Item(IDC_LVW_PROBLEMS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    RECT client{};
    ::GetClientRect(list, &client);
    const int width = client.right - kScrollbarWidth;
    for (size_t i = 0; i < kColumns.size(); ++i) {
        std::wstring header = LNG_Main(kColumns[i].header);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = width * kColumns[i].share / 100;
        column.pszText = header.data();
        ListView_InsertColumn(list, static_cast<int>(i), &column);
    }
    FillList();
}

void CheckWildcardsDialog::FillList() {
    const HWND list = Item(IDC_LVW_PROBLEMS);
    ListView_DeleteAllItems(list);
    const auto lines = form_.Lines();
    for (size_t row = 0; row < lines.size(); ++row) {
        std::array cells{lines[row].kind, lines[row].wildcard, lines[row].excerpt};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = cells[0].data();
        ListView_InsertItem(list, &item);
        for (size_t c = 1; c < cells.size(); ++c)
            ListView_SetItemText(list, static_cast<int>(row), static_cast<int>(c), cells[c].data());
    }
    if (!lines.empty()) ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ::EnableWindow(Item(IDC_CMD_GOTO), !lines.empty());
}

void CheckWildcardsDialog::GoToSelected() {
    const int row = ListView_GetNextItem(Item(IDC_LVW_PROBLEMS), -1, LVNI_SELECTED);
    if (row >= 0) form_.cmdGoTo_Click(row);
}

void CheckWildcardsDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_CMD_GOTO) {
        GoToSelected();
    } else if (id == IDC_CMD_REPAIR) {
        // What the repair did stays in view under the list, which now shows what is left.
        SetItemText(IDC_LBL_RESULT, form_.cmdRepairAll_Click());
        FillList();
    } else if (id == IDCANCEL) {
        End(IDCANCEL);
    }
}

LRESULT CheckWildcardsDialog::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_LVW_PROBLEMS && header.code == NM_DBLCLK) GoToSelected();
    return 0;
}

}  // namespace qlora
