// The add-in's dialogs as the rest of the add-in reaches them on Windows: the toolbar's buttons
// open them, the error trail shows its reports in frmShowError, and the handler unloads what is
// still open when Word lets go of the add-in.
#pragma once

#include <memory>
#include <string>

#include "addin/word_addin.h"
#include "toolbar/command_bar.h"
#include "trail/error_trail.h"

namespace qlora {

class ErrorReportDialog;
class InfoDialog;

class WinDialogs final : public ToolbarDialogs, public OpenDialogs, public ReportView {
public:
    WinDialogs();
    ~WinDialogs() override;
    WinDialogs(const WinDialogs&) = delete;
    WinDialogs& operator=(const WinDialogs&) = delete;

    void ShowTemplateDialog() override;
    void ShowWildcardsDialog() override;
    void ShowInfoDialog() override;
    void UnloadInfo() override;
    void UnloadErrorReport() override;
    // The one error report dialog, made by the first report.
    void ShowReport(const std::wstring& report) override;

private:
    InfoDialog* openInfo_ = nullptr;  // while the info dialog is shown
    std::unique_ptr<ErrorReportDialog> errorReport_;
};

}  // namespace qlora
