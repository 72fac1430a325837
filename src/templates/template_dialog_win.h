// frmTemplate on Windows: the resource dialog with the template's name and target file, the
// standard save-file dialog, and the path's tool tip. The form (templates/template_dialog.h)
// holds the workflow.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "templates/template_dialog.h"
#include "ui/dialog_win.h"

namespace qlora {

// The standard save-file dialog (GetSaveFileNameW) owned by a window: the chosen file, or nothing
// when the user cancelled; a failure of the dialog itself raises its error code.
std::optional<std::wstring> ChooseSaveFileName(HWND owner, const SaveFileRequest& request);

class TemplateDialog final : public win::Dialog, private TemplateView {
public:
    TemplateDialog() = default;

    // Shows the dialog modally until the template is saved or the user cancels.
    void Show();

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnDestroy() override;

    std::wstring Text(TemplateField field) override;
    void SetText(TemplateField field, const std::wstring& text) override;
    void SelectAll(TemplateField field) override;
    void SetToolTip(TemplateField field, const std::wstring& text) override;
    std::optional<std::wstring> ChooseSaveFile(const SaveFileRequest& request) override;
    void Unload() override;

    frmTemplate form_{*this};
    win::UniqueFont headingFont_;
};

}  // namespace qlora
