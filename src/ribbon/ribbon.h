// The add-in's tab "Quillora" on Word's Ribbon (Word 2010 and later), beside the toolbar: the same
// commands in the same texts. Office asks Connect for its customUI XML (GetCustomUI) and then calls
// the callbacks the XML names by name; each lands here with the Ribbon control's id.
//
// Office may call before the add-in is connected and while no document is open: every answer then
// comes from the texts and the stored defaults. A callback reports its failure through the error
// trail and answers with its default; nothing reaches Office.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qlora {

// Office's IRibbonUI as onLoad hands it over: it makes the Ribbon ask the callbacks again.
class RibbonUi {
public:
    virtual ~RibbonUi() = default;
    virtual void Invalidate() = 0;
    virtual void InvalidateControl(const std::wstring& controlId) = 0;
};

namespace basRibbon {

// The Ribbon Word shows for documents; Office asks for others (mail items, ...) too.
inline constexpr std::wstring_view kDocumentRibbon = L"Microsoft.Word.Document";
inline constexpr std::wstring_view kNamespace = L"http://schemas.microsoft.com/office/2009/07/customui";
// The menu buttons' ids: this prefix and the wildcard's bookmark name.
inline constexpr std::wstring_view kWildcardIdPrefix = L"QuilloraInsert_";

// The callbacks' names, as the XML names them and the type library declares them.
inline constexpr std::wstring_view kOnLoad = L"Ribbon_OnLoad";
inline constexpr std::wstring_view kOnAction = L"Ribbon_OnAction";
inline constexpr std::wstring_view kGetLabel = L"Ribbon_GetLabel";
inline constexpr std::wstring_view kGetEnabled = L"Ribbon_GetEnabled";
inline constexpr std::wstring_view kGetContent = L"Ribbon_GetContent";

// The tab's texts. A control's label reaches Office through getLabel; the XML carries it as the
// screen tip's title, with its description beneath.
struct ControlTexts {
    std::wstring label, supertip;
};
struct TabTexts {
    std::wstring tab, wildcardsGroup, templateGroup;
    ControlTexts insert, choose, useAsTemplate, info, check, show;
};
// One button of the "Insert wildcard" menu.
struct MenuItem {
    std::wstring bookmarkName;
    std::wstring label;
};

// The customUI document of the tab with these texts, and the menu document getContent returns.
// Both are valid against Office's customUI schema (2009/07) whatever the texts hold: markup is
// escaped, and characters XML cannot carry become U+FFFD.
std::wstring TabXml(const TabTexts& texts);
std::wstring MenuXml(const std::vector<MenuItem>& items);
// A text as an XML attribute value (without the quotes).
std::wstring XmlAttribute(std::wstring_view text);

// The tab's texts in the add-in's language, and the chosen wildcards in the toolbar's order, each
// with its display text without "<" and ">".
TabTexts CurrentTexts();
std::vector<MenuItem> ChosenWildcards();

// What Connect answers. `controlId` reads the Ribbon control's id; it may fail.
using ControlId = std::function<std::wstring()>;
std::wstring GetCustomUI(std::wstring_view ribbonId);  // "" for Ribbons other than documents'
void OnLoad(std::shared_ptr<RibbonUi> ui);
void OnAction(const ControlId& controlId);
std::wstring GetLabel(const ControlId& controlId);
bool GetEnabled(const ControlId& controlId);
std::wstring GetContent(const ControlId& controlId);

// Has the Ribbon ask again (the chosen wildcards or the documents changed). A Ribbon that refuses
// keeps what it shows; the toolbar does not depend on it.
void Refresh();
// Lets go of the Ribbon's IRibbonUI (the add-in is disconnected).
void Release();

}  // namespace basRibbon
}  // namespace qlora
