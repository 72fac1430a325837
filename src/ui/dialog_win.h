// The add-in's dialogs on Windows: resource dialogs of the add-in's module with Common Controls 6,
// whose dialog procedure only routes messages to the object showing the dialog; the texts and
// tool tips of a dialog's controls from its table; icons and the bold heading font.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "win/modal_owner_win.h"
#include "win/win32_win.h"

namespace qlora::win {

// Common Controls 6 for the windows created while it lives, whatever the host process uses: the
// add-in's manifest resource is activated on this thread (its context is made once per process).
// Without the resource the process's own controls serve.
class VisualStyles {
public:
    VisualStyles();
    ~VisualStyles();
    VisualStyles(const VisualStyles&) = delete;
    VisualStyles& operator=(const VisualStyles&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Common Controls for the add-in's dialogs, loaded when a dialog opens (in the context VisualStyles
// activated, so version 6) and held while the dialog lives; its window classes are registered.
struct CommonControls {
    CommonControls();

    Library dll{L"comctl32.dll"};
    decltype(::SetWindowSubclass)* const SetWindowSubclass = dll.Entry<decltype(::SetWindowSubclass)>("SetWindowSubclass");
    decltype(::RemoveWindowSubclass)* const RemoveWindowSubclass =
        dll.Entry<decltype(::RemoveWindowSubclass)>("RemoveWindowSubclass");
    decltype(::DefSubclassProc)* const DefSubclassProc = dll.Entry<decltype(::DefSubclassProc)>("DefSubclassProc");
};

// One row of a dialog's text table: the control (0: the dialog itself), the text number of its
// caption (0: the resource's caption stays) and of its tool tip (0: none).
struct ControlText {
    int id;
    int16_t caption;
    int16_t toolTip = 0;
};

// The tool tips of one dialog's controls; they go with the tool tip window.
class ToolTips {
public:
    explicit ToolTips(HWND dialog);
    // Gives the control its tip, or a new text for the one it has.
    void Set(HWND control, const std::wstring& text);
    HWND Window() const noexcept { return window_.get(); }

private:
    HWND dialog_;
    UniqueWindow window_;
};

// A dialog from the add-in's resources; a modal one belongs to ModalOwner(). The dialog procedure
// hands every message to the object and lets nothing out: a failure a handler does not report
// itself (setting the texts while the dialog loads, say) ends the dialog and is thrown again by
// ShowModal or CreateModeless to the code that opened it.
class Dialog {
public:
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog and returns how it was ended; a dialog that cannot be made fails, and so
    // does one whose handler failed.
    INT_PTR ShowModal(int templateId);
    // Makes the dialog without a mode, hidden; false when the system refuses.
    bool CreateModeless(int templateId);
    // Ends the dialog: a modal one returns from ShowModal, a modeless one is destroyed.
    void End(INT_PTR result) noexcept;

    HWND Window() const noexcept { return hwnd_; }
    HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const;

protected:
    Dialog() = default;

    virtual void OnInit() {}
    virtual void OnCommand(int id, int code) {}
    virtual LRESULT OnNotify(const NMHDR& header) { return 0; }
    // Any message before the routing above; a value ends its handling with that result.
    virtual std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return std::nullopt; }
    virtual void OnDestroy() {}

    // Sets the captions and tool tips of the table's controls in the current language.
    void ApplyTexts(std::span<const ControlText> table);
    // The tool tips of this dialog's controls; they go with the window.
    ToolTips& Tips();
    // The dialog's own font in bold, for a heading.
    UniqueFont BoldFont() const;
    // An icon of the add-in's resources at the given size in pixels.
    static UniqueIcon LoadIconResource(int id, int size);
    // Twips (1/1440 inch) in this dialog's pixels across.
    int TwipsToPixelsX(int twips) const;
    // Common Controls, loaded since the dialog was first opened.
    const CommonControls& Controls() const { return *controls_; }

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Route(UINT message, WPARAM wParam, LPARAM lParam);

    // Keeps the first failure for the opener while it waits (a modal dialog, or a modeless one
    // being made) and ends the dialog; later failures of a modeless one have no opener to go to.
    void Fail(std::exception_ptr failure) noexcept;
    void RethrowFailure();

    // Opens Common Controls for the dialog about to be made, once.
    void LoadControls();

    std::unique_ptr<CommonControls> controls_;  // first in, last out: the window goes before it
    HWND hwnd_ = nullptr;
    bool modal_ = false;
    bool opening_ = false;
    std::exception_ptr failure_;
    std::unique_ptr<ToolTips> tips_;
};

}  // namespace qlora::win
