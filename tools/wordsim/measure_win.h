// wordsim /measure: what the add-ins cost Word. A script runs a number of times, each time in a
// fresh Word that connects the add-ins registered for start-up; each add-in's load (from creating
// it to the end of its OnConnection) and each step of the script are timed, and their calls into
// Word's COM face counted.
#pragma once

#include <cstdint>
#include <string_view>

#include "session.h"

namespace wordsim {

// Runs the script `runs` times and prints one line per load and step: the first run (the add-in's
// DLL loaded for the first time by this process) and the median of all runs. With a baseline (the
// ProgID of another add-in loaded in the same runs) it also prints each other load as a multiple
// of the baseline's: the median of the runs' ratios. A run that fails prints its output and ends
// the measurement with its exit code; a baseline that did not load is an error in how it started.
int Measure(int32_t runs, std::wstring_view script, const Print& print, std::wstring_view baseline = {});

}  // namespace wordsim
