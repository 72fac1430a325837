#include "report/error_report_win.h"

#include "ui/resource_ids.h"

namespace qlora {
namespace {

constexpr win::ControlText kTexts[] = {{IDCANCEL, 279}, {IDC_CMD_SEND, 278, 277}, {0, 276}};
constexpr UINT_PTR kKeysSubclass = 1;
constexpr int kReportFontPoints = 9;
// The spacing between the report box and the buttons, in twips.
constexpr int kGapTwips = 100;

RECT PlaceIn(HWND dialog, HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The modifier keys held down, as shift state bits.
int32_t ShiftState() {
    const auto down = [](int key) { return (::GetKeyState(key) & 0x8000) != 0; };
    return (down(VK_SHIFT) ? frmShowError::kShiftMask : 0) | (down(VK_CONTROL) ? frmShowError::kCtrlMask : 0) |
           (down(VK_MENU) ? frmShowError::kAltMask : 0);
}

}  // namespace

void ErrorReportDialog::OnInit() {
    ApplyTexts(kTexts);
    SetItemText(IDC_LBL_HEAD, frmShowError::HeadText());

    const HWND report = Item(IDC_TXT_ERROR);
    const int height = -::MulDiv(kReportFontPoints, ::GetDeviceCaps(win::WindowDc(Window()).get(), LOGPIXELSY), 72);
    reportFont_.reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New"));
    ::SendMessageW(report, WM_SETFONT, reinterpret_cast<WPARAM>(reportFont_.get()), FALSE);
    Controls().SetWindowSubclass(report, &ReportKeys, kKeysSubclass, reinterpret_cast<DWORD_PTR>(this));
    SetItemText(IDC_TXT_ERROR, text_);
    designedReport_ = PlaceIn(Window(), report);
    Arrange();
}

void ErrorReportDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDCANCEL) form_.cmdClose_Click();  // also the window frame's close
    else if (id == IDC_CMD_SEND) form_.cmdSend_Click();
}

std::optional<INT_PTR> ErrorReportDialog::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_GETMINMAXINFO: {
            auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
            limits.ptMinTrackSize = {frmShowError::kMinimumWidth, frmShowError::kMinimumHeight};
            return TRUE;
        }
        case WM_SIZE:
            if (Window()) Arrange();
            return TRUE;
        default:
            return std::nullopt;
    }
}

void ErrorReportDialog::Arrange() {
    RECT client{};
    ::GetClientRect(Window(), &client);
    const HWND close = Item(IDCANCEL);
    const RECT closePlace = PlaceIn(Window(), close);
    const int buttonWidth = closePlace.right - closePlace.left;
    const int buttonHeight = closePlace.bottom - closePlace.top;
    const auto layout = frmShowError::Arrange(client.right, client.bottom, designedReport_.left, designedReport_.top,
                                              buttonWidth, TwipsToPixelsX(kGapTwips));
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    ::SetWindowPos(Item(IDC_TXT_ERROR), nullptr, designedReport_.left, designedReport_.top, layout.txtErrorWidth,
                   layout.txtErrorHeight, flags);
    ::SetWindowPos(close, nullptr, layout.cmdCloseLeft, layout.buttonsTop, buttonWidth, buttonHeight, flags);
    ::SetWindowPos(Item(IDC_CMD_SEND), nullptr, layout.cmdSendLeft, layout.buttonsTop, buttonWidth, buttonHeight,
                   flags);
    ::InvalidateRect(Window(), nullptr, TRUE);
}

LRESULT CALLBACK ErrorReportDialog::ReportKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR self) {
    auto& dialog = *reinterpret_cast<ErrorReportDialog*>(self);
    if (message == WM_KEYDOWN && dialog.form_.txtError_KeyDown(static_cast<int32_t>(wParam), ShiftState())) return 0;
    const auto& controls = dialog.Controls();
    if (message == WM_NCDESTROY) controls.RemoveWindowSubclass(edit, &ReportKeys, kKeysSubclass);
    return controls.DefSubclassProc(edit, message, wParam, lParam);
}

bool ErrorReportDialog::Visible() { return Window() && ::IsWindowVisible(Window()); }

void ErrorReportDialog::SetReport(const std::wstring& text) {
    text_ = text;
    if (Window()) SetItemText(IDC_TXT_ERROR, text_);
}

void ErrorReportDialog::SelectAll() { ::SendMessageW(Item(IDC_TXT_ERROR), EM_SETSEL, 0, -1); }

bool ErrorReportDialog::OpenModeless() {
    if (!Window() && !CreateModeless(IDD_SHOWERROR)) return false;
    ::ShowWindow(Window(), SW_SHOWNORMAL);
    return true;
}

void ErrorReportDialog::OpenModal() { ShowModal(IDD_SHOWERROR); }

void ErrorReportDialog::Refresh() {
    if (!Window()) return;
    ::SetForegroundWindow(Window());
    ::UpdateWindow(Window());
}

void ErrorReportDialog::Unload() { End(IDCANCEL); }

}  // namespace qlora
