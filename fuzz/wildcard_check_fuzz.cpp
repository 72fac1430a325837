// Checking and repairing wildcards: any text (pieces of display texts, brackets, letters) and any
// bookmarks (wildcard names with numbers, unknown and foreign names, any spans). A repair touches
// only wildcard bookmarks of the catalogue, leaves each "<<Display text>>" under exactly one
// bookmark of its wildcard with unique names, and a second check finds nothing but unknown names.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "toolbar/wildcard_check.h"
#include "toolbar/wildcards.h"

namespace qlora::fuzzing {
namespace {

using namespace wildcardCheck;

const Wildcard& AnyWildcard(FuzzedDataProvider& input) {
    return kWildcards[input.ConsumeIntegralInRange<size_t>(0, kWildcards.size() - 1)];
}

std::wstring Piece(FuzzedDataProvider& input) {
    const auto& w = AnyWildcard(input);
    const std::wstring display(input.ConsumeBool() || w.english.empty() ? w.german : w.english);
    const int kind = input.ConsumeIntegralInRange(0, 5);
    if (kind == 0) return display;
    if (kind == 1) return display.substr(0, input.ConsumeIntegralInRange<size_t>(0, display.size()));
    return kind == 5 ? ConsumeText(input, 6) : std::wstring(1, L"<>\r"[kind - 2]);
}

std::wstring Name(FuzzedDataProvider& input) {
    const int kind = input.ConsumeIntegralInRange(0, 3);
    if (kind == 2) return std::wstring(kBookmarkPrefix) + ConsumeText(input, 6);
    if (kind == 3) return ConsumeText(input, 8);
    const std::wstring name(AnyWildcard(input).bookmarkName);
    return kind == 0 ? name : name + text::Decimal(input.ConsumeIntegralInRange(0, 12));
}

// Where each display text of the catalogue stands, found one display text at a time.
std::vector<Mark> DisplayTexts(const std::wstring& text) {
    std::vector<Mark> found;
    for (const auto& w : kWildcards)
        for (const auto display : {w.german, w.english})
            for (auto at = display.empty() ? std::wstring::npos : text.find(display); at != std::wstring::npos;
                 at = text.find(display, at + 1))
                found.push_back({std::wstring(w.bookmarkName), static_cast<int32_t>(at),
                                 static_cast<int32_t>(at + display.size())});
    return found;
}

}  // namespace

void Run(FuzzedDataProvider& input, testing::TrailFixturePorts&) {
    std::wstring text;
    for (int pieces = input.ConsumeIntegralInRange(0, 24); pieces > 0; --pieces) text += Piece(input);
    const auto length = static_cast<int32_t>(text.size());
    std::vector<Mark> bookmarks;
    std::set<std::wstring> names;
    for (int count = input.ConsumeIntegralInRange(0, 12); count > 0; --count) {
        auto name = Name(input);
        if (!names.insert(text::Fold(name)).second) continue;  // Word keeps one bookmark per name
        const int32_t start = input.ConsumeIntegralInRange(0, length);
        bookmarks.push_back({std::move(name), start, input.ConsumeIntegralInRange(start, length)});
    }

    const auto result = Check(text, bookmarks);
    for (size_t i = 1; i < result.problems.size(); ++i)
        Require(result.problems[i - 1].start <= result.problems[i].start, "problems come in document order", text);
    const auto steps = PlanRepair(bookmarks, result);
    const auto after = Apply(bookmarks, steps);

    std::set<std::wstring> namesAfter;
    for (const auto& b : after) {
        Require(namesAfter.insert(text::Fold(b.name)).second, "bookmark names stay unique", b.name);
        Require(b.start >= 0 && b.start <= b.end && b.end <= length, "bookmarks stay inside the text", b.name);
        const bool ours = !WildcardOf(b.name).empty();
        const bool before = std::find(bookmarks.begin(), bookmarks.end(), b) != bookmarks.end();
        Require(ours || before, "only wildcard bookmarks of the catalogue change", b.name);
    }
    for (const auto& b : bookmarks)
        if (WildcardOf(b.name).empty())
            Require(std::find(after.begin(), after.end(), b) != after.end(), "other bookmarks stay", b.name);

    const auto displays = DisplayTexts(text);
    for (const auto& d : displays) {
        const auto marks = std::count_if(after.begin(), after.end(), [&](const Mark& b) {
            return b.start == d.start && b.end == d.end && WildcardOf(b.name) == d.name;
        });
        Require(marks == 1, "every display text is under exactly one bookmark of its wildcard", text);
    }
    Require(result.checked == static_cast<int32_t>(displays.size()), "every display text is checked", text);

    for (const auto& p : Check(text, after).problems)
        Require(p.kind == Kind::Unknown, "a second check finds nothing to repair", p.bookmark + L" in " + text);
}

}  // namespace qlora::fuzzing
