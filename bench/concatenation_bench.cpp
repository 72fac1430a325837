// The string builder against plain std::wstring appends: n short pieces (a list file's entry and
// its end mark, turn about) collected into one text, which is then taken out.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "base/concatenation.h"

namespace qlora {
namespace {

constexpr std::wstring_view kPieces[] = {L"Template 4711||C:\\Templates\\Offer.doc", L"|>|"};

std::wstring_view Piece(int64_t i) { return kPieces[i % 2]; }

size_t ExpectedLength(int64_t n) {
    const auto pairs = static_cast<size_t>(n / 2);
    return pairs * (kPieces[0].size() + kPieces[1].size()) + (n % 2 == 1 ? kPieces[0].size() : 0);
}

// The text of n pieces, as a run takes it out of the builder.
std::wstring Collect(clsConcatenation& builder, int64_t n) {
    for (int64_t i = 0; i < n; ++i) builder.Concat(Piece(i));
    return builder.Value();
}

void Check(benchmark::State& state, const std::wstring& value) {
    if (value.size() != ExpectedLength(state.range(0))) state.SkipWithError("the text has another length");
    benchmark::DoNotOptimize(value.data());
}

void Pieces(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A new builder each time, as Save uses one.
void BM_Concatenation_New(benchmark::State& state) {
    for (auto _ : state) {
        clsConcatenation builder;
        Check(state, Collect(builder, state.range(0)));
    }
    Pieces(state);
}

// One builder started again with Clear: its buffer stays.
void BM_Concatenation_Reused(benchmark::State& state) {
    clsConcatenation builder;
    for (auto _ : state) {
        builder.Clear();
        Check(state, Collect(builder, state.range(0)));
    }
    Pieces(state);
}

void BM_WstringAppend(benchmark::State& state) {
    const int64_t n = state.range(0);
    for (auto _ : state) {
        std::wstring value;
        for (int64_t i = 0; i < n; ++i) value.append(Piece(i));
        Check(state, value);
    }
    Pieces(state);
}

// 100 to 100,000 pieces (about 2,000 to 2 million characters), and the linear fit over them.
void PieceCounts(benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(10)->Range(100, 100'000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Concatenation_New)->Apply(PieceCounts);
BENCHMARK(BM_Concatenation_Reused)->Apply(PieceCounts);
BENCHMARK(BM_WstringAppend)->Apply(PieceCounts);

}  // namespace
}  // namespace qlora
