// The wildcard buttons of the toolbar's pop-up menu: clsWildCardBtn wraps one button, receives its
// clicks and inserts the wildcard as a bookmarked placeholder at the selection; basWildcardBtns
// keeps every wrapper, keyed by bookmark name, and brings the buttons into the stored order.
//
// Also a button whose clicks are received, which the toolbar's own buttons use too.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/modal.h"
#include "base/required.h"
#include "word/word_host.h"

namespace qlora {

// A button member whose clicks go to one handler, as a button declared to receive events: a new
// button (or none) ends the subscription to the one before, and so does going out of scope.
class ButtonWithEvents {
public:
    // Subscribes to the new button first: when that fails the member keeps its old button. A
    // click while one of the add-in's modal windows is open is ignored.
    void Assign(std::shared_ptr<word::CommandBarButton> button, word::CommandBarButton::ClickHandler onClick) {
        auto unlessModal = [onClick = std::move(onClick)](const std::shared_ptr<word::CommandBarButton>& ctrl,
                                                          bool& cancelDefault) {
            if (!ModalScope::Open()) onClick(ctrl, cancelDefault);
        };
        EventConnection clicks = button ? button->AdviseClick(std::move(unlessModal)) : EventConnection();
        clicks_ = std::move(clicks);
        button_ = std::move(button);
    }
    void Release() noexcept {
        clicks_.Reset();
        button_.reset();
    }
    const std::shared_ptr<word::CommandBarButton>& Get() const noexcept { return button_; }

private:
    std::shared_ptr<word::CommandBarButton> button_;
    EventConnection clicks_;  // declared last: it ends before the button is let go
};

class clsWildCardBtn {
public:
    static constexpr wchar_t kTypeName[] = L"clsWildCardBtn";

    clsWildCardBtn() = default;
    clsWildCardBtn(const clsWildCardBtn&) = delete;  // its click handler is bound to this object
    clsWildCardBtn& operator=(const clsWildCardBtn&) = delete;

    int32_t Index = 0;  // the button's place in the pop-up menu, 1 first

    const std::shared_ptr<word::CommandBarButton>& Button() const noexcept { return myButton.Get(); }
    // Wraps a button: from now on its clicks (and no longer the previous button's) arrive here.
    void SetButton(std::shared_ptr<word::CommandBarButton> button);

    // Word's Click: inserts the wrapped button's wildcard. Reports any failure and returns.
    void myButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault);
    // The same insertion from a Ribbon menu button: the wildcard of that bookmark name, in the
    // add-in's language; the trail shows the Ribbon control's id as Ctrl.
    static void RibbonButton_Click(const std::wstring& Ctrl, const std::wstring& strParam);

    // Types "<<" + strText + ">>" at the selection of the active document, marks it with the first
    // free bookmark name strName, strName1, strName2, ... and leaves the caret after it. Without an
    // active document or selection it does nothing.
    void AddBookmark(std::wstring strText, std::wstring strName);

private:
    ButtonWithEvents myButton;
};

namespace basWildcardBtns {

// Registers a button under its bookmark name with its place; a wrapper registered before takes
// over the new button and place.
void AddwcButton(const std::shared_ptr<word::CommandBarButton>& mywcButton, const std::wstring& strKey,
                 int32_t lngIndex);
// The wrapper of a bookmark name (any letter case), or nothing.
std::shared_ptr<clsWildCardBtn> GetwcButton(const std::wstring& strKey);
// Lets every wrapper go; the next registration starts a new collection.
void ClearwcButtons();
// Moves each button, in registration order, before the place min(Index, number of wrappers).
void SortButtons();

// The registered bookmark names in registration order.
std::vector<std::wstring> Keys();

}  // namespace basWildcardBtns
}  // namespace qlora
