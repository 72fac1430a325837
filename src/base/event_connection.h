// One event subscription, owned: it ends when the owner goes out of scope or resets it (COM:
// Unadvise). Word's events and the add-in's own (the template list's ListLoaded) hand these out.
#pragma once

#include <functional>
#include <utility>

namespace qlora {

class EventConnection {
public:
    EventConnection() = default;
    explicit EventConnection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
    EventConnection(EventConnection&& other) noexcept : disconnect_(std::exchange(other.disconnect_, {})) {}
    EventConnection& operator=(EventConnection&& other) noexcept {
        if (this != &other) {
            Reset();
            disconnect_ = std::exchange(other.disconnect_, {});
        }
        return *this;
    }
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;
    ~EventConnection() { Reset(); }

    void Reset() noexcept {
        if (auto disconnect = std::exchange(disconnect_, {})) {
            try {
                disconnect();
            } catch (...) {  // a host that refuses to let go must not take the add-in down
            }
        }
    }
    bool Connected() const noexcept { return static_cast<bool>(disconnect_); }

private:
    std::function<void()> disconnect_;
};

}  // namespace qlora
