// The error idioms of every program here, one for each job:
//
// - a reader or a check: Result<T> (the value) or Status (nothing to
//   return), or the Failure that says why in one line naming the file and
//   the record (recordWhere). A result that is partly good keeps what it
//   read next to the line that says where it stopped (BandsFile::stopped).
// - walking the records of a file: the sticky RecordReader (records.h),
//   which keeps the first fault and reads nothing after it; the reader
//   turns its error() into a Failure at the end.
//   A step that only passes a failure up is chained instead of checked by
//   hand: r.and_then(next) (next returns a Result), r.transform(f) (f
//   returns the new value), r.or_else(g) (g turns the line into a
//   Result), r.value_or(fallback), as C++23's std::expected offers them.
// - a failure of a program without a dialogue (the importers): the Status
//   of its body; runProgram prints its line and ends with status 1.
// - bad usage of a command line: throw UsageError (options.h); the line
//   and the usage go to standard error, status 2.
// - end of input at the console: EndOfInput (console.h), thrown by the
//   Console and caught by runDialogue (dialog.h): " End of input.", status 1.
// - a typed answer the program refuses and asks again: the check given to
//   Console::askReal/askInt returns acceptedUnless(con, why) (dialog.h),
//   `why` being the refusal line ("" accepts it).
// An std::optional says only "absent" (a field that does not read, a file
// that cannot be opened); the caller that knows the file and the record
// words the failure.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace common {

// Why there is no value: one line naming the file and the record.
struct Failure {
    std::string why;
};

template <class T>
class Result;

namespace detail {
// Result<U> for the U a transform returns (Result<void> for nothing).
template <class F, class... A>
using TransformedBy = Result<std::remove_cvref_t<std::invoke_result_t<F, A...>>>;

template <class R, class F, class... A>
R invokedInto(F&& f, A&&... a) {
    if constexpr (std::is_void_v<std::invoke_result_t<F, A...>>) {
        std::invoke(std::forward<F>(f), std::forward<A>(a)...);
        return R();
    } else {
        return R(std::invoke(std::forward<F>(f), std::forward<A>(a)...));
    }
}
}  // namespace detail

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
    Failure failure() const { return Failure{why_}; }

    // f(value), a Result of its own; the failure as it is.
    template <class F>
    auto and_then(F&& f) const& {
        using R = std::remove_cvref_t<std::invoke_result_t<F, const T&>>;
        return value_ ? std::invoke(std::forward<F>(f), *value_) : R(failure());
    }
    template <class F>
    auto and_then(F&& f) && {
        using R = std::remove_cvref_t<std::invoke_result_t<F, T&&>>;
        return value_ ? std::invoke(std::forward<F>(f), std::move(*value_)) : R(failure());
    }
    // The value f makes of the value; the failure as it is.
    template <class F>
    auto transform(F&& f) const& {
        using R = detail::TransformedBy<F, const T&>;
        return value_ ? detail::invokedInto<R>(std::forward<F>(f), *value_) : R(failure());
    }
    template <class F>
    auto transform(F&& f) && {
        using R = detail::TransformedBy<F, T&&>;
        return value_ ? detail::invokedInto<R>(std::forward<F>(f), std::move(*value_)) : R(failure());
    }
    // The value as it is; for a failure, what g makes of its line.
    template <class G>
    Result or_else(G&& g) const& {
        return value_ ? *this : Result(std::invoke(std::forward<G>(g), why_));
    }
    template <class G>
    Result or_else(G&& g) && {
        return value_ ? std::move(*this) : Result(std::invoke(std::forward<G>(g), why_));
    }
    template <class U>
    T value_or(U&& fallback) const& {
        return value_ ? *value_ : static_cast<T>(std::forward<U>(fallback));
    }
    template <class U>
    T value_or(U&& fallback) && {
        return value_ ? std::move(*value_) : static_cast<T>(std::forward<U>(fallback));
    }

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
    Failure failure() const { return Failure{why_}; }

    // f(), a Result of its own, when this is done; the failure as it is.
    template <class F>
    auto and_then(F&& f) const {
        using R = std::remove_cvref_t<std::invoke_result_t<F>>;
        return failed_ ? R(failure()) : std::invoke(std::forward<F>(f));
    }
    // The value f makes when this is done; the failure as it is.
    template <class F>
    auto transform(F&& f) const {
        using R = detail::TransformedBy<F>;
        return failed_ ? R(failure()) : detail::invokedInto<R>(std::forward<F>(f));
    }
    template <class G>
    Result or_else(G&& g) const {
        return failed_ ? Result(std::invoke(std::forward<G>(g), why_)) : *this;
    }

private:
    std::string why_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace common
