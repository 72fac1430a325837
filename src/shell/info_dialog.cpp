#include "shell/info_dialog.h"

#include "base/port.h"
#include "base/required.h"
#include "language/language_texts.h"
#include "shell/contact.h"
#include "shell/shell_execute.h"
#include "trail/error_trail.h"

namespace qlora {

void frmInfo::Form_Load() {
    view_.SetText(InfoLabel::lblName, LNG_Main(259));
    ReportFailures(L"frmInfo.Form_Load", [&] {
        // The add-in module's own version resource: major.minor.revision.
        view_.SetText(InfoLabel::lblVersion, L"Version " + Required(Installed<ErrorTrailHost>::Get()).AppVersion());
        view_.SetText(InfoLabel::lblEmail, kSupportEmail);
        view_.SetText(InfoLabel::lblHomepage, kHomepage);
    });
}

void frmInfo::cmdOK_Click() {
    ReportFailures(L"frmInfo.cmdOK_Click", [&] { view_.Unload(); });
}

void frmInfo::lblEmail_Click() {
    ReportFailures(L"frmInfo.lblEmail_Click", [&] {
        clsShellExecute shell;
        view_.Unload();
        shell.LaunchEmail(0, kSupportEmail, show::Default);  // the dialog is gone: no owner
    });
}

void frmInfo::lblHomepage_Click() {
    ReportFailures(L"frmInfo.lblHomepage_Click", [&] {
        clsShellExecute shell;
        shell.LaunchURL(view_.WindowHandle(), kHomepage, show::Normal);
    });
}

}  // namespace qlora
