#include "toolbar/command_bar.h"

#include <array>
#include <limits>

#include "addin/global.h"
#include "common/port.h"
#include "common/prompt.h"
#include "common/text.h"
#include "errors/error_trail.h"
#include "settings/language_texts.h"
#include "settings/program_settings.h"
#include "toolbar/check_wildcards.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"

namespace qlora {
namespace {

namespace mso = word::mso;

// Office's built-in button faces.
constexpr int32_t kFaceWildcard = 163;  // the wildcard buttons and "Choose wildcards"
constexpr int32_t kFaceTemplate = 230;
constexpr int32_t kFaceInfo = 49;
constexpr int32_t kFaceCheck = 2;    // Word's spelling check
constexpr int32_t kFaceShow = 119;   // Word's show/hide marks

// One stored toolbar position value: its settings entry, its default, the bar property it holds
// and the values Office takes for it.
struct PositionEntry {
    const wchar_t* name;
    int32_t defaultValue;
    int32_t (word::CommandBar::*get)();
    void (word::CommandBar::*set)(int32_t);
    int32_t lowest = std::numeric_limits<int32_t>::min();
    int32_t highest = std::numeric_limits<int32_t>::max();
};

constexpr PositionEntry kBarPosition{L"BarPosition", mso::BarBottom, &word::CommandBar::Position,
                                     &word::CommandBar::SetPosition, mso::BarLeft, mso::BarFloating};
constexpr PositionEntry kBarRowIndex{L"BarRowIndex", 0, &word::CommandBar::RowIndex, &word::CommandBar::SetRowIndex};
constexpr PositionEntry kBarLeft{L"BarLeft", 0, &word::CommandBar::Left, &word::CommandBar::SetLeft};
constexpr PositionEntry kBarTop{L"BarTop", 0, &word::CommandBar::Top, &word::CommandBar::SetTop};

constexpr std::array kLoadOrder{kBarPosition, kBarRowIndex, kBarLeft, kBarTop};
constexpr std::array kSaveOrder{kBarLeft, kBarPosition, kBarRowIndex, kBarTop};

[[noreturn]] void ThrowNotSupported() {
    throw Error(errnum::NotSupported, kProjectName, L"Object doesn't support this property or method");
}

// The controls of a toolbar or a pop-up menu.
std::shared_ptr<word::CommandBarControls> ControlsOf(const std::shared_ptr<word::Object>& parent) {
    if (const auto bar = std::dynamic_pointer_cast<word::CommandBar>(parent)) return bar->Controls();
    if (const auto popup = std::dynamic_pointer_cast<word::CommandBarPopup>(parent)) return popup->Controls();
    Required(parent);
    ThrowNotSupported();
}

// A control as the button it must be; style, face and clicks belong to buttons only.
std::shared_ptr<word::CommandBarButton> ButtonOf(const std::shared_ptr<word::CommandBarControl>& control) {
    Required(control);
    auto button = word::AsButton(control);
    if (!button) ThrowNotSupported();
    return button;
}

// A name followed by the local date and time, unique enough that Office's Click-per-Tag reaches
// only the control's own handlers.
std::wstring Tagged(std::wstring_view name) {
    std::wstring tag(name);
    if (auto* clock = Installed<ErrorTrailHost>::Get()) {
        const auto t = clock->Now();
        tag += L" " + text::DateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
    }
    return tag;
}

bool HasOpenDocument(word::Application& wordApp) { return wordApp.Documents()->Count() >= 1; }

}  // namespace

clsCommandBar::~clsCommandBar() {
    myTemplateButton.Release();
    myInfoButton.Release();
    myWildcardsButton.Release();
    myCheckButton.Release();
    myShowButton.Release();
    myCommandBar.reset();
}

void clsCommandBar::CreateCommandbar() {
    Handle(L"clsCommandBar.CreateCommandbar", [&] {
        auto& wordApp = Required(basGlobal::gWordApplication);
        // Adding toolbars and controls marks the normal template changed; the user changed nothing.
        const auto normalTemplate = wordApp.NormalTemplate();
        const bool saved = normalTemplate->Saved();

        const std::wstring name(kToolbarName);
        myCommandBar = GetCommandBar(name);
        if (!myCommandBar) myCommandBar = wordApp.CommandBars()->Add(name, true);
        LoadPosition();
        CreateWildCardList(false);

        AttachButton(myWildcardsButton, LNG_Main(67), mso::ButtonIconAndCaption, kFaceWildcard, LNG_Main(68),
                     &clsCommandBar::myWildcardsButton_Click);
        AttachButton(myCheckButton, LNG_Main(500), mso::ButtonIconAndCaption, kFaceCheck, LNG_Main(501),
                     &clsCommandBar::myCheckButton_Click);
        AttachButton(myShowButton, LNG_Main(502), mso::ButtonIcon, kFaceShow, LNG_Main(503),
                     &clsCommandBar::myShowButton_Click);
        myCheckButton.Get()->SetEnabled(HasOpenDocument(wordApp));
        myShowButton.Get()->SetEnabled(HasOpenDocument(wordApp));
        AttachButton(myTemplateButton, LNG_Main(66), mso::ButtonIconAndCaption, kFaceTemplate, LNG_Main(69),
                     &clsCommandBar::myTemplateButton_Click);
        myTemplateButton.Get()->SetEnabled(HasOpenDocument(wordApp));
        AttachButton(myInfoButton, L"Info", mso::ButtonIcon, kFaceInfo, L"", &clsCommandBar::myInfoButton_Click);
        myCommandBar->SetVisible(true);

        normalTemplate->SetSaved(saved);
    });
}

void clsCommandBar::AttachButton(ButtonWithEvents& member, const std::wstring& caption, int32_t style,
                                 int32_t faceId, const std::wstring& toolTip, ClickMethod onClick) {
    bool bolNew = false;
    member.Assign(ButtonOf(CreateControl(myCommandBar, mso::ControlButton, caption, style, faceId, toolTip, bolNew)),
                  [this, onClick](const std::shared_ptr<word::CommandBarButton>& ctrl, bool& cancelDefault) {
                      (this->*onClick)(ctrl, cancelDefault);
                  });
}

void clsCommandBar::SavePosition() {
    if (!myCommandBar) return;
    for (const auto& entry : kSaveOrder) {
        IgnoringFailures([&] {
            const auto value = ((*myCommandBar).*entry.get)();
            Required(basGlobal::gSettings).WriteEntry(entry.name, text::Decimal(value));
        });
    }
}

void clsCommandBar::LoadPosition() {
    PassOn(L"clsCommandBar.LoadPosition", [&] {
        auto& bar = Required(myCommandBar);
        const auto& settings = Required(basGlobal::gSettings);
        for (const auto& entry : kLoadOrder) {
            // Only SavePosition writes these, with what Office reported; anything else is the
            // user's hand in the registry and must not stop the toolbar from being built.
            int32_t value = settings.ReadWholeNumber(entry.name, entry.defaultValue);
            if (value < entry.lowest || value > entry.highest) value = entry.defaultValue;
            (bar.*entry.set)(value);
        }
    });
}

void clsCommandBar::CreateWildCardList(bool bolChange) {
    Handle(
        L"clsCommandBar.CreateWildCardList(bolChange)",
        [&] {
            const auto createPopup = [&] {
                bool bolNew = false;
                return CreateControl(myCommandBar, mso::ControlPopup, LNG_Main(70), 0, -1, L"", bolNew);
            };
            auto popup = createPopup();
            if (bolChange && popup) {
                popup->Delete();
                basWildcardBtns::ClearwcButtons();
                popup = createPopup();
                popup->Move(1);
            }
            if (HasOpenDocument(Required(basGlobal::gWordApplication))) {
                popup->SetEnabled(true);
                for (const auto& wildcard : kToolbarOrder)
                    AddButton(popup, std::wstring(wildcard.bookmarkName), L"", kFaceWildcard, wildcard.defaultPlace);
                basWildcardBtns::SortButtons();
            } else {
                popup->SetEnabled(false);
            }
        },
        bolChange);
}

std::shared_ptr<word::CommandBarControl> clsCommandBar::CreateControl(const std::shared_ptr<word::Object>& myParent,
                                                                      int32_t lngControlType,
                                                                      const std::wstring& strCaption, int32_t lngStyle,
                                                                      int32_t lngFaceId, std::wstring strToolTip,
                                                                      bool& bolNew) {
    bolNew = false;
    return PassOn(
        L"clsCommandBar.CreateControl(myParent,lngControlType,strCaption,lngStyle,lngFaceId,strToolTip)",
        [&] {
            auto control = GetControl(myParent, strCaption);
            if (!control) {
                control = ControlsOf(myParent)->Add(lngControlType, true);
                bolNew = true;
                if (strToolTip.empty()) strToolTip = strCaption;
                control->SetCaption(strCaption);
                if (lngStyle != 0) ButtonOf(control)->SetStyle(lngStyle);
                if (lngFaceId > -1) ButtonOf(control)->SetFaceId(lngFaceId);
                control->SetTooltipText(strToolTip);
                control->SetVisible(true);
            }
            control->SetTag(Tagged(strCaption));
            return control;
        },
        myParent, lngControlType, strCaption, lngStyle, lngFaceId, strToolTip);
}

void clsCommandBar::AddButton(const std::shared_ptr<word::Object>& myParent, const std::wstring& strParam,
                              const std::wstring& strToolTip, int32_t lngFaceId, int32_t lngDefaultIndex) {
    PassOn(
        L"clsCommandBar.AddButton(myParent,strParam,strToolTip,lngFaceId,lngDefaultIndex)",
        [&] {
            const std::wstring caption = basDisplayNames::GetPlainName(strParam, -1);
            // A place that is not a whole number reads as the default: one odd value must not
            // cost the user the rest of the menu.
            const int32_t place = Required(basGlobal::gSettings).ReadWholeNumber(strParam, lngDefaultIndex);
            if (place <= 0) return;
            bool bolNew = false;
            const auto button = ButtonOf(CreateControl(myParent, mso::ControlButton, caption,
                                                       mso::ButtonIconAndCaption, lngFaceId, strToolTip, bolNew));
            button->SetTag(Tagged(strParam));
            if (bolNew) button->SetParameter(strParam);
            basWildcardBtns::AddwcButton(button, strParam, place);
        },
        myParent, strParam, strToolTip, lngFaceId, lngDefaultIndex);
}

std::shared_ptr<word::CommandBar> clsCommandBar::GetCommandBar(const std::wstring& strName) {
    return IgnoringFailures([&] { return Required(basGlobal::gWordApplication).CommandBars()->Item(strName); });
}

std::shared_ptr<word::CommandBarControl> clsCommandBar::GetControl(const std::shared_ptr<word::Object>& myParent,
                                                                   const std::wstring& strCaption) {
    return IgnoringFailures([&] { return ControlsOf(myParent)->Item(strCaption); });
}

void clsCommandBar::myInfoButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault) {
    Handle(
        L"clsCommandBar.myInfoButton_Click(Ctrl,CancelDefault)",
        [&] { Required(Installed<ToolbarDialogs>::Get()).ShowInfoDialog(); }, Ctrl, CancelDefault);
}

void clsCommandBar::myTemplateButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault) {
    Handle(
        L"clsCommandBar.myTemplateButton_Click(Ctrl,CancelDefault)",
        [&] {
            if (DocumentHasWildcards())
                Required(Installed<ToolbarDialogs>::Get()).ShowTemplateDialog();
            else
                ShowMessage(LNG_Main(71), LNG_Main(72), MsgButtons::Ok, MsgIcon::Information);
        },
        Ctrl, CancelDefault);
}

void clsCommandBar::myWildcardsButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl,
                                            bool& CancelDefault) {
    Handle(
        L"clsCommandBar.myWildcardsButton_Click(Ctrl,CancelDefault)",
        [&] { Required(Installed<ToolbarDialogs>::Get()).ShowWildcardsDialog(); }, Ctrl, CancelDefault);
}

void clsCommandBar::myCheckButton_Click(const std::shared_ptr<word::CommandBarButton>&, bool&) {
    basCheckWildcards::CheckWildcards();
}

void clsCommandBar::myShowButton_Click(const std::shared_ptr<word::CommandBarButton>&, bool&) {
    basCheckWildcards::ShowWildcards();
}

bool clsCommandBar::DocumentHasWildcards() {
    return PassOn(L"clsCommandBar.DocumentHasWildcards", [&] {
        const auto bookmarks = Required(Required(basGlobal::gWordApplication).ActiveDocument()).Bookmarks();
        const int32_t count = bookmarks->Count();
        for (int32_t i = 1; i <= count; ++i)
            if (text::StartsWith(bookmarks->Item(i)->Name(), kBookmarkPrefix)) return true;
        return false;
    });
}

}  // namespace qlora
