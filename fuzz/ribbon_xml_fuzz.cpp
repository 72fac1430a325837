// The Ribbon's XML from any texts: the tab's customUI document and the menu getContent returns,
// with every label, group name and tip drawn from the fuzzer. Each must parse as XML (libxml2) and
// give back every text as written, except the characters XML cannot carry, which read as U+FFFD.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "ribbon/ribbon.h"
#include "support/parsed_xml.h"

namespace qlora::fuzzing {
namespace {

// What a text reads as after the trip through XML.
std::wstring Carried(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (sizeof(wchar_t) == 2 && high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += c;
            out += text[++i];
        } else if (high || low || c == 0xFFFE || c == 0xFFFF || (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r')) {
            out += L'\xFFFD';
        } else {
            out += c;
        }
    }
    return out;
}

void RequireRead(const std::wstring& read, const std::wstring& written, const char* rule) {
    Require(read == Carried(written), rule, written);
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts& ports) {
    basRibbon::TabTexts texts;
    for (auto* text : {&texts.tab, &texts.wildcardsGroup, &texts.templateGroup, &texts.insert.label,
                       &texts.insert.supertip, &texts.choose.label, &texts.choose.supertip,
                       &texts.check.label, &texts.check.supertip, &texts.show.label, &texts.show.supertip,
                       &texts.useAsTemplate.label, &texts.useAsTemplate.supertip, &texts.info.label,
                       &texts.info.supertip})
        *text = ConsumeText(input, 64);
    std::vector<basRibbon::MenuItem> items;
    while (input.remaining_bytes() > 0 && items.size() < 40)
        items.push_back({L"WildCard_" + std::to_wstring(items.size()), ConsumeText(input, 64)});

    const std::wstring tabXml = basRibbon::TabXml(texts);
    const auto tab = testing::ParseXml(tabXml);
    Require(tab.has_value(), "the tab's customUI document is XML", tabXml);
    const auto& tabElement = tab->children.at(0).children.at(0).children.at(0);
    RequireRead(tabElement[L"label"], texts.tab, "the tab's label is kept");
    const auto& groups = tabElement.children;
    Require(groups.size() == 2, "the tab has its two groups", tabXml);
    RequireRead(groups[0][L"label"], texts.wildcardsGroup, "the wildcards group's label is kept");
    RequireRead(groups[1][L"label"], texts.templateGroup, "the template group's label is kept");
    // In the tab's order.
    const basRibbon::ControlTexts* controls[] = {&texts.insert, &texts.choose,        &texts.check,
                                                 &texts.show,   &texts.useAsTemplate, &texts.info};
    size_t at = 0;
    for (const auto& group : groups) {
        for (const auto& control : group.children) {
            Require(at < std::size(controls), "the tab has its six controls", tabXml);
            RequireRead(control[L"screentip"], controls[at]->label, "a control's screen tip is kept");
            RequireRead(control[L"supertip"], controls[at]->supertip, "a control's description is kept");
            ++at;
        }
    }

    const std::wstring menuXml = basRibbon::MenuXml(items);
    const auto menu = testing::ParseXml(menuXml);
    Require(menu.has_value(), "the menu document is XML", menuXml);
    Require(menu->children.size() == items.size(), "the menu has a button per wildcard", menuXml);
    for (size_t i = 0; i < items.size(); ++i)
        RequireRead(menu->children[i][L"label"], items[i].label, "a wildcard's label is kept");
    RequireNoReport(ports, "building the Ribbon's XML reports nothing");
}

}  // namespace qlora::fuzzing
