#include "addin/dialogs_win.h"

#include "report/error_report_win.h"
#include "shell/info_dialog_win.h"
#include "templates/template_dialog_win.h"
#include "wildcards/wildcard_selection_win.h"

namespace qlora {

WinDialogs::WinDialogs() = default;
WinDialogs::~WinDialogs() = default;

void WinDialogs::ShowTemplateDialog() { TemplateDialog().Show(); }

void WinDialogs::ShowWildcardsDialog() { WildcardsDialog().Show(); }

void WinDialogs::ShowInfoDialog() {
    InfoDialog dialog;
    openInfo_ = &dialog;
    try {
        dialog.Show();
    } catch (...) {
        openInfo_ = nullptr;
        throw;
    }
    openInfo_ = nullptr;
}

void WinDialogs::UnloadInfo() {
    if (openInfo_) openInfo_->Close();
}

void WinDialogs::UnloadErrorReport() { errorReport_.reset(); }

void WinDialogs::ShowReport(const std::wstring& report) {
    if (!errorReport_) errorReport_ = std::make_unique<ErrorReportDialog>();
    errorReport_->Report(report);
}

}  // namespace qlora
