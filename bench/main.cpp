// The benchmark program's entry point: Google Benchmark's, with this project's defaults.
//
// Freed memory stays with the process and is handed out again, so that a run measures the code
// rather than the system's cost of mapping fresh pages: that cost differs widely between machines
// and is many times higher in some virtual machines, where it buries a linear cost under one that
// grows with every page a large text touches. --fresh_pages leaves the allocator as it is.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string_view>
#include <vector>

namespace {

// Before the command line's own options, which come later and so win. The warm-up also brings the
// memory a large list takes into place before the timing starts.
char kMinTime[] = "--benchmark_min_time=0.2";
char kWarmUp[] = "--benchmark_min_warmup_time=0.2";
constexpr std::string_view kFreshPages = "--fresh_pages";

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args{argv[0], kMinTime, kWarmUp};
    bool freshPages = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == kFreshPages) freshPages = true;
        else args.push_back(argv[i]);
    }
    if (!freshPages) {
        mallopt(M_MMAP_MAX, 0);         // large blocks come from the heap too, not from new mappings
        mallopt(M_TRIM_THRESHOLD, -1);  // and the heap never gives memory back
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
