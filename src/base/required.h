// Two guards every room uses around the objects it reaches: an object a step cannot do without,
// and a lookup or best-effort step whose failures do not matter.
#pragma once

#include <type_traits>

#include "base/error.h"

namespace qlora {

// The object a step needs; a missing one fails as the runtime's "Object required".
template <class T>
T& Required(T* object) {
    if (!object) throw Raised(kObjectRequired);
    return *object;
}
template <class Pointer>
    requires requires(const Pointer& p) { p.get(); }
auto& Required(const Pointer& object) {
    return Required(object.get());
}

// Runs a lookup or best-effort step whose every failure is ignored; a failed lookup gives its
// result type's empty value (nothing for an object).
template <class Body>
auto IgnoringFailures(Body&& body) noexcept -> std::invoke_result_t<Body> {
    using Result = std::invoke_result_t<Body>;
    try {
        return body();
    } catch (...) {
        if constexpr (!std::is_void_v<Result>) return Result{};
    }
}

}  // namespace qlora
