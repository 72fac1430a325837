// The template list at 1,000 to 100,000 entries against the in-memory file system: reading the
// list file, looking names up, adding and writing it back. Each run handles every entry once, so
// a cost per entry that does not depend on the list's length shows as a linear fit.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "support/data_folder.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "templates/template_list.h"

namespace qlora {
namespace {

using testing::FakeFileSystem;

constexpr std::wstring_view kNamePrefix = L"Template ";

std::wstring NameOf(int64_t i) { return std::wstring(kNamePrefix) + text::Decimal(i); }
std::wstring PathOf(int64_t i) { return L"C:\\Users\\u\\Documents\\Templates\\Template " + text::Decimal(i) + L".doc"; }

// The data folder in memory with the trail's ports installed, for one benchmark run.
class DataFolder {
public:
    // A list file of n entries as Save writes it.
    void WriteList(const wchar_t* fileName, int64_t n) {
        std::wstring content;
        for (int64_t i = 0; i < n; ++i) content += NameOf(i) + L"||" + PathOf(i) + L"|>|";
        data.fs.AddFile(data.kPath + fileName, FakeFileSystem::Latin1(content + L"\r\n"));
    }

    testing::TrailFixturePorts ports;
    testing::DataFolder data;
};

// A list loaded from a file of n entries.
bool LoadList(DataFolder& folder, clsTemplateList& list, int64_t n) {
    folder.WriteList(clsTemplateList::kListFileName, n);
    return list.Load() && list.CountTemplates() == n;
}

// Every per-list benchmark ends the same way: entries per second, and the fit over the lengths.
void Entries(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_TemplateList_Load(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    folder.WriteList(clsTemplateList::kListFileName, n);
    clsTemplateList list;
    for (auto _ : state) {
        if (!list.Load()) state.SkipWithError("Load failed");
        benchmark::DoNotOptimize(list.CountTemplates());
    }
    if (list.CountTemplates() != n) state.SkipWithError("Load lost entries");
    Entries(state);
}

// Every one of n loaded names looked up once a run, spelt with the prefix given.
template <class Found>
void EveryNameOnce(benchmark::State& state, std::wstring_view prefix, Found found) {
    const int64_t n = state.range(0);
    DataFolder folder;
    clsTemplateList list;
    if (!LoadList(folder, list, n)) state.SkipWithError("Load failed");
    std::vector<std::wstring> names;
    for (int64_t i = 0; i < n; ++i) names.push_back(std::wstring(prefix) + text::Decimal(i));
    for (auto _ : state)
        for (const auto& name : names)
            if (!found(list, name)) state.SkipWithError("a loaded name was not found");
    Entries(state);
}

// In another letter case than stored: the list's keys ignore it.
void BM_TemplateList_GetEntryByName(benchmark::State& state) {
    EveryNameOnce(state, L"TEMPLATE ", [](const clsTemplateList& list, const std::wstring& name) {
        return !list.GetEntry(name).empty();
    });
}

// All in the own list, so the companion product's list is not read.
void BM_TemplateList_TemplateExists(benchmark::State& state) {
    EveryNameOnce(state, kNamePrefix, [](clsTemplateList& list, const std::wstring& name) {
        return list.TemplateExists(name);
    });
}

// One name in neither list: every such call reads the companion product's list of n entries anew.
void BM_TemplateList_TemplateExistsInProductList(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    folder.WriteList(clsTemplateList::kProductListFileName, n);
    clsTemplateList list;
    for (auto _ : state)
        if (list.TemplateExists(L"Nowhere")) state.SkipWithError("found a name that is in no list");
    if (!list.TemplateExists(NameOf(n - 1))) state.SkipWithError("the product list's last name is missing");
    Entries(state);
}

// n new entries into an empty list.
void BM_TemplateList_AddTemplate(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    std::vector<std::wstring> names, paths;
    for (int64_t i = 0; i < n; ++i) {
        names.push_back(NameOf(i));
        paths.push_back(PathOf(i));
    }
    for (auto _ : state) {
        clsTemplateList list;
        for (int64_t i = 0; i < n; ++i)
            if (!list.AddTemplate(names[static_cast<size_t>(i)], paths[static_cast<size_t>(i)]))
                state.SkipWithError("AddTemplate refused an entry");
        benchmark::DoNotOptimize(list.CountTemplates());
    }
    Entries(state);
}

// One existing name replaced: it leaves its place and goes to the end. The first entry is always
// the one replaced, the costliest place to leave.
void BM_TemplateList_AddTemplateOverwrite(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    clsTemplateList list;
    if (!LoadList(folder, list, n)) state.SkipWithError("Load failed");
    int64_t next = 0;
    for (auto _ : state) {
        if (!list.AddTemplate(NameOf(next), PathOf(next), true)) state.SkipWithError("overwrite refused");
        next = (next + 1) % n;
    }
    if (list.CountTemplates() != n) state.SkipWithError("the list changed its length");
    state.SetComplexityN(n);
}

void BM_TemplateList_Save(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    clsTemplateList list;
    if (!LoadList(folder, list, n)) state.SkipWithError("Load failed");
    const auto written = folder.data.fs.Bytes(list.FilePath());
    for (auto _ : state)
        if (!list.Save()) state.SkipWithError("Save failed");
    if (folder.data.fs.Bytes(list.FilePath()) != written) state.SkipWithError("Save changed the file");
    Entries(state);
}

// What the template dialog's OK does to a list of n entries: read it, ask for the new name, add
// it, write the list, and the list read once more.
void BM_TemplateList_RoundTrip(benchmark::State& state) {
    const int64_t n = state.range(0);
    DataFolder folder;
    folder.WriteList(clsTemplateList::kListFileName, n);
    const std::wstring name = NameOf(n);
    const std::wstring path = PathOf(n);
    for (auto _ : state) {
        clsTemplateList list;
        if (!list.Load() || list.TemplateExists(name) || !list.AddTemplate(name, path) || !list.Save() ||
            list.GetEntry(name).empty())
            state.SkipWithError("the round trip failed");
        state.PauseTiming();
        folder.WriteList(clsTemplateList::kListFileName, n);  // the next run starts from n entries again
        state.ResumeTiming();
    }
    Entries(state);
}

// 1,000, 10,000 and 100,000 entries, and the linear fit over them.
void ListLengths(benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(10)->Range(1'000, 100'000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TemplateList_Load)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_GetEntryByName)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_TemplateExists)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_TemplateExistsInProductList)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_AddTemplate)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_AddTemplateOverwrite)->Apply(ListLengths)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TemplateList_Save)->Apply(ListLengths);
BENCHMARK(BM_TemplateList_RoundTrip)->Apply(ListLengths);

}  // namespace
}  // namespace qlora
