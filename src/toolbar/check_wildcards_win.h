// frmCheckWildcards on Windows: a report-style list of what is wrong (kind, wildcard, text) with
// "Go to", "Repair all" (what it did shows under the list) and "Close". The form (toolbar/check_wildcards.h) reads, checks and repairs.
#pragma once

#include "toolbar/check_wildcards.h"
#include "ui/dialog_win.h"

namespace qlora {

class CheckWildcardsDialog final : public win::Dialog {
public:
    explicit CheckWildcardsDialog(frmCheckWildcards& form) : form_(form) {}

    // Shows the dialog modally until the user closes it.
    void Show();

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;

    void FillList();
    void GoToSelected();

    frmCheckWildcards& form_;
};

// Installed as Installed<CheckWildcardsView> while the add-in is loaded.
class WinCheckWildcardsView final : public CheckWildcardsView {
public:
    void ShowCheckDialog(frmCheckWildcards& form) override { CheckWildcardsDialog(form).Show(); }
};

}  // namespace qlora
