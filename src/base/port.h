// Process-wide slots for the ports through which portable code reaches the outside (message
// boxes, the error report view, the clock and machine facts...). The Windows adapters install the
// real ones when the DLL loads; tests install fakes for the length of a test with ScopedPort.
#pragma once

#include <utility>

namespace qlora {

template <class Port>
class Installed {
public:
    static Port* Get() noexcept { return slot(); }
    static Port* Set(Port* port) noexcept { return std::exchange(slot(), port); }

private:
    static Port*& slot() noexcept {
        static Port* current = nullptr;
        return current;
    }
};

template <class Port>
class ScopedPort {
public:
    explicit ScopedPort(Port& port) : previous_(Installed<Port>::Set(&port)) {}
    ~ScopedPort() { Installed<Port>::Set(previous_); }
    ScopedPort(const ScopedPort&) = delete;
    ScopedPort& operator=(const ScopedPort&) = delete;

private:
    Port* previous_;
};

}  // namespace qlora
