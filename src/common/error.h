// The one error idiom of every program here. A reader or a check returns its
// value or one line that says what is wrong, naming the file and the record
// (Result); a stop of the whole program is a Stop, caught in main, which
// prints its line and ends with status 1 (as end of input does).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace common {

// The program stops with status 1 after its line is printed.
struct Stop : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Why there is no value: one line naming the file and the record.
struct Failure {
    std::string why;
};

// A value or the Failure that says why there is none.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure f) : why_(std::move(f.why)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return why_; }

private:
    std::optional<T> value_;
    std::string why_;
};

// A check or an action with nothing to return: done, or why not.
template <>
class Result<void> {
public:
    Result() = default;
    Result(Failure f) : why_(std::move(f.why)), failed_(true) {}

    explicit operator bool() const { return !failed_; }
    const std::string& error() const { return why_; }

private:
    std::string why_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace common
