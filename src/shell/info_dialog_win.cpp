#include "shell/info_dialog_win.h"

#include "ui/resource_ids.h"

namespace qlora {
namespace {

// The labels and whether each is a link.
struct LabelControl {
    InfoLabel label;
    int id;
    bool link;
};
constexpr LabelControl kLabels[] = {
    {InfoLabel::lblName, IDC_INFO_LBL_NAME, false},
    {InfoLabel::lblVersion, IDC_LBL_VERSION, false},
    {InfoLabel::lblEmail, IDC_LBL_EMAIL, true},
    {InfoLabel::lblHomepage, IDC_LBL_HOMEPAGE, true},
};

}  // namespace

void InfoDialog::Show() { ShowModal(IDD_INFO); }

void InfoDialog::OnInit() {
    nameFont_ = BoldFont();
    ::SendMessageW(Item(IDC_INFO_LBL_NAME), WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_.get()), FALSE);
    form_.Form_Load();
}

void InfoDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDOK) form_.cmdOK_Click();
    else if (id == IDCANCEL) Unload();  // the window frame's close
}

LRESULT InfoDialog::OnNotify(const NMHDR& header) {
    if (header.code != NM_CLICK && header.code != NM_RETURN) return 0;
    if (header.idFrom == IDC_LBL_EMAIL) form_.lblEmail_Click();
    else if (header.idFrom == IDC_LBL_HOMEPAGE) form_.lblHomepage_Click();
    return 0;
}

void InfoDialog::SetText(InfoLabel label, const std::wstring& text) {
    for (const auto& control : kLabels)
        if (control.label == label) SetItemText(control.id, control.link ? L"<a>" + text + L"</a>" : text);
}

}  // namespace qlora
