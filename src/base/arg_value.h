// Argument values as the error trail shows them: what an operation's arguments held when its
// failure was handled. Conversions from the C++ types the add-in's operations take.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace qlora {

struct ArgValue;

struct ArgEmpty {};    // never assigned
struct ArgNull {};     // an explicit null
struct ArgMissing {};  // an optional argument that was not passed
struct ArgDate {
    int year, month, day, hour, minute, second;
};
struct ArgObject {
    std::wstring typeName;  // "Nothing" for no object
};
struct ArgArray {
    std::vector<ArgValue> items;
};

struct ArgValue {
    std::variant<ArgEmpty, ArgNull, ArgMissing, bool, int64_t, double, ArgDate, std::wstring, ArgObject, ArgArray> value;
};

// The type name an object argument shows: the host object's own, a class's kTypeName, or "Object".
template <class T>
std::wstring TypeNameOf(const T& object) {
    if constexpr (requires { object.TypeName(); }) return std::wstring(object.TypeName());
    else if constexpr (requires { T::kTypeName; }) return std::wstring(T::kTypeName);
    else return L"Object";
}

inline ArgValue ToArg(const ArgValue& v) { return v; }
inline ArgValue ToArg(std::wstring_view s) { return {std::wstring(s)}; }
inline ArgValue ToArg(const std::wstring& s) { return {s}; }
inline ArgValue ToArg(const wchar_t* s) { return {std::wstring(s ? s : L"")}; }
inline ArgValue ToArg(bool b) { return {b}; }
inline ArgValue ToArg(const ArgDate& d) { return {d}; }

template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
ArgValue ToArg(T n) {
    return {static_cast<int64_t>(n)};
}
template <class T>
    requires std::is_floating_point_v<T>
ArgValue ToArg(T d) {
    return {static_cast<double>(d)};
}
template <class T>
ArgValue ToArg(const std::optional<T>& v) {
    return v ? ToArg(*v) : ArgValue{ArgMissing{}};
}
template <class T>
ArgValue ToArg(const T* object) {
    return {ArgObject{object ? TypeNameOf(*object) : std::wstring(L"Nothing")}};
}
template <class T>
ArgValue ToArg(const std::shared_ptr<T>& object) {
    return ToArg(static_cast<const T*>(object.get()));
}
template <class T>
ArgValue ToArg(const std::vector<T>& values) {
    ArgArray array;
    for (const auto& v : values) array.items.push_back(ToArg(v));
    return {std::move(array)};
}

// An operation's argument values as the trail takes them: nothing for none, the value itself
// for one, an array for several.
template <class... A>
ArgValue ArgsOf(const A&... args) {
    if constexpr (sizeof...(A) == 0) return {ArgMissing{}};
    else if constexpr (sizeof...(A) == 1) return ToArg(args...);
    else return {ArgArray{{ToArg(args)...}}};
}

// The text of one value in the trail's argument list.
std::wstring FormatArgValue(const ArgValue& v);

}  // namespace qlora
