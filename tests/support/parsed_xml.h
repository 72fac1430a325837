// An XML document as libxml2 reads it, for checking what the add-in writes: elements with their
// local names, namespaces, attributes and child elements; nothing when it is not well formed.
#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"

namespace qlora::testing {

struct XmlElement {
    std::wstring name, ns;
    std::map<std::wstring, std::wstring> attributes;
    std::vector<XmlElement> children;

    std::wstring operator[](const std::wstring& attribute) const {
        const auto found = attributes.find(attribute);
        return found == attributes.end() ? std::wstring() : found->second;
    }
};

inline std::wstring FromXmlText(const xmlChar* s) {
    return s ? text::FromUtf8(reinterpret_cast<const char*>(s)) : std::wstring();
}

inline XmlElement ElementOf(xmlNode* node) {
    XmlElement element{FromXmlText(node->name), node->ns ? FromXmlText(node->ns->href) : L"", {}, {}};
    for (xmlAttr* a = node->properties; a; a = a->next) {
        const std::unique_ptr<xmlChar, void (*)(void*)> value(xmlNodeListGetString(node->doc, a->children, 1),
                                                               [](void* p) { xmlFree(p); });
        element.attributes[FromXmlText(a->name)] = FromXmlText(value.get());
    }
    for (xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) element.children.push_back(ElementOf(child));
    return element;
}

inline std::optional<XmlElement> ParseXml(const std::wstring& xml) {
    const std::string bytes = text::ToUtf8(xml);
    const std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "ribbon.xml", "UTF-8",
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeDoc);
    if (!doc || !xmlDocGetRootElement(doc.get())) return std::nullopt;
    return ElementOf(xmlDocGetRootElement(doc.get()));
}

}  // namespace qlora::testing
