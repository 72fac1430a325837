// frmShowError on Windows: a resizable resource dialog with the head label, the report in a
// Courier New box (Ctrl+A selects it all) and the Send and Close buttons. It is made on the first
// report and shown without a mode; the form (errors/error_report.h) decides what it shows.
#pragma once

#include <memory>
#include <string>

#include "report/error_report.h"
#include "ui/dialog_win.h"

namespace qlora {

class ErrorReportDialog final : public win::Dialog, private ErrorReportWindow {
public:
    ErrorReportDialog() = default;

    // The ErrorReport property: fills the box and shows the dialog, unless it shows already.
    void Report(const std::wstring& report) { form_.ErrorReport(report); }
    // Unloads the dialog when it is open.
    void Close() { Unload(); }

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool Visible() override;
    void SetReport(const std::wstring& text) override;
    void SelectAll() override;
    bool OpenModeless() override;
    void OpenModal() override;
    void Refresh() override;
    void Unload() override;

    // Places the report box and the buttons for the dialog's size.
    void Arrange();
    static LRESULT CALLBACK ReportKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);

    frmShowError form_{*this};
    std::wstring text_;
    win::UniqueFont reportFont_;
    RECT designedReport_{};  // the report box's place as the resource lays it out, in pixels
};

}  // namespace qlora
