// The wildcard dialog's moves over the 34 wildcards, loaded with the defaults (18 selected,
// 16 available) from the in-memory registry. Each run leaves the lists as it found them.
#include <benchmark/benchmark.h>

#include <memory>

#include "session/global.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"
#include "wildcards/wildcard_selection.h"

namespace qlora {
namespace {

// A dialog that shows nothing: the moves are what is measured.
class NoView final : public WildcardsView {
public:
    void Refresh() override {}
    void Focus(ListId) override {}
    void EnsureVisible(ListId, int32_t) override {}
    std::optional<int32_t> HitTest(ListId, int32_t) override { return std::nullopt; }
    void Unload() override {}
};

// The dialog loaded with the default selection; the catalogue and settings store it needs are put
// back afterwards.
class LoadedDialog {
public:
    LoadedDialog() {
        basGlobal::gSettings = testing::AddInSettings();
        basDisplayNames::FillNamesList();
        form.Form_Load();
    }
    ~LoadedDialog() {
        basDisplayNames::ClearNamesList();
        basGlobal::gSettings = savedSettings_;
    }
    LoadedDialog(const LoadedDialog&) = delete;
    LoadedDialog& operator=(const LoadedDialog&) = delete;

    // True when the lists hold every wildcard, with these many selected.
    bool Holds(int32_t selected) const {
        return form.lvwSelected().Count() == selected &&
               form.lvwAvailable().Count() + selected == static_cast<int32_t>(kWildcards.size());
    }

private:
    const std::shared_ptr<clsProgramSettings> savedSettings_ = basGlobal::gSettings;
    testing::TrailFixturePorts ports_;
    testing::FakeRegistry registry_;
    ScopedPort<RegistryPort> registrySlot_{registry_};
    NoView view_;

public:
    frmWildcards form{view_};
};

constexpr int32_t kDefaultSelected = 18;

// The first available entry to the end of the selected list and back to the end of the available one.
void BM_Wildcards_MoveEntry(benchmark::State& state) {
    LoadedDialog dialog;
    auto& form = dialog.form;
    for (auto _ : state) {
        form.MoveEntry(ListId::Selected, ListId::Available, 1, 0, false);
        form.MoveEntry(ListId::Available, ListId::Selected, form.lvwSelected().Count(), 0, false);
    }
    if (!dialog.Holds(kDefaultSelected)) state.SkipWithError("the lists lost or gained entries");
    state.SetItemsProcessed(state.iterations() * 2);
}

// Every wildcard to the selected list, then every one to the available list: 34 moves each way.
void BM_Wildcards_MoveAll(benchmark::State& state) {
    LoadedDialog dialog;
    auto& form = dialog.form;
    form.MoveAll(ListId::Selected, ListId::Available);
    for (auto _ : state) {
        form.MoveAll(ListId::Available, ListId::Selected);
        form.MoveAll(ListId::Selected, ListId::Available);
    }
    if (!dialog.Holds(static_cast<int32_t>(kWildcards.size()))) state.SkipWithError("the lists lost or gained entries");
    state.SetItemsProcessed(state.iterations() * 2 * static_cast<int64_t>(kWildcards.size()));
}

// The first selected entry down to the bottom one place at a time, and back up to the top.
void BM_Wildcards_ChangeEntryPosition(benchmark::State& state) {
    LoadedDialog dialog;
    auto& form = dialog.form;
    form.ItemSelected(ListId::Selected, 1);
    const std::wstring first = form.lvwSelected().At(1).tag;
    const int32_t steps = form.lvwSelected().Count() - 1;
    for (auto _ : state) {
        for (int32_t i = 0; i < steps; ++i) form.ChangeEntryPosition(2);
        for (int32_t i = 0; i < steps; ++i) form.ChangeEntryPosition(-1);
    }
    if (form.lvwSelected().selected != 1 || form.lvwSelected().At(1).tag != first || !dialog.Holds(kDefaultSelected))
        state.SkipWithError("the entry did not come back to the top");
    state.SetItemsProcessed(state.iterations() * 2 * steps);
}

BENCHMARK(BM_Wildcards_MoveEntry);
BENCHMARK(BM_Wildcards_MoveAll)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wildcards_ChangeEntryPosition)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qlora
