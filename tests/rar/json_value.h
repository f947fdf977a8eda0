#pragma once
// A small JSON reader for the fixture manifest: objects, arrays, strings (with \u
// escapes), numbers, true, false, null. Throws std::runtime_error on malformed input.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testjson {

class Value {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    static Value parse(std::string_view text);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool asBool() const;
    double asNumber() const;
    const std::string& asString() const;
    const std::vector<Value>& asArray() const;
    // Missing members read as null.
    const Value& operator[](const std::string& key) const;
    bool has(const std::string& key) const;

    // Convenience: a string member or `fallback` when absent or null.
    std::string stringOr(const std::string& key, const std::string& fallback) const;
    bool boolOr(const std::string& key, bool fallback) const;

private:
    friend class Parser;
    Kind kind_ = Kind::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<Value> array_;
    std::map<std::string, Value> object_;
};

}  // namespace testjson
