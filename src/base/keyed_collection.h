// An ordered collection with optional text keys compared without regard to case, as the add-in's
// catalogue, button registry and template list keep their items. Lookups by key are O(1);
// positions are 1-based. A missing key or position and a duplicate key raise the runtime's errors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/text.h"

namespace qlora {

template <class T>
class KeyedCollection {
public:
    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
    bool Empty() const noexcept { return items_.empty(); }

    void Add(T item, std::wstring_view key) {
        auto folded = text::Fold(key);
        if (index_.count(folded)) Throw(errnum::DuplicateKey, L"This key is already associated with an element of this collection");
        index_.emplace(std::move(folded), items_.size());
        items_.push_back({std::wstring(key), std::move(item)});
    }

    bool Contains(std::wstring_view key) const { return index_.count(text::Fold(key)) != 0; }

    // The item of a key, or nullptr.
    const T* Find(std::wstring_view key) const {
        const auto it = index_.find(text::Fold(key));
        return it == index_.end() ? nullptr : &items_[it->second].item;
    }
    T* Find(std::wstring_view key) {
        return const_cast<T*>(std::as_const(*this).Find(key));
    }

    const T& Item(std::wstring_view key) const {
        if (const T* found = Find(key)) return *found;
        Throw(errnum::InvalidCall, L"Invalid procedure call or argument");
    }
    const T& Item(int32_t position) const {
        if (position < 1 || position > Count()) Throw(errnum::InvalidCall, L"Invalid procedure call or argument");
        return items_[static_cast<size_t>(position - 1)].item;
    }

    void Remove(std::wstring_view key) {
        const auto it = index_.find(text::Fold(key));
        if (it == index_.end()) Throw(errnum::InvalidCall, L"Invalid procedure call or argument");
        const size_t at = it->second;
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
        index_.erase(it);
        for (auto& entry : index_)
            if (entry.second > at) --entry.second;
    }

    void Clear() noexcept {
        items_.clear();
        index_.clear();
    }

    // Iteration in collection order over {key, item}.
    struct Entry {
        std::wstring key;
        T item;
    };
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

private:
    [[noreturn]] static void Throw(int32_t number, const wchar_t* description) {
        throw Error(number, kProjectName, description);
    }

    std::vector<Entry> items_;
    std::unordered_map<std::wstring, size_t> index_;
};

}  // namespace qlora
