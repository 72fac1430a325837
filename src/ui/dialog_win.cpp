#include "ui/dialog_win.h"

#include <algorithm>

#include "base/modal.h"
#include "language/language_texts.h"
#include "win/modal_owner_win.h"

namespace qlora::win {
namespace {

struct ActCtxTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::ReleaseActCtx(h); }
};

// The activation context of the module's Common Controls manifest (resource 3, the one a DLL
// activates itself), made once; none when the module has no such resource.
HANDLE CommonControlsContext() {
    static const Unique<ActCtxTraits> context = [] {
        const std::wstring path = ModulePath(ThisModule());
        ACTCTXW request{sizeof(request)};
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.lpSource = path.c_str();
        request.hModule = ThisModule();
        request.lpResourceName = ISOLATIONAWARE_NOSTATICIMPORT_MANIFEST_RESOURCE_ID;
        return Unique<ActCtxTraits>(::CreateActCtxW(&request));
    }();
    return context.get();
}

}  // namespace

VisualStyles::VisualStyles() {
    if (const HANDLE context = CommonControlsContext(); context != INVALID_HANDLE_VALUE)
        active_ = ::ActivateActCtx(context, &cookie_) != FALSE;
}

VisualStyles::~VisualStyles() {
    if (active_) ::DeactivateActCtx(0, cookie_);
}

CommonControls::CommonControls() {
    // The classes of the loaded version, for the windows made from now on.
    INITCOMMONCONTROLSEX classes{sizeof(classes),
                                 ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
    dll.Entry<decltype(::InitCommonControlsEx)>("InitCommonControlsEx")(&classes);
}

ToolTips::ToolTips(HWND dialog) : dialog_(dialog) {
    window_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                    ThisModule(), nullptr));
    if (!window_) ThrowLastError(L"CreateWindowEx tooltips_class32");
}

void ToolTips::Set(HWND control, const std::wstring& text) {
    TTTOOLINFOW tool{sizeof(tool)};
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());  // the tool tip keeps its own copy
    TTTOOLINFOW existing{sizeof(existing)};
    existing.hwnd = dialog_;
    existing.uId = tool.uId;
    const bool known = ::SendMessageW(window_.get(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&existing)) != 0;
    ::SendMessageW(window_.get(), known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

Dialog::~Dialog() {
    if (hwnd_ && !modal_) ::DestroyWindow(hwnd_);
}

void Dialog::LoadControls() {
    if (!controls_) controls_ = std::make_unique<CommonControls>();
}

INT_PTR Dialog::ShowModal(int templateId) {
    const VisualStyles styles;
    LoadControls();
    const ModalScope modal;
    modal_ = true;
    failure_ = nullptr;
    const INT_PTR result = ::DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(templateId), ModalOwner(), &Proc,
                                             reinterpret_cast<LPARAM>(this));
    RethrowFailure();
    if (result == -1) ThrowLastError(L"DialogBoxParam");
    return result;
}

bool Dialog::CreateModeless(int templateId) {
    const VisualStyles styles;
    LoadControls();
    modal_ = false;
    failure_ = nullptr;
    opening_ = true;
    const bool made = ::CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(templateId), nullptr, &Proc,
                                           reinterpret_cast<LPARAM>(this)) != nullptr;
    opening_ = false;
    RethrowFailure();
    return made;
}

void Dialog::Fail(std::exception_ptr failure) noexcept {
    if (!modal_ && !opening_) return;
    if (!failure_) failure_ = std::move(failure);
    End(IDCANCEL);
}

void Dialog::RethrowFailure() {
    if (!failure_) return;
    std::exception_ptr failure;
    std::swap(failure, failure_);
    std::rethrow_exception(failure);
}

void Dialog::End(INT_PTR result) noexcept {
    if (!hwnd_) return;
    if (modal_) ::EndDialog(hwnd_, result);
    else ::DestroyWindow(hwnd_);
}

std::wstring Dialog::ItemText(int id) const {
    const HWND item = Item(id);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Dialog::SetItemText(int id, const std::wstring& text) const { ::SetWindowTextW(Item(id), text.c_str()); }

void Dialog::ApplyTexts(std::span<const ControlText> table) {
    for (const auto& row : table) {
        const HWND control = row.id == 0 ? hwnd_ : Item(row.id);
        if (row.caption != 0) ::SetWindowTextW(control, LNG_Main(row.caption).c_str());
        if (row.toolTip != 0) Tips().Set(control, LNG_Main(row.toolTip));
    }
}

ToolTips& Dialog::Tips() {
    if (!tips_) tips_ = std::make_unique<ToolTips>(hwnd_);
    return *tips_;
}

UniqueFont Dialog::BoldFont() const {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0)), sizeof(font), &font);
    font.lfWeight = FW_BOLD;
    return UniqueFont(::CreateFontIndirectW(&font));
}

UniqueIcon Dialog::LoadIconResource(int id, int size) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

int Dialog::TwipsToPixelsX(int twips) const {
    const WindowDc dc(hwnd_);
    return ::MulDiv(twips, ::GetDeviceCaps(dc.get(), LOGPIXELSX), 1440);
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<Dialog*>(lParam)->hwnd_ = hwnd;
        if (reinterpret_cast<Dialog*>(lParam)->modal_) PushModalDialog(hwnd);
    }
    auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->Route(message, wParam, lParam);
    } catch (...) {  // nothing leaves a window procedure: the opener gets it
        self->Fail(std::current_exception());
    }
    if (message == WM_NCDESTROY) {
        PopModalDialog(hwnd);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR Dialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto handled = OnMessage(message, wParam, lParam)) return *handled;
    switch (message) {
        case WM_INITDIALOG:
            OnInit();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, OnNotify(*reinterpret_cast<const NMHDR*>(lParam)));
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            tips_.reset();  // its window is owned by the dialog and goes with it, if not gone already
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qlora::win
