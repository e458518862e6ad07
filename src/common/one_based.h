// A table indexed from 1, as the tables of the files and dialogues it holds
// are counted (k point 1 ... nkl, line 1 ... n + 1, term 1 ... 20): the
// index is the int the code counts with, converted in this one place.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <initializer_list>

namespace common {

template <class T, int N>
class OneBased {
public:
    OneBased() = default;
    // Entries 1, 2, ... from the list.
    OneBased(std::initializer_list<T> from1) {
        assert(static_cast<int>(from1.size()) <= N);
        std::copy(from1.begin(), from1.end(), begin());
    }

    // Entry i, 1 ... N (entry 0 exists and is unused).
    T& operator[](int i) {
        assert(i >= 0 && i <= N);
        return a_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && i <= N);
        return a_[static_cast<std::size_t>(i)];
    }
    void fill(const T& v) { a_.fill(v); }
    // Entry 1 and the end of entry N, for the algorithms.
    T* begin() { return a_.data() + 1; }
    T* end() { return a_.data() + N + 1; }
    const T* begin() const { return a_.data() + 1; }
    const T* end() const { return a_.data() + N + 1; }
    bool operator==(const OneBased&) const = default;

private:
    std::array<T, N + 1> a_{};
};

}  // namespace common
