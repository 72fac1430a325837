#include "toolbar/wildcard_check.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "toolbar/wildcards.h"

namespace qlora::wildcardCheck {
namespace {

// Every display text of the catalogue, German and English, with its wildcard.
class DisplayTexts {
public:
    DisplayTexts() {
        for (const auto& w : kWildcards) {
            for (const auto display : {w.german, w.english}) {
                if (display.empty()) continue;
                byText_.emplace(display, w.bookmarkName);
                longest_ = std::max(longest_, display.size());
            }
        }
    }
    std::optional<std::wstring_view> Find(std::wstring_view display) const {
        const auto found = byText_.find(display);
        if (found == byText_.end()) return std::nullopt;
        return found->second;
    }
    size_t Longest() const { return longest_; }

private:
    std::unordered_map<std::wstring_view, std::wstring_view> byText_;
    size_t longest_ = 0;
};

const DisplayTexts& Catalogue() {
    static const DisplayTexts texts;
    return texts;
}

struct Found {
    std::wstring_view wildcard;
    int32_t start;
    int32_t end;
    bool marked = false;   // an intact bookmark covers it
    bool claimed = false;  // a damaged bookmark moves onto it
};

// Every "<<Display text>>" in document order. Display texts hold no '<' or '>', so two never
// overlap and each starts at the last "<<" before its ">>".
std::vector<Found> FindTexts(std::wstring_view text) {
    const auto& catalogue = Catalogue();
    std::vector<Found> found;
    for (size_t i = text.find(L"<<"); i != std::wstring_view::npos; i = text.find(L"<<", i + 1)) {
        const size_t close = text.substr(0, std::min(text.size(), i + catalogue.Longest())).find(L">>", i + 2);
        if (close == std::wstring_view::npos) continue;
        const size_t end = close + 2;
        if (const auto wildcard = catalogue.Find(text.substr(i, end - i))) {
            found.push_back({*wildcard, static_cast<int32_t>(i), static_cast<int32_t>(end)});
            i = end - 1;
        }
    }
    return found;
}

}  // namespace

std::wstring WildcardOf(std::wstring_view bookmarkName) {
    if (!bookmarkName.starts_with(kBookmarkPrefix)) return L"";
    const auto lastLetter = bookmarkName.find_last_not_of(L"0123456789");
    const auto base = bookmarkName.substr(0, lastLetter + 1);
    for (const auto& w : kWildcards)
        if (text::EqualsNoCase(w.bookmarkName, base)) return std::wstring(w.bookmarkName);
    return L"";
}

Result Check(std::wstring_view text, const std::vector<Mark>& bookmarks) {
    auto texts = FindTexts(text);
    Result result;
    result.checked = static_cast<int32_t>(texts.size());

    // Ours in document order; of two over one text the plain name keeps it.
    std::vector<const Mark*> ours;
    for (const auto& b : bookmarks)
        if (b.name.starts_with(kBookmarkPrefix)) ours.push_back(&b);
    std::stable_sort(ours.begin(), ours.end(), [](const Mark* a, const Mark* b) {
        return std::tuple(a->start, a->end, a->name.size(), text::Fold(a->name)) <
               std::tuple(b->start, b->end, b->name.size(), text::Fold(b->name));
    });

    const auto firstFrom = [&](int32_t start) {
        return std::lower_bound(texts.begin(), texts.end(), start,
                                [](const Found& f, int32_t s) { return f.start < s; });
    };

    std::vector<std::pair<const Mark*, std::wstring>> damaged;
    for (const Mark* b : ours) {
        auto wildcard = WildcardOf(b->name);
        if (wildcard.empty()) {
            result.problems.push_back({Kind::Unknown, L"", b->name, b->start, b->end});
            continue;
        }
        const auto at = firstFrom(b->start);
        if (at != texts.end() && at->start == b->start && at->end == b->end && at->wildcard == wildcard && !at->marked)
            at->marked = true;
        else
            damaged.emplace_back(b, std::move(wildcard));
    }

    // Only once every intact bookmark has its text: a damaged one must not take a marked text.
    for (auto& [b, wildcard] : damaged) {
        Problem problem{Kind::Damaged, wildcard, b->name, b->start, b->end};
        Found* only = nullptr;
        int holds = 0;
        for (auto it = firstFrom(b->start); it != texts.end() && it->start < b->end; ++it) {
            if (it->end > b->end || it->wildcard != wildcard) continue;
            ++holds;
            only = &*it;
        }
        if (holds == 1 && !only->marked && !only->claimed) {
            only->claimed = true;
            problem.targetStart = only->start;
            problem.targetEnd = only->end;
        }
        result.problems.push_back(std::move(problem));
    }

    for (const auto& f : texts)
        if (!f.marked && !f.claimed) result.problems.push_back({Kind::NotMarked, std::wstring(f.wildcard), L"", f.start, f.end});

    std::stable_sort(result.problems.begin(), result.problems.end(), [](const Problem& a, const Problem& b) {
        return std::tuple(a.start, a.end, a.kind) < std::tuple(b.start, b.end, b.kind);
    });
    return result;
}

std::vector<Step> PlanRepair(const std::vector<Mark>& bookmarks, const Result& result) {
    std::unordered_set<std::wstring> taken;
    for (const auto& b : bookmarks) taken.insert(text::Fold(b.name));

    std::vector<Step> steps;
    for (const auto& p : result.problems) {
        if (p.kind != Kind::Damaged) continue;
        if (p.targetStart >= 0) {
            steps.push_back({Step::Action::Set, {p.bookmark, p.targetStart, p.targetEnd}});
        } else {
            steps.push_back({Step::Action::Remove, {p.bookmark, p.start, p.end}});
            taken.erase(text::Fold(p.bookmark));
        }
    }
    for (const auto& p : result.problems) {
        if (p.kind != Kind::NotMarked) continue;
        std::wstring name = p.wildcard;
        for (int k = 1; taken.count(text::Fold(name)); ++k) name = p.wildcard + text::Decimal(k);
        taken.insert(text::Fold(name));
        steps.push_back({Step::Action::Set, {std::move(name), p.start, p.end}});
    }
    return steps;
}

std::vector<Mark> Apply(std::vector<Mark> bookmarks, const std::vector<Step>& steps) {
    for (const auto& step : steps) {
        std::erase_if(bookmarks, [&](const Mark& b) { return text::EqualsNoCase(b.name, step.mark.name); });
        if (step.action == Step::Action::Set) bookmarks.push_back(step.mark);
    }
    return bookmarks;
}

std::wstring Excerpt(std::wstring_view text, int32_t start, int32_t end, int32_t context) {
    const auto size = static_cast<int64_t>(text.size());
    const int64_t from = std::clamp<int64_t>(int64_t{start} - context, 0, size);
    const int64_t to = std::clamp<int64_t>(int64_t{end} + context, from, size);
    std::wstring piece(text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
    for (auto& c : piece)
        if (c < L' ') c = L' ';
    if (from > 0) piece.insert(0, L"...");
    if (to < size) piece += L"...";
    return piece;
}

}  // namespace qlora::wildcardCheck
