// The error idioms of every program here, one for each job:
//
// - a reader or a check: Result<T> (the value) or Status (nothing to
//   return), or the Failure that says why in one line naming the file and
//   the record (recordWhere). A result that is partly good keeps what it
//   read next to the line that says where it stopped (BandsFile::stopped).
// - walking the records of a file: the sticky RecordReader (records.h),
//   which keeps the first fault and reads nothing after it; the reader
//   turns its error() into a Failure at the end.
// - a stop of the whole program: throw Stop; runDialogue (dialog.h) or the
//   importers' main prints its line and ends with status 1.
// - bad usage of a command line: throw UsageError (options.h); the line
//   and the usage go to standard error, status 2.
// - end of input at the console: EndOfInput (console.h), thrown by the
//   Console and caught with Stop: " End of input.", status 1.
// - a typed answer the program refuses and asks again: the check given to
//   Console::askReal/askInt returns acceptedUnless(con, why) (dialog.h),
//   `why` being the refusal line ("" accepts it).
// An std::optional says only "absent" (a field that does not read, a file
// that cannot be opened); the caller that knows the file and the record
// words the failure.
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
