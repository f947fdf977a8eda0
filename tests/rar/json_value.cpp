#include "tests/rar/json_value.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "archiver/rar/utf16_codec.h"

namespace testjson {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Value document() {
        Value v = value();
        blanks();
        if (p_ != s_.size()) fail("trailing characters");
        return v;
    }

private:
    [[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string("json: ") + what); }
    void blanks() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) ++p_;
    }
    char peek() {
        blanks();
        if (p_ >= s_.size()) fail("unexpected end");
        return s_[p_];
    }
    void expect(char c) {
        if (peek() != c) fail("unexpected character");
        ++p_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(p_, word.size()) != word) return false;
        p_ += word.size();
        return true;
    }

    Value value() {
        Value v;
        const char c = peek();
        if (c == '{') {
            v.kind_ = Value::Kind::Object;
            ++p_;
            if (peek() == '}') {
                ++p_;
                return v;
            }
            for (;;) {
                if (peek() != '"') fail("object key expected");
                std::string key = string();
                expect(':');
                v.object_[key] = value();
                if (peek() == ',') {
                    ++p_;
                    continue;
                }
                expect('}');
                return v;
            }
        }
        if (c == '[') {
            v.kind_ = Value::Kind::Array;
            ++p_;
            if (peek() == ']') {
                ++p_;
                return v;
            }
            for (;;) {
                v.array_.push_back(value());
                if (peek() == ',') {
                    ++p_;
                    continue;
                }
                expect(']');
                return v;
            }
        }
        if (c == '"') {
            v.kind_ = Value::Kind::String;
            v.string_ = string();
            return v;
        }
        if (literal("true")) {
            v.kind_ = Value::Kind::Bool;
            v.bool_ = true;
            return v;
        }
        if (literal("false")) {
            v.kind_ = Value::Kind::Bool;
            return v;
        }
        if (literal("null")) return v;
        std::size_t end = p_;
        while (end < s_.size() && std::string_view("+-0123456789.eE").find(s_[end]) != std::string_view::npos) ++end;
        if (end == p_) fail("value expected");
        v.kind_ = Value::Kind::Number;
        v.number_ = std::strtod(std::string(s_.substr(p_, end - p_)).c_str(), nullptr);
        p_ = end;
        return v;
    }

    unsigned hex4() {
        if (p_ + 4 > s_.size()) fail("short escape");
        unsigned v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[p_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
            else fail("bad escape");
        }
        return v;
    }

    std::string string() {
        expect('"');
        std::string out;
        for (;;) {
            if (p_ >= s_.size()) fail("unterminated string");
            const char c = s_[p_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p_ >= s_.size()) fail("unterminated escape");
            const char e = s_[p_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    // A character outside the BMP comes as a pair of escaped halves.
                    std::u16string units(1, static_cast<char16_t>(hex4()));
                    if (units[0] >= 0xD800 && units[0] <= 0xDBFF && s_.substr(p_, 2) == "\\u") {
                        p_ += 2;
                        units += static_cast<char16_t>(hex4());
                    }
                    out += rar::utf8FromUtf16(units);
                    break;
                }
                default: fail("bad escape");
            }
        }
    }

    std::string_view s_;
    std::size_t p_ = 0;
};

Value Value::parse(std::string_view text) { return Parser(text).document(); }

bool Value::asBool() const {
    if (kind_ != Kind::Bool) throw std::runtime_error("json: not a bool");
    return bool_;
}
double Value::asNumber() const {
    if (kind_ != Kind::Number) throw std::runtime_error("json: not a number");
    return number_;
}
const std::string& Value::asString() const {
    if (kind_ != Kind::String) throw std::runtime_error("json: not a string");
    return string_;
}
const std::vector<Value>& Value::asArray() const {
    static const std::vector<Value> empty;
    if (kind_ == Kind::Null) return empty;
    if (kind_ != Kind::Array) throw std::runtime_error("json: not an array");
    return array_;
}
const Value& Value::operator[](const std::string& key) const {
    static const Value null;
    if (kind_ != Kind::Object) return null;
    auto it = object_.find(key);
    return it == object_.end() ? null : it->second;
}
bool Value::has(const std::string& key) const { return kind_ == Kind::Object && object_.count(key) > 0; }
std::string Value::stringOr(const std::string& key, const std::string& fallback) const {
    const Value& v = (*this)[key];
    return v.kind_ == Kind::String ? v.string_ : fallback;
}
bool Value::boolOr(const std::string& key, bool fallback) const {
    const Value& v = (*this)[key];
    return v.kind_ == Kind::Bool ? v.bool_ : fallback;
}

}  // namespace testjson
