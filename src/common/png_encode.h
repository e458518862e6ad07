// A PNG encoder for pictures that are mostly white with thin lines: rows
// given one by one, top first, 8-bit grey or 24-bit RGB, no filter, the
// deflate stream in one block of the fixed codes. A row is written as
// literals and as copies of what it repeats: a run of one byte (distance 1),
// in RGB of one pixel (distance 3), and the row above, where deflate's
// window reaches it. Fast rather than small: a plot of a few lines comes
// out a quarter larger than zlib's quickest level makes it, a dense one of
// hundreds of curves twice as large.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class PngEncoder {
public:
    // The file is passed on to the sink piece by piece, in order.
    using Sink = std::function<void(std::string_view bytes)>;

    // The head of a width x height picture (both at least 1), grey or RGB,
    // its resolution `dotsPerInch` written down for viewers and printers.
    PngEncoder(int width, int height, bool grey, double dotsPerInch, Sink sink);

    // The bytes of the next row to fill in: width of them in grey, three a
    // pixel (red, green, blue) in RGB; putRow encodes them.
    unsigned char* row() { return rows_[current_].data() + kRowFront + 1; }
    void putRow();
    // A row that is white throughout, without filling it in.
    void putWhiteRow();

    // The end of the file, once every row is put.
    void finish();

private:
    void putBits(std::uint64_t bits, int count);
    void putMatch(int length, int distanceCode);
    void findCopies(const unsigned char* p, const unsigned char* above);
    int nextCopy(int i, int n) const;
    void encode(const unsigned char* p, const unsigned char* above);
    void nextRow();
    void pass(bool all);

    Sink sink_;
    std::size_t stride_;  // a row's bytes, its filter byte first
    int channels_;
    bool aboveInReach_;
    bool haveAbove_ = false;
    // this row and the one above, each with room to spare before and after
    static constexpr std::size_t kRowFront = 16;
    std::vector<unsigned char> rows_[2];
    std::vector<std::uint64_t> starts_;  // where a copy may begin in the row
    int current_ = 0;
    std::string stream_;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
    std::uint32_t adler_;  // of the rows so far
    // the fixed codes of the distances used: 1, 3, a row
    std::uint32_t distanceBits_[3];
    int distanceCount_[3];
};

}  // namespace common
