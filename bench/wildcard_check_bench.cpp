// Checking wildcards in a long template: 200 pages of about 3,000 characters with 1,000 wildcards,
// one in ten of them not marked and one in a hundred damaged. Matching alone, and the whole check
// through the Word port of the in-memory Word (one read of the text, one of each bookmark).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "session/global.h"
#include "toolbar/check_wildcards.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcard_check.h"
#include "toolbar/wildcards.h"
#include "word_model.h"

namespace qlora {
namespace {

constexpr int kPages = 200;
constexpr int kWildcardCount = 1000;
constexpr size_t kPageLength = 3000;

struct Template {
    std::wstring text;
    std::vector<wildcardCheck::Mark> bookmarks;
};

// Prose with a wildcard every 600 characters; the 10th of every ten is not marked, and every
// hundredth bookmark covers one character too few.
Template LongTemplate() {
    Template t;
    const std::wstring prose = L"Dear colleague, the message below was printed for the files. ";
    std::vector<int> counts(kWildcards.size(), 0);
    for (int i = 0; i < kWildcardCount; ++i) {
        while (t.text.size() < static_cast<size_t>(i + 1) * kPages * kPageLength / kWildcardCount) t.text += prose;
        const auto& w = kWildcards[static_cast<size_t>(i) % kWildcards.size()];
        const auto start = static_cast<int32_t>(t.text.size());
        t.text += w.english.empty() ? w.german : w.english;
        auto end = static_cast<int32_t>(t.text.size());
        t.text += L"\r";
        if (i % 10 == 9) continue;
        if (i % 100 == 0) --end;
        auto& count = counts[static_cast<size_t>(i) % counts.size()];
        t.bookmarks.push_back({std::wstring(w.bookmarkName) + (count ? text::Decimal(count) : L""), start, end});
        ++count;
    }
    return t;
}

void BM_CheckWildcards_Match(benchmark::State& state) {
    const auto t = LongTemplate();
    for (auto _ : state) {
        auto result = wildcardCheck::Check(t.text, t.bookmarks);
        auto steps = wildcardCheck::PlanRepair(t.bookmarks, result);
        benchmark::DoNotOptimize(steps);
    }
    state.counters["chars"] = static_cast<double>(t.text.size());
    state.counters["problems"] = static_cast<double>(wildcardCheck::Check(t.text, t.bookmarks).problems.size());
}

// The check as the toolbar button runs it, through the port: reading the document and matching.
void BM_CheckWildcards_InWord(benchmark::State& state) {
    const auto t = LongTemplate();
    wordsim::Word word;
    word.OpenDocument(L"C:\\Templates\\Long.docx", t.text);
    const auto application = word.Application();
    const auto document = application->ActiveDocument();
    for (const auto& b : t.bookmarks) document->Bookmarks()->Add(b.name, document->Range(b.start, b.end));
    basDisplayNames::FillNamesList();
    word.ResetCallCounts();
    for (auto _ : state) {
        frmCheckWildcards form(document);
        benchmark::DoNotOptimize(form.Lines());
    }
    state.counters["calls"] = static_cast<double>(word.TotalCalls()) / static_cast<double>(state.iterations());
    basDisplayNames::ClearNamesList();
}

}  // namespace

BENCHMARK(BM_CheckWildcards_Match)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckWildcards_InWord)->Unit(benchmark::kMillisecond);

}  // namespace qlora
