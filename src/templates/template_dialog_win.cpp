#include "templates/template_dialog_win.h"

#include <commdlg.h>

#include <vector>

#include "base/text.h"
#include "ui/resource_ids.h"

namespace qlora {
namespace {

constexpr win::ControlText kTexts[] = {
    {IDC_LBL_TEMPLATENAME, 306}, {IDC_TPL_LBL_NAME, 305}, {IDC_LBL_PATH, 304}, {IDCANCEL, 303}, {0, 302},
};

int FieldId(TemplateField field) { return field == TemplateField::txtName ? IDC_TXT_NAME : IDC_TXT_PATH; }

// The long path limit: a file name the dialog hands back fits.
constexpr size_t kFileNameCapacity = 32768;

}  // namespace

std::optional<std::wstring> ChooseSaveFileName(HWND owner, const SaveFileRequest& request) {
    // "Description|pattern|..." as the dialog wants it: each piece ended by a NUL, one more at the end.
    std::wstring filter = text::ReplaceAll(request.filter, L"|", std::wstring(1, L'\0'));
    filter.append(2, L'\0');
    std::vector<wchar_t> file(kFileNameCapacity, L'\0');
    request.fileName.copy(file.data(), std::min(request.fileName.size(), file.size() - 1));
    const std::wstring extension =
        request.defaultExtension.starts_with(L".") ? request.defaultExtension.substr(1) : request.defaultExtension;

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    // The form asks about an existing file itself; Word's current folder stays as it is.
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // Loaded for this one question: a Word that never saves a template never loads it.
    const win::Library commonDialogs(L"comdlg32.dll");
    if (commonDialogs.Entry<decltype(::GetSaveFileNameW)>("GetSaveFileNameW")(&dialog)) return std::wstring(file.data());
    if (const DWORD code = commonDialogs.Entry<decltype(::CommDlgExtendedError)>("CommDlgExtendedError")(); code != 0)
        win::ThrowWin32(code, L"GetSaveFileName");
    return std::nullopt;
}

void TemplateDialog::Show() { ShowModal(IDD_TEMPLATE); }

void TemplateDialog::OnInit() {
    ApplyTexts(kTexts);
    headingFont_ = BoldFont();
    ::SendMessageW(Item(IDC_TPL_LBL_NAME), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.get()), FALSE);
    form_.Form_Load();
}

void TemplateDialog::OnCommand(int id, int code) {
    if (id == IDC_TXT_PATH && code == EN_CHANGE) return form_.txtPath_Change();
    if (code != BN_CLICKED) return;
    switch (id) {
        case IDOK: return form_.cmdOk_Click();
        case IDCANCEL: return form_.cmdCancel_Click();  // also the window frame's close
        case IDC_CMD_FILE: return form_.cmdFile_Click();
        default: return;
    }
}

void TemplateDialog::OnDestroy() {
    bool cancel = false;
    form_.Form_Unload(cancel);
}

std::wstring TemplateDialog::Text(TemplateField field) { return ItemText(FieldId(field)); }

void TemplateDialog::SetText(TemplateField field, const std::wstring& text) { SetItemText(FieldId(field), text); }

void TemplateDialog::SelectAll(TemplateField field) { ::SendMessageW(Item(FieldId(field)), EM_SETSEL, 0, -1); }

void TemplateDialog::SetToolTip(TemplateField field, const std::wstring& text) { Tips().Set(Item(FieldId(field)), text); }

std::optional<std::wstring> TemplateDialog::ChooseSaveFile(const SaveFileRequest& request) {
    return ChooseSaveFileName(Window(), request);
}

void TemplateDialog::Unload() { End(IDOK); }

}  // namespace qlora
