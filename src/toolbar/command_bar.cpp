#include "toolbar/command_bar.h"

#include <algorithm>
#include <array>
#include <limits>

#include "base/port.h"
#include "base/prompt.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "toolbar/check_wildcards.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"
#include "trail/error_trail.h"

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
    size_t slot;  // its place in kLoadOrder
    const wchar_t* name;
    int32_t defaultValue;
    int32_t (word::CommandBar::*get)();
    void (word::CommandBar::*set)(int32_t);
    int32_t lowest = std::numeric_limits<int32_t>::min();
    int32_t highest = std::numeric_limits<int32_t>::max();
};

constexpr PositionEntry kBarPosition{0, L"BarPosition", mso::BarBottom, &word::CommandBar::Position,
                                     &word::CommandBar::SetPosition, mso::BarLeft, mso::BarFloating};
constexpr PositionEntry kBarRowIndex{1, L"BarRowIndex", 0, &word::CommandBar::RowIndex,
                                     &word::CommandBar::SetRowIndex};
constexpr PositionEntry kBarLeft{2, L"BarLeft", 0, &word::CommandBar::Left, &word::CommandBar::SetLeft};
constexpr PositionEntry kBarTop{3, L"BarTop", 0, &word::CommandBar::Top, &word::CommandBar::SetTop};

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

// Word marks the normal template changed for every change to a command bar, even to a temporary
// one, and then asks the user at exit to save Normal.dotm, which the user never changed. Whatever
// path a toolbar change takes, failures included, the template leaves it as it was found.
class NormalTemplateSavedKept {
public:
    explicit NormalTemplateSavedKept(word::Application& wordApp)
        : normalTemplate_(wordApp.NormalTemplate()), saved_(Required(normalTemplate_).Saved()) {}
    // A command-bar change can only mark the template changed: one that was changed already stays
    // so without a call.
    ~NormalTemplateSavedKept() {
        if (saved_) IgnoringFailures([&] { normalTemplate_->SetSaved(true); });
    }
    NormalTemplateSavedKept(const NormalTemplateSavedKept&) = delete;
    NormalTemplateSavedKept& operator=(const NormalTemplateSavedKept&) = delete;

private:
    std::shared_ptr<word::Template> normalTemplate_;
    bool saved_;
};

// A stored position value as it applies. Only SavePosition writes these, with what Office
// reported; anything else is the user's hand in the registry and must not stop the toolbar from
// being built.
int32_t StoredPosition(const clsProgramSettings& settings, const PositionEntry& entry) {
    const int32_t value = settings.ReadWholeNumber(entry.name, entry.defaultValue);
    return value < entry.lowest || value > entry.highest ? entry.defaultValue : value;
}

// Each wildcard's stored place on the pop-up menu, in toolbar order. A place that is not a whole
// number reads as the default: one odd value must not cost the user the rest of the menu.
int32_t StoredPlace(const clsProgramSettings& settings, const std::wstring& bookmarkName, int32_t defaultPlace) {
    return settings.ReadWholeNumber(bookmarkName, defaultPlace);
}

std::vector<int32_t> StoredPlaces(const clsProgramSettings& settings) {
    std::vector<int32_t> places;
    for (const auto& wildcard : kToolbarOrder)
        places.push_back(StoredPlace(settings, std::wstring(wildcard.bookmarkName), wildcard.defaultPlace));
    return places;
}

}  // namespace

clsCommandBar::~clsCommandBar() { LetGoOfToolbar(); }

void clsCommandBar::LetGoOfToolbar() noexcept {
    for (auto* button : {&myTemplateButton, &myInfoButton, &myWildcardsButton, &myCheckButton, &myShowButton})
        button->Release();
    myCommandBar.reset();
    myBuilt.reset();
}

void clsCommandBar::CreateCommandbar() {
    ReportFailures(L"clsCommandBar.CreateCommandbar", [&] {
        auto& wordApp = Required(basGlobal::gWordApplication);
        const bool hasDocument = HasOpenDocument(wordApp);
        std::optional<BarPosition> position;
        if (Unchanged(hasDocument, position)) return;
        const NormalTemplateSavedKept kept(wordApp);

        const std::wstring name(kToolbarName);
        const bool placedBefore = static_cast<bool>(myCommandBar);
        myCommandBar = GetCommandBar(name);
        const bool newBar = !myCommandBar;
        if (newBar) myCommandBar = wordApp.CommandBars()->Add(name, true);
        // A bar this connection has not built before (a first one, one left by an earlier
        // connection, or a new one after the user deleted it): its state is not known here.
        if (!placedBefore || newBar) {
            position.reset();
            myBuilt.reset();
        }
        ApplyPosition(position);
        FillWildCardList(false, hasDocument);

        AttachButton(myWildcardsButton, LNG_Main(67), mso::ButtonIconAndCaption, kFaceWildcard, LNG_Main(68),
                     &clsCommandBar::myWildcardsButton_Click);
        const bool newCheckButton = AttachButton(myCheckButton, LNG_Main(500), mso::ButtonIconAndCaption, kFaceCheck,
                                                 LNG_Main(501), &clsCommandBar::myCheckButton_Click);
        const bool newShowButton = AttachButton(myShowButton, LNG_Main(502), mso::ButtonIcon, kFaceShow, LNG_Main(503),
                                                &clsCommandBar::myShowButton_Click);
        if (EnabledAsBuilt(newCheckButton) != hasDocument) myCheckButton.Get()->SetEnabled(hasDocument);
        if (EnabledAsBuilt(newShowButton) != hasDocument) myShowButton.Get()->SetEnabled(hasDocument);
        const bool newTemplateButton =
            AttachButton(myTemplateButton, LNG_Main(66), mso::ButtonIconAndCaption, kFaceTemplate, LNG_Main(69),
                         &clsCommandBar::myTemplateButton_Click);
        if (EnabledAsBuilt(newTemplateButton) != hasDocument) myTemplateButton.Get()->SetEnabled(hasDocument);
        AttachButton(myInfoButton, L"Info", mso::ButtonIcon, kFaceInfo, L"", &clsCommandBar::myInfoButton_Click);
        myCommandBar->SetVisible(true);
        myBuilt = Built{hasDocument, StoredPlaces(Required(basGlobal::gSettings))};
    });
}

void clsCommandBar::DeleteCommandbar() {
    ReportFailures(L"clsCommandBar.DeleteCommandbar", [&] {
        LetGoOfToolbar();
        // Found by its name: a toolbar an earlier connection built goes as well.
        const auto bar = GetCommandBar(std::wstring(kToolbarName));
        if (!bar) return;
        const NormalTemplateSavedKept kept(Required(basGlobal::gWordApplication));
        bar->Delete();
    });
}

bool clsCommandBar::AttachButton(ButtonWithEvents& member, const std::wstring& caption, int32_t style,
                                 int32_t faceId, const std::wstring& toolTip, ClickMethod onClick) {
    bool bolNew = false;
    member.Assign(ButtonOf(CreateControl(myCommandBar, mso::ControlButton, caption, style, faceId, toolTip, bolNew)),
                  [this, onClick](const std::shared_ptr<word::CommandBarButton>& ctrl, bool& cancelDefault) {
                      (this->*onClick)(ctrl, cancelDefault);
                  });
    return bolNew;
}

bool clsCommandBar::Unchanged(bool hasDocument, std::optional<BarPosition>& position) {
    if (!myBuilt || !myCommandBar || myBuilt->hasDocument != hasDocument) return false;
    const auto& settings = Required(basGlobal::gSettings);
    if (StoredPlaces(settings) != myBuilt->places) return false;
    return IgnoringFailures([&] {
        // A toolbar the user deleted or hid since is built again, one moved goes back to its place.
        if (!myCommandBar->Visible()) return false;
        BarPosition read{};
        for (const auto& entry : kLoadOrder) read[entry.slot] = ((*myCommandBar).*entry.get)();
        position = read;
        return std::all_of(kLoadOrder.begin(), kLoadOrder.end(),
                           [&](const PositionEntry& entry) { return read[entry.slot] == StoredPosition(settings, entry); });
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

void clsCommandBar::LoadPosition() { ApplyPosition(std::nullopt); }

void clsCommandBar::ApplyPosition(const std::optional<BarPosition>& position) {
    PassOn(L"clsCommandBar.LoadPosition", [&] {
        auto& bar = Required(myCommandBar);
        const auto& settings = Required(basGlobal::gSettings);
        // A value the bar has is not set again, until one is: Office may then move the others.
        bool moved = !position;
        for (const auto& entry : kLoadOrder) {
            const int32_t value = StoredPosition(settings, entry);
            if (!moved && (*position)[entry.slot] == value) continue;
            (bar.*entry.set)(value);
            moved = true;
        }
    });
}

void clsCommandBar::CreateWildCardList(bool bolChange) { FillWildCardList(bolChange, std::nullopt); }

void clsCommandBar::FillWildCardList(bool bolChange, std::optional<bool> knownDocument) {
    ReportFailures(
        L"clsCommandBar.CreateWildCardList(bolChange)",
        [&] {
            const NormalTemplateSavedKept kept(Required(basGlobal::gWordApplication));
            bool popupNew = false;
            const auto createPopup = [&] {
                return CreateControl(myCommandBar, mso::ControlPopup, LNG_Main(70), 0, -1, L"", popupNew);
            };
            auto popup = createPopup();
            if (bolChange && popup) {
                popup->Delete();
                basWildcardBtns::ClearwcButtons();
                popup = createPopup();
                popup->Move(1);
            }
            const bool hasDocument =
                knownDocument ? *knownDocument : HasOpenDocument(Required(basGlobal::gWordApplication));
            if (EnabledAsBuilt(popupNew) != hasDocument) popup->SetEnabled(hasDocument);
            if (hasDocument) {
                for (const auto& wildcard : kToolbarOrder)
                    AddButton(popup, std::wstring(wildcard.bookmarkName), L"", kFaceWildcard, wildcard.defaultPlace);
                basWildcardBtns::SortButtons();
            }
            if (myBuilt) myBuilt->places = StoredPlaces(Required(basGlobal::gSettings));
        },
        bolChange);
}

std::optional<bool> clsCommandBar::EnabledAsBuilt(bool added) const {
    if (added) return true;  // Office's default
    if (myBuilt) return myBuilt->hasDocument;
    return std::nullopt;
}

std::shared_ptr<word::CommandBarControl> clsCommandBar::CreateControl(const std::shared_ptr<word::Object>& myParent,
                                                                      int32_t lngControlType,
                                                                      const std::wstring& strCaption, int32_t lngStyle,
                                                                      int32_t lngFaceId, std::wstring strToolTip,
                                                                      bool& bolNew, std::wstring_view tagName) {
    bolNew = false;
    return PassOn(
        L"clsCommandBar.CreateControl(myParent,lngControlType,strCaption,lngStyle,lngFaceId,strToolTip)",
        [&] {
            const auto controls = ControlsOf(myParent);
            auto control = IgnoringFailures([&] { return controls->Item(strCaption); });
            if (!control) {
                // Office adds a control visible, without style, face or tool tip.
                control = controls->Add(lngControlType, true);
                bolNew = true;
                if (strToolTip.empty()) strToolTip = strCaption;
                control->SetCaption(strCaption);
                if (lngStyle != 0) ButtonOf(control)->SetStyle(lngStyle);
                if (lngFaceId > -1) ButtonOf(control)->SetFaceId(lngFaceId);
                control->SetTooltipText(strToolTip);
            }
            control->SetTag(Tagged(tagName.empty() ? std::wstring_view(strCaption) : tagName));
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
            const int32_t place = StoredPlace(Required(basGlobal::gSettings), strParam, lngDefaultIndex);
            if (place <= 0) return;
            bool bolNew = false;
            // Tagged with its bookmark name, not its caption.
            const auto button = ButtonOf(CreateControl(myParent, mso::ControlButton, caption, mso::ButtonIconAndCaption,
                                                       lngFaceId, strToolTip, bolNew, strParam));
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

template <class Ctrl>
void clsCommandBar::InfoClick(const Ctrl& ctrl, bool& cancelDefault) {
    ReportFailures(
        L"clsCommandBar.myInfoButton_Click(Ctrl,CancelDefault)",
        [&] { Required(Installed<ToolbarDialogs>::Get()).ShowInfoDialog(); }, ctrl, cancelDefault);
}

template <class Ctrl>
void clsCommandBar::TemplateClick(const Ctrl& ctrl, bool& cancelDefault) {
    ReportFailures(
        L"clsCommandBar.myTemplateButton_Click(Ctrl,CancelDefault)",
        [&] {
            if (DocumentHasWildcards())
                Required(Installed<ToolbarDialogs>::Get()).ShowTemplateDialog();
            else
                ShowMessage(LNG_Main(71), LNG_Main(72), MsgButtons::Ok, MsgIcon::Information);
        },
        ctrl, cancelDefault);
}

template <class Ctrl>
void clsCommandBar::WildcardsClick(const Ctrl& ctrl, bool& cancelDefault) {
    ReportFailures(
        L"clsCommandBar.myWildcardsButton_Click(Ctrl,CancelDefault)",
        [&] { Required(Installed<ToolbarDialogs>::Get()).ShowWildcardsDialog(); }, ctrl, cancelDefault);
}

void clsCommandBar::myInfoButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault) {
    InfoClick(Ctrl, CancelDefault);
}
void clsCommandBar::myInfoButton_Click(const std::wstring& Ctrl, bool& CancelDefault) { InfoClick(Ctrl, CancelDefault); }

void clsCommandBar::myTemplateButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl, bool& CancelDefault) {
    TemplateClick(Ctrl, CancelDefault);
}
void clsCommandBar::myTemplateButton_Click(const std::wstring& Ctrl, bool& CancelDefault) {
    TemplateClick(Ctrl, CancelDefault);
}

void clsCommandBar::myWildcardsButton_Click(const std::shared_ptr<word::CommandBarButton>& Ctrl,
                                            bool& CancelDefault) {
    WildcardsClick(Ctrl, CancelDefault);
}
void clsCommandBar::myWildcardsButton_Click(const std::wstring& Ctrl, bool& CancelDefault) {
    WildcardsClick(Ctrl, CancelDefault);
}

void clsCommandBar::myCheckButton_Click(const std::shared_ptr<word::CommandBarButton>&, bool&) {
    basCheckWildcards::CheckWildcards();
}

void clsCommandBar::myShowButton_Click(const std::shared_ptr<word::CommandBarButton>&, bool&) {
    basCheckWildcards::ShowWildcards();
}

void clsCommandBar::myCheckButton_Click(const std::wstring&, bool&) { basCheckWildcards::CheckWildcards(); }

void clsCommandBar::myShowButton_Click(const std::wstring&, bool&) { basCheckWildcards::ShowWildcards(); }

bool clsCommandBar::DocumentHasWildcards() {
    return PassOn(L"clsCommandBar.DocumentHasWildcards", [&] {
        const auto bookmarks = Required(Required(basGlobal::gWordApplication).ActiveDocument()).Bookmarks();
        const int32_t count = bookmarks->Count();
        for (int32_t i = 1; i <= count; ++i)
            if (bookmarks->Item(i)->Name().starts_with(kBookmarkPrefix)) return true;
        return false;
    });
}

}  // namespace qlora
