// frmWildcards on Windows: the resource dialog with its two report-style list views, the six icon
// buttons with tool tips, and drag and drop of list entries within and between the lists. The
// form (wildcards/wildcard_selection.h) holds the lists and decides every move.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "ui/dialog_win.h"
#include "wildcards/wildcard_selection.h"

namespace qlora {

class WildcardsDialog final : public win::Dialog, private WildcardsView {
public:
    WildcardsDialog() = default;

    // Shows the dialog modally until OK or Cancel ends it.
    void Show();

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Refresh() override;
    void Focus(ListId list) override;
    void EnsureVisible(ListId list, int32_t index) override;
    std::optional<int32_t> HitTest(ListId list, int32_t y) override;
    void Unload() override;

    HWND ListWindow(ListId list) const;
    void ShowList(ListId list);
    // The list's own selection, as the user left it.
    std::optional<int32_t> ControlSelection(ListId list) const;
    // Ends a drag, dropping it at the screen point when there is one.
    void EndDrag(std::optional<POINT> dropAt);

    frmWildcards form_{*this};
    std::vector<win::UniqueIcon> icons_;
    bool refreshing_ = false;
    std::optional<ListId> dragging_;
};

}  // namespace qlora
