#include "office_addins.h"

namespace wordsim::office {
namespace {

constexpr uint32_t kLoaded = 0x1;
constexpr uint32_t kLoadAtStartup = 0x2;
constexpr uint32_t kLoadOnDemand = 0x8;
constexpr uint32_t kConnectFirstTime = 0x10;

}  // namespace

bool ConnectsAtStartup(uint32_t loadBehavior) {
    return (loadBehavior & kLoadAtStartup) != 0 || loadBehavior == kConnectFirstTime;
}

std::optional<uint32_t> LoadBehaviorAfterStartup(uint32_t loadBehavior, bool connected) {
    if (!connected) {
        if ((loadBehavior & kLoaded) == 0) return std::nullopt;
        return loadBehavior & ~kLoaded;
    }
    if (loadBehavior == kConnectFirstTime) return kLoadOnDemand | kLoaded;
    return std::nullopt;
}

}  // namespace wordsim::office
