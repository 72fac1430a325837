// What Office waits for when it asks for the Ribbon: the tab's customUI XML, and the wildcard menu
// built from the places in the in-memory registry (every wildcard chosen, the most work).
#include <benchmark/benchmark.h>

#include "base/text.h"
#include "ribbon/ribbon.h"
#include "session/global.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "toolbar/wildcards.h"

namespace qlora {
namespace {

void BM_Ribbon_GetCustomUI(benchmark::State& state) {
    testing::TrailFixturePorts ports;
    for (auto _ : state) benchmark::DoNotOptimize(basRibbon::GetCustomUI(basRibbon::kDocumentRibbon));
}
BENCHMARK(BM_Ribbon_GetCustomUI)->Unit(benchmark::kMicrosecond);

void BM_Ribbon_GetContent(benchmark::State& state) {
    testing::TrailFixturePorts ports;
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    const auto saved = basGlobal::gSettings;
    basGlobal::gSettings = testing::AddInSettings();
    int32_t place = 0;
    for (const auto& w : kWildcards) basGlobal::gSettings->WriteEntry(std::wstring(w.bookmarkName), text::Decimal(++place));
    const basRibbon::ControlId menu = [] { return std::wstring(L"QuilloraInsertWildcard"); };
    for (auto _ : state) benchmark::DoNotOptimize(basRibbon::GetContent(menu));
    basGlobal::gSettings = saved;
}
BENCHMARK(BM_Ribbon_GetContent)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qlora
