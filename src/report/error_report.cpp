#include "report/error_report.h"

#include "base/required.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "shell/contact.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"

namespace qlora {
namespace {

constexpr wchar_t kNl[] = L"\r\n";

}  // namespace

std::wstring frmShowError::HeadText() {
    return LNG_Main(273) + kNl + LNG_Main(274) + kSupportEmail + kNl + LNG_Main(275) + kHomepage;
}

std::wstring frmShowError::ReportText(const std::wstring& report) {
    const std::wstring windows = IgnoringFailures([] { return clsOperatingSystem().OperatingSystem(); });
    // The report is shown also when Word is not known (a failure while connecting, or after Word
    // has let go of the add-in); only its version line is missing then.
    std::wstring text = report;
    IgnoringFailures([&] {
        if (const auto word = basGlobal::gWordApplication) text += kNl + (L"Word Version: " + word->Version());
    });
    return text + kNl + L"Windows Version: " + windows;
}

ReportLayout frmShowError::Arrange(int32_t scaleWidth, int32_t scaleHeight, int32_t txtErrorLeft,
                                   int32_t txtErrorTop, int32_t cmdCloseWidth, int32_t gap) {
    ReportLayout layout{};
    layout.txtErrorWidth = scaleWidth - 2 * txtErrorLeft;
    layout.txtErrorHeight = scaleHeight - (3 * txtErrorTop) / 2 - gap;
    layout.buttonsTop = txtErrorTop + layout.txtErrorHeight + gap;
    layout.cmdCloseLeft = scaleWidth - txtErrorLeft - cmdCloseWidth;
    layout.cmdSendLeft = layout.cmdCloseLeft - cmdCloseWidth - gap;  // both buttons are as wide as cmdClose
    return layout;
}

bool frmShowError::SelectsAll(int32_t KeyCode, int32_t Shift) noexcept { return KeyCode == kKeyA && Shift == kCtrlMask; }

void frmShowError::ErrorReport(const std::wstring& report) noexcept {
    IgnoringFailures([&] { window_.SetReport(ReportText(report)); });
    IgnoringFailures([&] {
        if (!window_.Visible() && !window_.OpenModeless()) window_.OpenModal();
    });
    IgnoringFailures([&] { window_.Refresh(); });
}

bool frmShowError::txtError_KeyDown(int32_t KeyCode, int32_t Shift) noexcept {
    if (!SelectsAll(KeyCode, Shift)) return false;
    IgnoringFailures([&] { window_.SelectAll(); });
    return true;
}

void frmShowError::cmdClose_Click() noexcept {
    IgnoringFailures([&] { window_.Unload(); });
}

void frmShowError::cmdSend_Click() noexcept {
    IgnoringFailures([] { clsShellExecute().LaunchEmail(0, kSupportEmail, show::Default); });
}

}  // namespace qlora
