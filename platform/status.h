#pragma once
// Outcome of an operation that can fail: success, or a message (UTF-8) that says
// what failed and on which file. No exceptions cross layer boundaries.
#include <optional>
#include <string>
#include <utility>

namespace platform {

class Status {
public:
    static Status success() { return Status(); }
    static Status failure(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !message_.has_value(); }
    explicit operator bool() const { return ok(); }
    const std::string& message() const {
        static const std::string empty;
        return message_ ? *message_ : empty;
    }

private:
    Status() = default;
    explicit Status(std::string message) : message_(std::move(message)) {}
    std::optional<std::string> message_;
};

// A value or the message of why there is none.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure) : status_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    const Status& status() const { return status_; }
    const std::string& message() const { return status_.message(); }

private:
    std::optional<T> value_;
    Status status_ = Status::success();
};

}  // namespace platform
