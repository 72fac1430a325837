#include "ribbon_host_win.h"

#include <msxml2.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <variant>

#include "base/text.h"
#include "win/com_object_win.h"
#include "win/office_ribbon_win.h"

namespace wordsim {
namespace {

using Microsoft::WRL::ComPtr;
using qlora::com::Bstr;
using qlora::com::Variant;
using qlora::text::Decimal;

constexpr std::wstring_view kNamespace2006 = L"http://schemas.microsoft.com/office/2006/01/customui";
constexpr std::wstring_view kNamespace2009 = L"http://schemas.microsoft.com/office/2009/07/customui";
constexpr wchar_t kDocumentRibbon[] = L"Microsoft.Word.Document";

// ---- customUI documents ----

// One element of a customUI document, attributes by name.
struct Node {
    std::wstring element;
    std::map<std::wstring, std::wstring> attributes;
    std::vector<Node> children;

    const std::wstring* Attribute(const std::wstring& name) const {
        const auto found = attributes.find(name);
        return found == attributes.end() ? nullptr : &found->second;
    }
    std::wstring Id() const {
        for (const auto* name : {L"id", L"idQ", L"idMso"})
            if (const auto* value = Attribute(name)) return *value;
        return {};
    }
};

// What the customUI schema allows an element: its attributes and, in order when `ordered`, its
// children. The elements a Word add-in's tab uses are checked, the schema's others pass unchecked,
// and any other is reported.
struct ElementRule {
    std::vector<std::wstring_view> attributes;
    std::vector<std::wstring_view> children;
    bool ordered = false;
};

std::vector<std::wstring_view> Joined(std::initializer_list<std::vector<std::wstring_view>> parts) {
    std::vector<std::wstring_view> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::map<std::wstring, ElementRule>& Rules() {
    static const std::map<std::wstring, ElementRule> rules = [] {
        const std::vector<std::wstring_view> ids{L"id", L"idQ", L"idMso", L"tag"};
        const std::vector<std::wstring_view> insert{L"insertAfterMso", L"insertBeforeMso", L"insertAfterQ",
                                                    L"insertBeforeQ"};
        const std::vector<std::wstring_view> label{L"label", L"getLabel"};
        const std::vector<std::wstring_view> visible{L"visible", L"getVisible"};
        const std::vector<std::wstring_view> keytip{L"keytip", L"getKeytip"};
        const std::vector<std::wstring_view> tips{L"screentip", L"getScreentip", L"supertip", L"getSupertip"};
        const std::vector<std::wstring_view> image{L"image", L"imageMso", L"getImage"};
        const std::vector<std::wstring_view> enabled{L"enabled", L"getEnabled"};
        const std::vector<std::wstring_view> show{L"showLabel", L"getShowLabel", L"showImage", L"getShowImage"};
        const std::vector<std::wstring_view> size{L"size", L"getSize"};
        const std::vector<std::wstring_view> description{L"description", L"getDescription"};
        const auto control = Joined({ids, insert, label, visible, keytip, tips, image, enabled, show});
        const std::vector<std::wstring_view> groupControls{L"button", L"dynamicMenu", L"menu", L"separator"};
        const std::vector<std::wstring_view> menuControls{L"button", L"dynamicMenu", L"menu", L"menuSeparator"};
        std::map<std::wstring, ElementRule> r;
        r[L"customUI"] = {{L"onLoad", L"loadImage"}, {L"commands", L"ribbon", L"backstage", L"contextMenus"}, true};
        r[L"ribbon"] = {{L"startFromScratch"}, {L"qat", L"tabs", L"contextualTabs"}, true};
        r[L"tabs"] = {{}, {L"tab"}};
        r[L"tab"] = {Joined({ids, insert, label, visible, keytip}), {L"group"}};
        r[L"group"] = {Joined({ids, insert, label, visible, keytip, tips, image, {L"autoScale", L"centerVertically"}}),
                       groupControls};
        // In a group a control has a size; in a menu a description instead.
        r[L"group/button"] = {Joined({control, size, {L"onAction"}}), {}};
        r[L"group/dynamicMenu"] = {
            Joined({control, size, {L"getContent", L"invalidateContentOnDrop", L"itemSize"}}), {}};
        r[L"group/menu"] = {Joined({control, size, {L"itemSize"}}), menuControls};
        r[L"group/separator"] = {Joined({ids, insert, visible}), {}};
        r[L"menu/button"] = {Joined({control, description, {L"onAction"}}), {}};
        r[L"menu/dynamicMenu"] = {Joined({control, description, {L"getContent", L"invalidateContentOnDrop"}}), {}};
        r[L"menu/menu"] = {Joined({control, description, {L"itemSize"}}), menuControls};
        r[L"menu/menuSeparator"] = {Joined({ids, insert, {L"title", L"getTitle"}}), {}};
        // The document a dynamic menu's getContent returns.
        r[L"menu"] = {{L"itemSize", L"title"}, menuControls};
        return r;
    }();
    return rules;
}

// The schema's other elements: wordsim shows and checks none of them, and reports none as unknown.
bool Unmodelled(const std::wstring& element) {
    static const std::set<std::wstring> names{
        L"commands",     L"command",     L"backstage",  L"contextMenus", L"contextMenu",   L"qat",
        L"sharedControls", L"documentControls", L"contextualTabs", L"tabSet", L"toggleButton", L"checkBox",
        L"editBox",      L"comboBox",    L"dropDown",   L"gallery",      L"splitButton",   L"box",
        L"buttonGroup",  L"labelControl", L"dialogBoxLauncher", L"item", L"control"};
    return names.contains(element);
}

const ElementRule* RuleOf(const std::wstring& parent, const std::wstring& element) {
    const auto& rules = Rules();
    const bool inMenu = parent == L"menu" || parent == L"dynamicMenu";
    for (const auto& key : {(inMenu ? L"menu/" : parent + L"/") + element, element}) {
        const auto found = rules.find(key);
        if (found != rules.end()) return &found->second;
    }
    return nullptr;
}

// The element's path as Office's messages name it: "customUI ribbon tabs tab".
std::wstring Where(const std::vector<std::wstring>& path) {
    std::wstring text;
    for (const auto& element : path) text += (text.empty() ? L"" : L" ") + element;
    return text;
}

// Office's rules beyond the element table: a value attribute and its callback never together,
// ids unique, a control named by one id, a dynamic menu with its getContent.
void Check(const Node& node, const std::wstring& parent, std::vector<std::wstring>& path, std::set<std::wstring>& ids,
           std::vector<std::wstring>& errors) {
    path.push_back(node.element);
    const ElementRule* rule = RuleOf(parent, node.element);
    if (!rule) {
        if (!Unmodelled(node.element))
            errors.push_back(L"The element '" + node.element + L"' is unexpected according to content model of parent element '" +
                         Where({path.begin(), path.end() - 1}) + L"'.");
        path.pop_back();
        return;
    }
    for (const auto& [name, value] : node.attributes) {
        if (std::find(rule->attributes.begin(), rule->attributes.end(), name) == rule->attributes.end()) {
            errors.push_back(L"The attribute '" + name + L"' on the element '" + Where(path) +
                             L"' is not defined in the DTD/Schema.");
            continue;
        }
        if (name.size() > 3 && name.starts_with(L"get")) {
            std::wstring plain = name.substr(3);
            plain[0] = static_cast<wchar_t>(std::towlower(plain[0]));
            if (node.Attribute(plain))
                errors.push_back(L"The attributes '" + plain + L"' and '" + name + L"' on the element '" + Where(path) +
                                 L"' must not be used together.");
        }
    }
    if (const auto* id = node.Attribute(L"id")) {
        if (!ids.insert(*id).second) errors.push_back(L"The id '" + *id + L"' on the element '" + Where(path) + L"' is not unique.");
    }
    const bool needsId = node.element != L"customUI" && node.element != L"ribbon" && node.element != L"tabs" &&
                         node.element != L"menu" && !node.element.ends_with(L"eparator");
    if ((needsId || parent == L"group" || parent == L"menu" || parent == L"dynamicMenu") && node.Id().empty() &&
        !node.element.ends_with(L"eparator"))
        errors.push_back(L"The element '" + Where(path) + L"' has no id, idQ or idMso.");
    if (node.element == L"dynamicMenu" && !node.Attribute(L"getContent"))
        errors.push_back(L"The required attribute 'getContent' is missing on the element '" + Where(path) + L"'.");
    size_t lastPlace = 0;
    for (const auto& child : node.children) {
        const auto place = std::find(rule->children.begin(), rule->children.end(), child.element);
        if (place == rule->children.end() && Unmodelled(child.element)) continue;
        if (place == rule->children.end()) {
            errors.push_back(L"The element '" + child.element + L"' is unexpected according to content model of parent element '" +
                             Where(path) + L"'.");
            continue;
        }
        const auto at = static_cast<size_t>(place - rule->children.begin());
        if (rule->ordered && at < lastPlace)
            errors.push_back(L"The element '" + child.element + L"' is out of order in the element '" + Where(path) + L"'.");
        lastPlace = std::max(lastPlace, at);
        Check(child, node.element, path, ids, errors);
    }
    path.pop_back();
}

template <class T>
ComPtr<T> As(IUnknown* object) {
    ComPtr<T> result;
    if (object) object->QueryInterface(IID_PPV_ARGS(&result));
    return result;
}

std::wstring TextOf(IXMLDOMNode* node, HRESULT (STDMETHODCALLTYPE IXMLDOMNode::*get)(BSTR*)) {
    Bstr text;
    return SUCCEEDED((node->*get)(text.put())) ? text.str() : std::wstring();
}

// The elements of a parsed document in one namespace; another namespace is an error.
Node NodeOf(IXMLDOMNode* element, const std::wstring& ns, std::vector<std::wstring>& errors) {
    Node node;
    node.element = TextOf(element, &IXMLDOMNode::get_baseName);
    if (const auto uri = TextOf(element, &IXMLDOMNode::get_namespaceURI); uri != ns)
        errors.push_back(L"The element '" + node.element + L"' is in the namespace '" + uri + L"', not '" + ns + L"'.");
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (SUCCEEDED(element->get_attributes(&attributes)) && attributes && SUCCEEDED(attributes->get_length(&count))) {
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> attribute;
            if (FAILED(attributes->get_item(i, &attribute)) || !attribute) continue;
            const std::wstring name = TextOf(attribute.Get(), &IXMLDOMNode::get_nodeName);
            if (name == L"xmlns" || name.starts_with(L"xmlns:")) continue;
            node.attributes[name] = TextOf(attribute.Get(), &IXMLDOMNode::get_text);
        }
    }
    ComPtr<IXMLDOMNodeList> children;
    if (SUCCEEDED(element->get_childNodes(&children)) && children && SUCCEEDED(children->get_length(&count))) {
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> child;
            DOMNodeType type = NODE_INVALID;
            if (SUCCEEDED(children->get_item(i, &child)) && child && SUCCEEDED(child->get_nodeType(&type)) &&
                type == NODE_ELEMENT)
                node.children.push_back(NodeOf(child.Get(), ns, errors));
        }
    }
    return node;
}

// Parses a customUI document (or a menu document) with MSXML; nothing, with the errors, when it
// is not well formed or breaks the schema.
std::optional<Node> Parse(const std::wstring& xml, const std::wstring& rootElement, std::vector<std::wstring>& errors) {
    // MSXML 6 as Office uses it, else 3.
    ComPtr<IXMLDOMDocument> document;
    HRESULT hr = E_FAIL;
    for (const wchar_t* progId : {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument.3.0"}) {
        CLSID clsid{};
        if (FAILED(hr = ::CLSIDFromProgID(progId, &clsid))) continue;
        if (SUCCEEDED(hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                              reinterpret_cast<void**>(document.GetAddressOf()))))
            break;
    }
    if (FAILED(hr)) {
        errors.push_back(L"MSXML is not available: " + Hex(hr));
        return std::nullopt;
    }
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    const Bstr text(xml);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->loadXML(text.get(), &loaded)) || loaded != VARIANT_TRUE) {
        ComPtr<IXMLDOMParseError> parseError;
        long line = 0, column = 0, code = 0;
        Bstr reason;
        if (SUCCEEDED(document->get_parseError(&parseError)) && parseError) {
            parseError->get_line(&line);
            parseError->get_linepos(&column);
            parseError->get_errorCode(&code);
            parseError->get_reason(reason.put());
        }
        std::wstring why = reason.str();
        while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r')) why.pop_back();
        errors.push_back(L"Line: " + Decimal(static_cast<long long>(line)) + L" Column: " +
                         Decimal(static_cast<long long>(column)) + L" Error Code " +
                         Hex(static_cast<HRESULT>(code)) + L" " + why);
        return std::nullopt;
    }
    ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(&root)) || !root) {
        errors.push_back(L"The document has no root element.");
        return std::nullopt;
    }
    const std::wstring ns = TextOf(root.Get(), &IXMLDOMNode::get_namespaceURI);
    if (ns != kNamespace2006 && ns != kNamespace2009) {
        errors.push_back(L"The root element is not in a customUI namespace: '" + ns + L"'.");
        return std::nullopt;
    }
    Node node = NodeOf(root.Get(), ns, errors);
    if (node.element != rootElement) errors.push_back(L"The root element is '" + node.element + L"', not '" + rootElement + L"'.");
    std::vector<std::wstring> path;
    std::set<std::wstring> ids;
    if (errors.empty()) Check(node, L"", path, ids, errors);
    if (!errors.empty()) return std::nullopt;
    return node;
}

// ---- the objects Office hands to add-ins ----

// Invalidate and InvalidateControl end up here.
struct Invalidation {
    bool all = false;
    std::set<std::wstring> controls;
};

template <class Interface>
class Automation : public qlora::com::Unknown<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        const auto& members = Members();
        for (size_t i = 0; i < members.size(); ++i)
            if (qlora::text::EqualsNoCase(names[0], members[i])) ids[0] = static_cast<DISPID>(i + 1);
        return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }

protected:
    void* QueryMore(REFIID riid) noexcept override {
        return riid == IID_IDispatch ? static_cast<Interface*>(this) : nullptr;
    }
    virtual const std::vector<std::wstring_view>& Members() const = 0;
    // The text argument of a call by IDispatch.
    static HRESULT TextArgument(const DISPPARAMS* params, UINT place, Bstr& out) {
        if (!params || params->cArgs <= place) return DISP_E_BADPARAMCOUNT;
        Variant value;
        const HRESULT hr = ::VariantChangeType(value.get(), &params->rgvarg[params->cArgs - 1 - place], 0, VT_BSTR);
        if (FAILED(hr)) return hr;
        out = Bstr(Bstr::ToString((*value).bstrVal));
        return S_OK;
    }
};

class RibbonUi final : public Automation<qlora::office::IRibbonUI> {
public:
    explicit RibbonUi(std::shared_ptr<Invalidation> invalidation) : invalidation_(std::move(invalidation)) {}
    HRESULT STDMETHODCALLTYPE Invalidate() override {
        invalidation_->all = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR controlId) override {
        invalidation_->controls.insert(Bstr::ToString(controlId));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return S_OK; }  // no built-in controls here
    HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        Bstr text;
        switch (id) {
            case 1: return Invalidate();
            case 2: {
                const HRESULT hr = TextArgument(params, 0, text);
                return FAILED(hr) ? hr : InvalidateControl(text.get());
            }
            default: return id >= 3 && id <= 6 ? S_OK : DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    const std::vector<std::wstring_view>& Members() const override {
        static const std::vector<std::wstring_view> members{L"Invalidate", L"InvalidateControl", L"InvalidateControlMso",
                                                            L"ActivateTab", L"ActivateTabMso", L"ActivateTabQ"};
        return members;
    }
    std::shared_ptr<Invalidation> invalidation_;
};

class RibbonControl final : public Automation<qlora::office::IRibbonControl> {
public:
    RibbonControl(std::wstring id, std::wstring tag) : id_(std::move(id)), tag_(std::move(tag)) {}
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override { return qlora::com::ReturnString(id_, id); }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
        if (!context) return E_POINTER;
        *context = nullptr;  // Word's window; the model has none
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override { return qlora::com::ReturnString(tag_, tag); }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (!result) return E_POINTER;
        ::VariantInit(result);
        switch (id) {
            case 1: result->vt = VT_BSTR; return get_Id(&result->bstrVal);
            case 2: result->vt = VT_DISPATCH; return get_Context(&result->pdispVal);
            case 3: result->vt = VT_BSTR; return get_Tag(&result->bstrVal);
            default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    const std::vector<std::wstring_view>& Members() const override {
        static const std::vector<std::wstring_view> members{L"Id", L"Context", L"Tag"};
        return members;
    }
    std::wstring id_, tag_;
};

bool SameLabel(std::wstring_view a, std::wstring_view b) {
    const auto plain = [](std::wstring_view s) {
        std::wstring out;
        for (const wchar_t c : s)
            if (c != L'&') out += c;
        return out;
    };
    return qlora::text::EqualsNoCase(plain(a), plain(b));
}

bool IsControl(const Node& node) { return node.element == L"button" || node.element == L"dynamicMenu" || node.element == L"menu"; }

}  // namespace

// ---- one add-in's customization ----

struct RibbonHost::Customization {
    std::wstring progId;
    ComPtr<IDispatch> callbacks;
    Node root;
    std::shared_ptr<Invalidation> invalidation = std::make_shared<Invalidation>();
    ComPtr<RibbonUi> ui;
    using Answer = std::variant<std::wstring, bool>;
    std::map<std::pair<std::wstring, std::wstring>, Answer> answers;  // (control id, callback attribute)
    std::map<std::wstring, std::optional<Node>> menus;                // dynamic menus' content by id
    Print print;

    // Drops what the add-in invalidated since the last question.
    void Forget() {
        if (invalidation->all) {
            answers.clear();
            menus.clear();
        }
        for (const auto& id : invalidation->controls) {
            std::erase_if(answers, [&](const auto& entry) { return entry.first.first == id; });
            menus.erase(id);
        }
        *invalidation = {};
    }

    void RuntimeError(const std::wstring& what) { print(L"add-in " + progId + L": Custom UI runtime error: " + what); }

    // A control's text or flag: its attribute, or its callback's answer (asked once until an
    // Invalidate), or the default.
    Answer Ask(const Node& node, const std::wstring& attribute, const Answer& fallback) {
        Forget();
        if (const auto* value = node.Attribute(attribute)) {
            if (std::holds_alternative<bool>(fallback)) return *value == L"true" || *value == L"1";
            return *value;
        }
        std::wstring getter = L"get" + attribute;
        getter[3] = static_cast<wchar_t>(std::towupper(getter[3]));
        const auto* callback = node.Attribute(getter);
        if (!callback) return fallback;
        const auto key = std::make_pair(node.Id(), getter);
        if (const auto known = answers.find(key); known != answers.end()) return known->second;
        Answer answer = fallback;
        Variant value;
        if (Invoke(*callback, node, std::holds_alternative<bool>(fallback) ? VT_BOOL : VT_BSTR, value)) {
            if (std::holds_alternative<bool>(fallback)) answer = (*value).boolVal != VARIANT_FALSE;
            else answer = Bstr::ToString((*value).bstrVal);
        }
        answers[key] = answer;
        return answer;
    }
    std::wstring Label(const Node& node) { return std::get<std::wstring>(Ask(node, L"label", std::wstring())); }
    bool Enabled(const Node& node) { return std::get<bool>(Ask(node, L"enabled", true)); }

    // Calls a callback about a control as Office does: by IDispatch, the control the one argument,
    // the answer in the result, converted to `type`. False after printing what went wrong.
    bool Invoke(const std::wstring& name, const Node& node, VARTYPE type, Variant& result) {
        const auto* tag = node.Attribute(L"tag");
        const auto control = qlora::com::Adopt<IDispatch>(new RibbonControl(node.Id(), tag ? *tag : L""));
        DISPID dispid = DISPID_UNKNOWN;
        HRESULT hr = qlora::com::DispIdOf(callbacks.Get(), name, &dispid);
        if (FAILED(hr)) {
            RuntimeError(L"the callback \"" + name + L"\" was not found (" + Hex(hr) + L")");
            return false;
        }
        const Variant arg = qlora::com::ToVariant(control);
        hr = qlora::com::InvokeDispId(callbacks.Get(), dispid, DISPATCH_METHOD, {&arg, 1}, result.put());
        if (SUCCEEDED(hr) && type != VT_EMPTY) hr = ::VariantChangeType(result.get(), result.get(), 0, type);
        if (FAILED(hr)) {
            RuntimeError(L"an error occurred while calling the callback \"" + name + L"\" of \"" + node.Id() + L"\": " +
                         Hex(hr));
            return false;
        }
        return true;
    }

    // A dynamic menu's buttons, asking getContent when the menu has none yet.
    const std::optional<Node>& Content(const Node& menu) {
        Forget();
        const std::wstring id = menu.Id();
        const auto* onDrop = menu.Attribute(L"invalidateContentOnDrop");
        if (onDrop && (*onDrop == L"true" || *onDrop == L"1")) menus.erase(id);
        if (const auto known = menus.find(id); known != menus.end()) return known->second;
        std::optional<Node> content;
        if (const auto* getContent = menu.Attribute(L"getContent")) {
            Variant xml;
            if (Invoke(*getContent, menu, VT_BSTR, xml)) {
                std::vector<std::wstring> errors;
                content = Parse(Bstr::ToString((*xml).bstrVal), L"menu", errors);
                for (const auto& error : errors)
                    RuntimeError(L"the content of \"" + id + L"\" is not valid: " + error);
            }
        }
        return menus[id] = std::move(content);
    }

    void Act(const Node& node) {
        Variant ignored;
        if (const auto* onAction = node.Attribute(L"onAction")) Invoke(*onAction, node, VT_EMPTY, ignored);
    }
};

RibbonHost::RibbonHost(Print print) : print_(std::move(print)) {}
RibbonHost::~RibbonHost() = default;

void RibbonHost::Load(const std::wstring& progId, IUnknown* addIn) {
    const auto extensibility = As<IRibbonExtensibility>(addIn);
    if (!extensibility) return;  // an add-in without a Ribbon
    const std::wstring name = L"add-in " + progId + L": ";
    Bstr xml;
    const Bstr ribbonId(kDocumentRibbon);
    if (const HRESULT hr = extensibility->GetCustomUI(ribbonId.get(), xml.put()); FAILED(hr)) {
        print_(name + L"GetCustomUI failed: " + Hex(hr));
        return;
    }
    if (xml.str().empty()) return;  // nothing for documents' Ribbon
    std::vector<std::wstring> errors;
    auto root = Parse(xml.str(), L"customUI", errors);
    if (!root) {
        for (const auto& error : errors) print_(name + L"Error found in Custom UI XML: " + error);
        return;
    }
    auto customization = std::make_unique<Customization>();
    customization->progId = progId;
    customization->callbacks = As<IDispatch>(addIn);
    customization->root = std::move(*root);
    customization->print = print_;
    // Every callback the XML names must be there by name.
    const auto resolve = [&](const auto& self, const Node& node) -> void {
        for (const auto& [attribute, value] : node.attributes) {
            if (!attribute.starts_with(L"on") && !attribute.starts_with(L"get")) continue;
            DISPID dispid = DISPID_UNKNOWN;
            if (!customization->callbacks || FAILED(qlora::com::DispIdOf(customization->callbacks.Get(), value, &dispid)))
                print_(name + L"Custom UI error: the callback \"" + value + L"\" (" + attribute + L" of '" + node.element +
                       L"') was not found");
        }
        for (const auto& child : node.children) self(self, child);
    };
    resolve(resolve, customization->root);
    if (!customization->callbacks) return;
    customization->ui = qlora::com::Adopt(new RibbonUi(customization->invalidation));
    if (const auto* onLoad = customization->root.Attribute(L"onLoad")) {
        ComPtr<IDispatch> ui;
        customization->ui.As(&ui);
        const Variant arg = qlora::com::ToVariant(ui);
        const HRESULT hr =
            qlora::com::InvokeByName(customization->callbacks.Get(), *onLoad, DISPATCH_METHOD, {&arg, 1});
        if (FAILED(hr)) customization->RuntimeError(L"an error occurred while calling the callback \"" + *onLoad + L"\": " + Hex(hr));
    }
    customizations_.push_back(std::move(customization));
}

void RibbonHost::Unload(const std::wstring& progId) {
    std::erase_if(customizations_, [&](const auto& c) { return qlora::text::EqualsNoCase(c->progId, progId); });
}

bool RibbonHost::Click(const std::wstring& path) {
    const auto parts = qlora::text::Split(path, L"/");
    const auto missing = [&] { return std::invalid_argument("wordsim: no Ribbon control at \"" + qlora::text::ToUtf8(path) + "\""); };
    if (parts.size() < 2) throw missing();
    for (auto& customization : customizations_) {
        for (const auto& tabs : customization->root.children) {
            for (const auto& tabsNode : tabs.children) {
                if (tabsNode.element != L"tabs") continue;
                for (const auto& tab : tabsNode.children) {
                    if (!SameLabel(customization->Label(tab), parts[0])) continue;
                    for (const auto& group : tab.children) {
                        for (const auto& control : group.children) {
                            if (!IsControl(control) || !SameLabel(customization->Label(control), parts[1])) continue;
                            if (!customization->Enabled(control)) return false;
                            if (parts.size() == 2) {
                                if (control.element == L"button") customization->Act(control);
                                else if (control.element == L"dynamicMenu") customization->Content(control);
                                return control.element == L"button";
                            }
                            if (control.element != L"dynamicMenu" || parts.size() != 3) throw missing();
                            const auto& content = customization->Content(control);
                            if (!content) throw missing();
                            for (const auto& item : content->children) {
                                if (item.element != L"button" || !SameLabel(customization->Label(item), parts[2])) continue;
                                if (!customization->Enabled(item)) return false;
                                customization->Act(item);
                                return true;
                            }
                            throw missing();
                        }
                    }
                }
            }
        }
    }
    throw missing();
}

std::wstring RibbonHost::Dump() {
    std::wstring out;
    for (auto& customization : customizations_) {
        for (const auto& ribbon : customization->root.children) {
            for (const auto& tabs : ribbon.children) {
                if (tabs.element != L"tabs") continue;
                for (const auto& tab : tabs.children) {
                    const auto* after = tab.Attribute(L"insertAfterMso");
                    out += L"Tab \"" + customization->Label(tab) + L"\" (" + customization->progId +
                           (after ? L", after " + *after : L"") + L")\n";
                    for (const auto& group : tab.children) {
                        out += L"  Group \"" + customization->Label(group) + L"\"\n";
                        for (const auto& control : group.children) {
                            if (!IsControl(control)) continue;
                            const bool enabled = customization->Enabled(control);
                            out += L"    " + control.element + L" \"" + customization->Label(control) + L"\"" +
                                   (enabled ? L"" : L" (disabled)") + L"\n";
                            if (control.element != L"dynamicMenu") continue;
                            const auto& content = customization->Content(control);
                            if (!content) continue;
                            std::wstring items;
                            for (const auto& item : content->children)
                                items += (items.empty() ? L"" : L", ") + customization->Label(item);
                            out += L"      menu: " + (items.empty() ? L"(empty)" : items) + L"\n";
                        }
                    }
                }
            }
        }
    }
    return out.empty() ? L"no custom tabs\n" : out;
}

}  // namespace wordsim
