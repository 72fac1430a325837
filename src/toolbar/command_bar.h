// clsCommandBar: the add-in's temporary toolbar "Quillora Toolbar" in Word. From left to right it
// carries the pop-up menu "Insert wildcard" with one button per chosen wildcard, and the buttons
// "Choose wildcards", "Check wildcards", "Show wildcards", "Use as template" and "Info".
//
// CreateCommandbar runs on every DocumentChange and finds what exists before it adds anything.
// Word discards the toolbar when it closes, so its position lives in the settings store. Each call
// into Word costs Word time on every document switch: what the add-in set itself and what Office
// gives a new toolbar or control is not set again, and a DocumentChange that changes nothing the
// toolbar was built from only asks whether a document is open and whether the toolbar is shown.
//
// Every control gets a Tag unique to it, because Office raises a Click in every handler attached
// to a button with the clicked button's Tag: the control's caption (a wildcard button's bookmark
// name), a blank, and the local date and time as yyyy-mm-dd hh:mm:ss, e.g.
// "WildCard_Subject 2026-03-09 14:05:07". The time comes from the error trail host's clock; a
// process without one tags with the name alone.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolbar/wildcard_buttons.h"
#include "word/word_host.h"

namespace qlora {

// The modal dialogs the toolbar's buttons open, each modal to Word's main window and unloaded
// when it closes. The dialogs' Windows adapter installs them (Installed<ToolbarDialogs>).
class ToolbarDialogs {
public:
    virtual ~ToolbarDialogs() = default;
    virtual void ShowTemplateDialog() = 0;   // frmTemplate: save the document as a template
    virtual void ShowWildcardsDialog() = 0;  // frmWildcards: choose and order the wildcards
    virtual void ShowInfoDialog() = 0;       // frmInfo
};

class clsCommandBar {
public:
    static constexpr wchar_t kTypeName[] = L"clsCommandBar";
    static constexpr std::wstring_view kToolbarName = L"Quillora Toolbar";

    clsCommandBar() = default;
    clsCommandBar(const clsCommandBar&) = delete;  // its click handlers are bound to this object
    clsCommandBar& operator=(const clsCommandBar&) = delete;
    // Lets go of the "Use as template", "Info" and "Choose wildcards" buttons and then the toolbar;
    // the toolbar itself stays in Word until Word closes.
    ~clsCommandBar();

    // Finds or creates the toolbar, applies the stored position, builds the wildcard pop-up and
    // the three buttons, and enables what needs a document. Leaves the normal template's Saved
    // state as it found it. Reports any failure and returns.
    void CreateCommandbar();
    // Takes the toolbar out of Word and lets go of its buttons, leaving the normal template's Saved
    // state as it found it. Reports any failure and returns.
    void DeleteCommandbar();
    // Stores the toolbar's position; a step that fails is skipped.
    void SavePosition();
    // Builds the pop-up menu of wildcard buttons from the stored selection; with bolChange it
    // throws the old pop-up and its buttons away first. Leaves the normal template's Saved state as
    // it found it. Reports any failure and returns.
    void CreateWildCardList(bool bolChange = false);

    // Applies the stored position. A stored value that is not a whole number, or a bar position
    // Office does not have, reads as its default.
    void LoadPosition();
    // The control of that caption on a toolbar or pop-up menu, or a new temporary one set up with
    // the given style (0: none), face (-1: none) and tool tip ("": the caption); bolNew tells which.
    // Either way it gets a fresh Tag made from tagName ("": the caption).
    std::shared_ptr<word::CommandBarControl> CreateControl(const std::shared_ptr<word::Object>& myParent,
                                                           int32_t lngControlType, const std::wstring& strCaption,
                                                           int32_t lngStyle, int32_t lngFaceId,
                                                           std::wstring strToolTip, bool& bolNew,
                                                           std::wstring_view tagName = {});
    // Adds (or finds) the button of one wildcard on the pop-up menu if the wildcard is chosen, and
    // registers it with its place.
    void AddButton(const std::shared_ptr<word::Object>& myParent, const std::wstring& strParam,
                   const std::wstring& strToolTip, int32_t lngFaceId, int32_t lngDefaultIndex);
    // Lookups that ignore every failure and give nothing instead.
    std::shared_ptr<word::CommandBar> GetCommandBar(const std::wstring& strName);
    std::shared_ptr<word::CommandBarControl> GetControl(const std::shared_ptr<word::Object>& myParent,
                                                        const std::wstring& strCaption);

    // The three buttons' clicks; each reports any failure and returns.
    void myInfoButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    void myTemplateButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    void myWildcardsButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    // The same commands from the Ribbon: the trail shows the Ribbon control's id as Ctrl.
    void myInfoButton_Click(const std::wstring& Ctrl, bool& CancelDefault);
    void myTemplateButton_Click(const std::wstring& Ctrl, bool& CancelDefault);
    void myWildcardsButton_Click(const std::wstring& Ctrl, bool& CancelDefault);
    // "Check wildcards" and "Show wildcards": the commands report their own failures.
    void myCheckButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    void myShowButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    void myCheckButton_Click(const std::wstring& Ctrl, bool& CancelDefault);
    void myShowButton_Click(const std::wstring& Ctrl, bool& CancelDefault);
    // Whether the active document has a bookmark whose name begins with "WildCard_" (this case).
    bool DocumentHasWildcards();

    const std::shared_ptr<word::CommandBar>& CommandBar() const noexcept { return myCommandBar; }

private:
    using ClickMethod = void (clsCommandBar::*)(const std::shared_ptr<word::CommandBarButton>&, bool&);

    template <class Ctrl>
    void InfoClick(const Ctrl& ctrl, bool& cancelDefault);
    template <class Ctrl>
    void TemplateClick(const Ctrl& ctrl, bool& cancelDefault);
    template <class Ctrl>
    void WildcardsClick(const Ctrl& ctrl, bool& cancelDefault);

    // Finds or adds one of the three fixed buttons and has its clicks arrive at onClick; true when
    // it was added.
    bool AttachButton(ButtonWithEvents& member, const std::wstring& caption, int32_t style, int32_t faceId,
                      const std::wstring& toolTip, ClickMethod onClick);
    // Releases the buttons' events and the toolbar, and forgets what it was built as.
    void LetGoOfToolbar() noexcept;
    // CreateWildCardList for a known document state (nothing: ask Word).
    void FillWildCardList(bool bolChange, std::optional<bool> hasDocument);
    // The position values in kLoadOrder, as read from the bar.
    using BarPosition = std::array<int32_t, 4>;
    // True when the toolbar stands as it was built and nothing it was built from has changed. The
    // bar's position, when it was read on the way, is left in `position`.
    bool Unchanged(bool hasDocument, std::optional<BarPosition>& position);
    // LoadPosition for a bar whose values are known (nothing: set every value).
    void ApplyPosition(const std::optional<BarPosition>& position);
    // Whether a pop-up or button is enabled as far as known without asking Word: an added one is,
    // one built before follows the document state then.
    std::optional<bool> EnabledAsBuilt(bool added) const;

    // What the toolbar was last built from: whether a document was open, and each wildcard's
    // stored place in toolbar order.
    struct Built {
        bool hasDocument = false;
        std::vector<int32_t> places;
    };
    std::optional<Built> myBuilt;

    std::shared_ptr<word::CommandBar> myCommandBar;
    ButtonWithEvents myInfoButton;
    ButtonWithEvents myTemplateButton;
    ButtonWithEvents myWildcardsButton;
    ButtonWithEvents myCheckButton;
    ButtonWithEvents myShowButton;
};

}  // namespace qlora
