// frmShowError: the dialog that shows the user the report of a failure (the error trail's
// ReportView). It says that an error occurred, where to send the report and where to find
// updates, and shows the report with the Word and Windows versions appended, in a resizable box
// from which the user can copy it. One instance serves the process; it is shown without a mode,
// so that Word stays usable, and modally when that is refused.
//
// Showing a report must never raise a new error: every step here ignores its own failure.
#pragma once

#include <cstdint>
#include <string>

namespace qlora {

// The dialog's window as frmShowError drives it.
class ErrorReportWindow {
public:
    virtual ~ErrorReportWindow() = default;
    virtual bool Visible() = 0;
    virtual void SetReport(const std::wstring& text) = 0;  // txtError
    virtual void SelectAll() = 0;                          // the whole of txtError
    // Shows the window without a mode; false when the system would not.
    virtual bool OpenModeless() = 0;
    // Shows it modally and returns once it is closed.
    virtual void OpenModal() = 0;
    // Brings the shown window up to date in front of the user.
    virtual void Refresh() = 0;
    virtual void Unload() = 0;
};

// Where the controls go when the dialog is resized; all in the units of the dialog's inner size.
struct ReportLayout {
    int32_t txtErrorWidth, txtErrorHeight;
    int32_t buttonsTop;  // cmdClose and cmdSend
    int32_t cmdCloseLeft, cmdSendLeft;

    friend bool operator==(const ReportLayout&, const ReportLayout&) = default;
};

class frmShowError {
public:
    static constexpr wchar_t kTypeName[] = L"frmShowError";
    // The dialog is never made smaller than this, in screen pixels.
    static constexpr int32_t kMinimumWidth = 400;
    static constexpr int32_t kMinimumHeight = 300;
    // Key down: the key code of "A" and the shift state bits.
    static constexpr int32_t kKeyA = 65;
    static constexpr int32_t kShiftMask = 1;
    static constexpr int32_t kCtrlMask = 2;
    static constexpr int32_t kAltMask = 4;

    explicit frmShowError(ErrorReportWindow& window) : window_(window) {}
    frmShowError(const frmShowError&) = delete;
    frmShowError& operator=(const frmShowError&) = delete;

    // lblHead: that an error occurred, where to send the report, where to find updates.
    static std::wstring HeadText();
    // The text box's content for a report: the report, the Word version line when Word is known,
    // and the Windows version line.
    static std::wstring ReportText(const std::wstring& report);
    // The space left for the report box and where the buttons go, for the dialog's inner size,
    // the report box's place and the close button's width; `gap` is the spacing between them.
    static ReportLayout Arrange(int32_t scaleWidth, int32_t scaleHeight, int32_t txtErrorLeft, int32_t txtErrorTop,
                                int32_t cmdCloseWidth, int32_t gap);
    // Ctrl+A, with no other modifier, selects the whole report.
    static bool SelectsAll(int32_t KeyCode, int32_t Shift) noexcept;

    // The ErrorReport property: fills the box and shows the dialog, unless it shows already.
    void ErrorReport(const std::wstring& report) noexcept;
    // txtError's key down; true when the key was taken.
    bool txtError_KeyDown(int32_t KeyCode, int32_t Shift) noexcept;
    void cmdClose_Click() noexcept;
    // Opens a new e-mail to the support address. A refusal is not reported: it would replace the
    // report the user is looking at.
    void cmdSend_Click() noexcept;

private:
    ErrorReportWindow& window_;
};

}  // namespace qlora
