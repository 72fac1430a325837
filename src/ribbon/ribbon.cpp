#include "ribbon/ribbon.h"

#include <algorithm>
#include <array>

#include "base/required.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "toolbar/command_bar.h"
#include "toolbar/wildcard_buttons.h"
#include "toolbar/wildcards.h"
#include "trail/error_trail.h"

namespace qlora::basRibbon {
namespace {

// The tab's controls, in the order the tab shows them. `label` is the text number getLabel
// answers; `needsDocument` controls are enabled only while a document is open, as on the toolbar.
struct TabControl {
    std::wstring_view id;
    std::wstring_view element;  // "button" or "dynamicMenu"
    bool inTemplateGroup;
    int16_t label;
    ControlTexts TabTexts::*texts;
    std::wstring_view imageMso;
    std::wstring_view keytip;
    bool needsDocument;
    void (clsCommandBar::*click)(const std::wstring&, bool&);  // none for the menu
};

constexpr std::array<TabControl, 6> kControls{{
    {L"QuilloraInsertWildcard", L"dynamicMenu", false, 70, &TabTexts::insert, L"BookmarkInsert", L"W", true, nullptr},
    {L"QuilloraChooseWildcards", L"button", false, 67, &TabTexts::choose, L"ControlsGallery", L"C", false,
     &clsCommandBar::myWildcardsButton_Click},
    {L"QuilloraCheckWildcards", L"button", false, 500, &TabTexts::check, L"Spelling", L"K", true,
     &clsCommandBar::myCheckButton_Click},
    {L"QuilloraShowWildcards", L"button", false, 502, &TabTexts::show, L"ParagraphMarks", L"S", true,
     &clsCommandBar::myShowButton_Click},
    {L"QuilloraUseAsTemplate", L"button", true, 66, &TabTexts::useAsTemplate, L"FileSaveAs", L"T", true,
     &clsCommandBar::myTemplateButton_Click},
    {L"QuilloraInfo", L"button", true, 403, &TabTexts::info, L"Help", L"I", false, &clsCommandBar::myInfoButton_Click},
}};

const TabControl* FindControl(std::wstring_view id) {
    const auto found = std::find_if(kControls.begin(), kControls.end(), [&](const TabControl& c) { return c.id == id; });
    return found == kControls.end() ? nullptr : &*found;
}

// The wildcard a menu button's id names, or none.
const Wildcard* MenuWildcard(std::wstring_view id) {
    if (!id.starts_with(kWildcardIdPrefix)) return nullptr;
    id.remove_prefix(kWildcardIdPrefix.size());
    const auto found =
        std::find_if(kWildcards.begin(), kWildcards.end(), [&](const Wildcard& w) { return w.bookmarkName == id; });
    return found == kWildcards.end() ? nullptr : &*found;
}

[[noreturn]] void ThrowUnknownControl(const std::wstring& id) {
    throw Error(errnum::InvalidCall, kProjectName, L"The Ribbon has no control \"" + id + L"\"");
}

// The control a callback is about: `id` gets its id first, so that a failure report shows it.
const TabControl& Known(const ControlId& controlId, std::wstring& id) {
    id = controlId();
    const TabControl* control = FindControl(id);
    if (!control) ThrowUnknownControl(id);
    return *control;
}

bool HasOpenDocument() {
    const auto& wordApp = basGlobal::gWordApplication;
    return wordApp && wordApp->Documents()->Count() >= 1;
}

// XML 1.0 carries these characters; a surrogate only as half of a pair.
bool XmlCarries(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::wstring Attribute(std::wstring_view name, std::wstring_view value) {
    return L" " + std::wstring(name) + L"=\"" + XmlAttribute(value) + L"\"";
}

std::shared_ptr<RibbonUi>& Ui() {
    static std::shared_ptr<RibbonUi> ui;
    return ui;
}

}  // namespace

std::wstring XmlAttribute(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        // A UTF-16 surrogate pair passes whole; a lone half cannot be written.
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out += c;
            out += text[++i];
            continue;
        }
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'"': out += L"&quot;"; break;
            case L'\'': out += L"&apos;"; break;
            // Written as references, or the parser would turn them into blanks.
            case L'\t': out += L"&#9;"; break;
            case L'\n': out += L"&#10;"; break;
            case L'\r': out += L"&#13;"; break;
            default: out += XmlCarries(static_cast<char32_t>(c)) ? c : L'\xFFFD';
        }
    }
    return out;
}

std::wstring TabXml(const TabTexts& texts) {
    std::wstring xml = L"<customUI" + Attribute(L"xmlns", kNamespace) + Attribute(L"onLoad", kOnLoad) +
                       L"><ribbon><tabs><tab id=\"QuilloraTab\"" + Attribute(L"label", texts.tab) +
                       L" insertAfterMso=\"TabHome\" keytip=\"Q\">";
    for (const bool templateGroup : {false, true}) {
        xml += templateGroup ? L"<group id=\"QuilloraTemplateGroup\"" + Attribute(L"label", texts.templateGroup)
                             : L"<group id=\"QuilloraWildcardsGroup\"" + Attribute(L"label", texts.wildcardsGroup);
        xml += L">";
        for (const auto& control : kControls) {
            if (control.inTemplateGroup != templateGroup) continue;
            const auto& controlTexts = texts.*control.texts;
            xml += L"<" + std::wstring(control.element) + Attribute(L"id", control.id) +
                   Attribute(L"getLabel", kGetLabel) + Attribute(L"screentip", controlTexts.label) +
                   Attribute(L"supertip", controlTexts.supertip) + Attribute(L"imageMso", control.imageMso) +
                   L" size=\"large\"" + Attribute(L"keytip", control.keytip);
            if (control.needsDocument) xml += Attribute(L"getEnabled", kGetEnabled);
            xml += control.click ? Attribute(L"onAction", kOnAction) : Attribute(L"getContent", kGetContent);
            xml += L"/>";
        }
        xml += L"</group>";
    }
    return xml + L"</tab></tabs></ribbon></customUI>";
}

std::wstring MenuXml(const std::vector<MenuItem>& items) {
    std::wstring xml = L"<menu" + Attribute(L"xmlns", kNamespace) + L">";
    for (const auto& item : items)
        xml += L"<button" + Attribute(L"id", std::wstring(kWildcardIdPrefix) + item.bookmarkName) +
               Attribute(L"label", item.label) + Attribute(L"tag", item.bookmarkName) +
               L" imageMso=\"BookmarkInsert\"" + Attribute(L"onAction", kOnAction) + L"/>";
    return xml + L"</menu>";
}

TabTexts CurrentTexts() {
    TabTexts texts{LNG_Main(400), LNG_Main(65), LNG_Main(401), {}, {}, {}, {}};
    texts.insert = {LNG_Main(70), LNG_Main(402)};
    texts.choose = {LNG_Main(67), LNG_Main(68)};
    texts.useAsTemplate = {LNG_Main(66), LNG_Main(69)};
    texts.info = {LNG_Main(403), LNG_Main(404)};
    texts.check = {LNG_Main(500), LNG_Main(501)};
    texts.show = {LNG_Main(502), LNG_Main(503)};
    return texts;
}

std::vector<MenuItem> ChosenWildcards() {
    // The places the toolbar reads; without the settings store (not connected) the defaults.
    struct Chosen {
        const Wildcard* wildcard;
        int32_t place;
    };
    std::vector<Chosen> menu;
    for (const auto& wildcard : kToolbarOrder) {
        const std::wstring name(wildcard.bookmarkName);
        const auto& settings = basGlobal::gSettings;
        const int32_t place = settings ? settings->ReadWholeNumber(name, wildcard.defaultPlace) : wildcard.defaultPlace;
        if (place > 0) menu.push_back({&wildcard, place});
    }
    // The toolbar adds the buttons in this order and then moves each, in the same order, before
    // the place min(place, count) among the buttons as they stand then, as Word's Move does.
    const auto moves = menu;
    const auto count = static_cast<int32_t>(menu.size());
    for (const auto& chosen : moves) {
        const auto from = static_cast<int32_t>(
            std::find_if(menu.begin(), menu.end(), [&](const Chosen& c) { return c.wildcard == chosen.wildcard; }) -
            menu.begin());
        const int32_t to = std::min(chosen.place, count) - 1;
        if (to == from || to == from + 1) continue;
        const Chosen moved = menu[static_cast<size_t>(from)];
        menu.erase(menu.begin() + from);
        menu.insert(menu.begin() + (to > from ? to - 1 : to), moved);
    }
    std::vector<MenuItem> items;
    const bool german = basGlobal::gLanguage == basGlobal::kGerman;
    for (const auto& chosen : menu) {
        const auto& w = *chosen.wildcard;
        std::wstring label(german || w.english.empty() ? w.german : w.english);
        std::erase(label, L'<');
        std::erase(label, L'>');
        items.push_back({std::wstring(w.bookmarkName), std::move(label)});
    }
    return items;
}

std::wstring GetCustomUI(std::wstring_view ribbonId) {
    const std::wstring id(ribbonId);
    return ReportFailures(
        L"Connect.IRibbonExtensibility_GetCustomUI(RibbonID)",
        [&] { return ribbonId == kDocumentRibbon ? TabXml(CurrentTexts()) : std::wstring(); }, id);
}

void OnLoad(std::shared_ptr<RibbonUi> ui) { Ui() = std::move(ui); }

void OnAction(const ControlId& controlId) {
    std::wstring id;
    ReportFailures(
        L"Connect.Ribbon_OnAction(control)",
        [&] {
            id = controlId();
            if (const Wildcard* wildcard = MenuWildcard(id)) {
                clsWildCardBtn::RibbonButton_Click(id, std::wstring(wildcard->bookmarkName));
                return;
            }
            const TabControl* control = FindControl(id);
            if (!control || !control->click) ThrowUnknownControl(id);
            bool cancelDefault = false;
            (Required(basGlobal::gCommandBar).*control->click)(id, cancelDefault);
        },
        id);
}

std::wstring GetLabel(const ControlId& controlId) {
    std::wstring id;
    return ReportFailures(
        L"Connect.Ribbon_GetLabel(control)",
        [&] { return LNG_Main(Known(controlId, id).label); },
        id);
}

bool GetEnabled(const ControlId& controlId) {
    std::wstring id;
    return ReportFailures(
        L"Connect.Ribbon_GetEnabled(control)",
        [&] { return !Known(controlId, id).needsDocument || HasOpenDocument(); },
        id);
}

std::wstring GetContent(const ControlId& controlId) {
    std::wstring id;
    const std::wstring content = ReportFailures(
        L"Connect.Ribbon_GetContent(control)",
        [&] {
            if (Known(controlId, id).click) ThrowUnknownControl(id);  // a button has no content
            return MenuXml(ChosenWildcards());
        },
        id);
    // An empty answer is no menu document at all: Office wants one, empty or not.
    return content.empty() ? MenuXml({}) : content;
}

void Refresh() {
    if (const auto ui = Ui()) IgnoringFailures([&] { ui->Invalidate(); });
}

void Release() { Ui().reset(); }

}  // namespace qlora::basRibbon
