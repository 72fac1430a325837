// libFuzzer's entry point, the same for every target: a fresh set of the trail's ports per run.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    qlora::testing::TrailFixturePorts ports;
    qlora::fuzzing::Run(input, ports);
    return 0;
}
