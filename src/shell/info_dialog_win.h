// frmInfo on Windows: the resource dialog with the program's name and version and two links
// (SysLink controls) for the support e-mail address and the homepage. The form
// (shell/info_dialog.h) fills it and answers the links.
#pragma once

#include <string>

#include "shell/info_dialog.h"
#include "ui/dialog_win.h"

namespace qlora {

class InfoDialog final : public win::Dialog, private InfoView {
public:
    InfoDialog() = default;

    // Shows the dialog modally until it is closed.
    void Show();
    // Closes the dialog from outside (the add-in is unloaded while it is open).
    void Close() { Unload(); }

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    LRESULT OnNotify(const NMHDR& header) override;

    void SetText(InfoLabel label, const std::wstring& text) override;
    std::intptr_t WindowHandle() override { return reinterpret_cast<std::intptr_t>(Window()); }
    void Unload() override { End(IDOK); }

    frmInfo form_{*this};
    win::UniqueFont nameFont_;
};

}  // namespace qlora
