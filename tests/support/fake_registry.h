// An in-memory registry for the native tier: values by root, key path and name (keys and names
// compared without case, as the registry does), the keys deleted, and one failure to throw on the
// next call.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "settings/program_settings.h"

namespace qlora::testing {

// The add-in's section (Settings\WordAddIn below Tandrel's branch of the current user) and the
// settings store on it, as the handler points it; another program name keeps a test's values apart.
inline const std::wstring kAddinSection = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";
inline std::shared_ptr<clsProgramSettings> AddInSettings(const std::wstring& program = L"Quillora") {
    auto settings = std::make_shared<clsProgramSettings>();
    settings->RootKey = kHKeyCurrentUser;
    settings->RegBase = L"Tandrel";
    settings->Program = program;
    settings->Section = L"Settings\\WordAddIn";
    return settings;
}

class FakeRegistry : public RegistryPort {
public:
    struct Written {
        int32_t root;
        std::wstring key, name, data;
        uint32_t type;
    };

    std::vector<Written> writes;        // every SetValue, in order
    std::vector<std::wstring> deleted;  // every DeleteTree's key, as passed
    std::optional<Error> failNext;      // thrown by the next call

    void Put(int32_t root, const std::wstring& key, const std::wstring& name, RawValue value) {
        keys_[KeyOf(root, key)][text::Fold(name)] = std::move(value);
    }
    void PutString(int32_t root, const std::wstring& key, const std::wstring& name, const std::wstring& data) {
        Put(root, key, name, {RawValue::Kind::String, data});
    }

    RawValue QueryValue(int32_t root, const std::wstring& key, const std::wstring& name) override {
        ThrowIfAsked();
        const auto k = keys_.find(KeyOf(root, key));
        if (k == keys_.end()) return {};
        const auto v = k->second.find(text::Fold(name));
        return v == k->second.end() ? RawValue{} : v->second;
    }
    void SetValue(int32_t root, const std::wstring& key, const std::wstring& name, const std::wstring& data,
                  uint32_t type) override {
        ThrowIfAsked();
        writes.push_back({root, key, name, data, type});
        const auto kind = type == kRegSz ? RawValue::Kind::String : RawValue::Kind::Other;
        Put(root, key, name, {kind, data});
    }
    bool DeleteTree(int32_t root, const std::wstring& key) override {
        ThrowIfAsked();
        deleted.push_back(key);
        return keys_.erase(KeyOf(root, key)) != 0;
    }

private:
    using Key = std::tuple<int32_t, std::wstring>;
    static Key KeyOf(int32_t root, const std::wstring& key) { return {root, text::Fold(key)}; }

    void ThrowIfAsked() {
        if (failNext) throw *std::exchange(failNext, std::nullopt);
    }

    std::map<Key, std::map<std::wstring, RawValue>> keys_;
};

}  // namespace qlora::testing
