// The failure a call raises, for tests that check what it says; a test failure when it raises none.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"

namespace qlora::testing {

inline ErrorInfo ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.Info();
    }
    ADD_FAILURE() << "the call did not fail";
    return {};
}

}  // namespace qlora::testing
