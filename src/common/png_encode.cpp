#include "common/png_encode.h"

#include <libdeflate.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace common {

namespace {

constexpr int kLongestMatch = 258;
constexpr std::size_t kWindow = 32768;
// bytes kept after a row, for whole words to be read there
constexpr std::size_t kSpare = 32;
// the deflate stream is passed on in IDAT chunks of about this size
constexpr std::size_t kChunk = 1 << 16;

// A Huffman code as deflate stores it: its bits from the first on, the
// lowest bit of the stream first.
std::uint32_t reversed(std::uint32_t code, int length) {
    std::uint32_t r = 0;
    for (int k = 0; k < length; ++k) r |= ((code >> k) & 1u) << (length - 1 - k);
    return r;
}

// The fixed codes of a block of type 1, ready to be put: for every literal
// and every match length 3..258 (its code and extra bits), the bits and
// their count.
struct FixedCodes {
    std::uint32_t literalBits[256];
    int literalCount[256];
    std::uint32_t lengthBits[kLongestMatch + 1];
    int lengthCount[kLongestMatch + 1];
    std::uint32_t endBits = 0;
    int endCount = 7;

    FixedCodes() {
        for (int v = 0; v < 256; ++v) {
            literalCount[v] = v < 144 ? 8 : 9;
            literalBits[v] = reversed(v < 144 ? 0x30u + v : 0x190u + (v - 144), literalCount[v]);
        }
        static const int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static const int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        for (int code = 0; code < 29; ++code) {
            const int symbol = 257 + code;
            const int bits = symbol < 280 ? 7 : 8;
            const std::uint32_t huffman = reversed(symbol < 280 ? symbol - 256u : 0xC0u + (symbol - 280), bits);
            const int last = code == 28 ? 258 : base[code] + (1 << extra[code]) - 1;
            for (int length = base[code]; length <= last && length <= kLongestMatch; ++length) {
                if (code == 27 && length == 258) break;  // 258 has a code of its own
                lengthBits[length] = huffman | static_cast<std::uint32_t>(length - base[code]) << bits;
                lengthCount[length] = bits + extra[code];
            }
        }
    }
};

const FixedCodes& fixedCodes() {
    static const FixedCodes codes;
    return codes;
}

// A distance's fixed code (five bits) and its extra bits.
void distanceCode(std::size_t distance, std::uint32_t& bits, int& count) {
    static const unsigned base[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                      193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int code = 29;
    while (base[code] > distance) --code;
    const int extra = code < 4 ? 0 : code / 2 - 1;
    bits = reversed(static_cast<std::uint32_t>(code), 5) | static_cast<std::uint32_t>(distance - base[code]) << 5;
    count = 5 + extra;
}

// How many bytes from `a` on equal those from `b` on, up to `most`; both
// may be read 8 bytes past `most` (the rows are kept with that to spare).
inline int matchLength(const unsigned char* a, const unsigned char* b, int most) {
    for (int k = 0;; k += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + k, 8);
        std::memcpy(&y, b + k, 8);
        if (const std::uint64_t d = x ^ y) {
            const int same = std::endian::native == std::endian::little ? std::countr_zero(d) : std::countl_zero(d);
            return std::min(most, k + same / 8);
        }
        if (k + 8 >= most) return most;
    }
}

void putBigEndian(std::string& out, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    out.append(b, 4);
}

// A chunk: its length, its type and data, and the CRC of both.
void putChunk(std::string& file, const char* type, const char* data, std::size_t size) {
    putBigEndian(file, static_cast<std::uint32_t>(size));
    const std::size_t at = file.size();
    file.append(type, 4);
    file.append(data, size);
    putBigEndian(file, libdeflate_crc32(0, file.data() + at, size + 4));
}

}  // namespace

PngEncoder::PngEncoder(int width, int height, bool grey, double dotsPerInch, Sink sink)
    : sink_(std::move(sink)), channels_(grey ? 1 : 3) {
    stride_ = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels_) + 1;
    aboveInReach_ = stride_ <= kWindow;
    for (auto& r : rows_) r.assign(kRowFront + stride_ + kSpare, 0);
    starts_.assign(stride_ / 64 + 1, 0);
    std::string file = "\x89PNG\r\n\x1a\n";
    std::string head;
    putBigEndian(head, static_cast<std::uint32_t>(width));
    putBigEndian(head, static_cast<std::uint32_t>(height));
    head += {8, static_cast<char>(grey ? 0 : 2), 0, 0, 0};  // depth, colour, deflate, no filter, no interlace
    putChunk(file, "IHDR", head.data(), head.size());
    std::string phys;
    const auto perMetre = static_cast<std::uint32_t>(std::lround(dotsPerInch / 0.0254));
    putBigEndian(phys, perMetre);
    putBigEndian(phys, perMetre);
    phys += '\1';  // the unit is the metre
    putChunk(file, "pHYs", phys.data(), phys.size());
    sink_(file);

    stream_.reserve(kChunk + 8);
    stream_ += "\x78\x01";  // deflate, a window of 32 KiB; no dictionary
    putBits(3, 3);          // the last block, of the fixed codes
    adler_ = 1;
    const std::size_t distances[3] = {1, 3, stride_};
    for (int k = 0; k < 3; ++k) distanceCode(std::min(distances[k], kWindow), distanceBits_[k], distanceCount_[k]);
}

void PngEncoder::putBits(std::uint64_t bits, int count) {
    bits_ |= bits << bitCount_;
    bitCount_ += count;
    if (bitCount_ >= 32) {
        const char b[4] = {static_cast<char>(bits_), static_cast<char>(bits_ >> 8), static_cast<char>(bits_ >> 16),
                           static_cast<char>(bits_ >> 24)};
        stream_.append(b, 4);
        bits_ >>= 32;
        bitCount_ -= 32;
    }
}

void PngEncoder::putMatch(int length, int distance) {
    const FixedCodes& c = fixedCodes();
    putBits(c.lengthBits[length] | static_cast<std::uint64_t>(distanceBits_[distance]) << c.lengthCount[length],
            c.lengthCount[length] + distanceCount_[distance]);
}

// Marks in starts_ where a copy of three bytes or more can begin: bit k
// of the row p is set where p[k...k+2] repeats the bytes one back, three
// back (RGB) or a row back; sixteen bytes at a time.
void PngEncoder::findCopies(const unsigned char* p, const unsigned char* above) {
    const int n = static_cast<int>(stride_);
    std::fill(starts_.begin(), starts_.end(), 0);
    for (int k = 0; k < n; k += 16) {
#if defined(__SSE2__)
        auto at = [](const unsigned char* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
        auto same3 = [&](const unsigned char* q) {
            return _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(at(p + k), at(q)), _mm_cmpeq_epi8(at(p + k + 1), at(q + 1))),
                                 _mm_cmpeq_epi8(at(p + k + 2), at(q + 2)));
        };
        __m128i found = same3(p + k - 1);
        if (channels_ == 3) found = _mm_or_si128(found, same3(p + k - 3));
        if (above) found = _mm_or_si128(found, same3(above + k));
        const auto bits = static_cast<std::uint64_t>(_mm_movemask_epi8(found));
#else
        std::uint64_t bits = 0;
        for (int b = 0; b < 16; ++b) {
            auto same3 = [&](const unsigned char* q) {
                return p[k + b] == q[b] && p[k + b + 1] == q[b + 1] && p[k + b + 2] == q[b + 2];
            };
            const bool found = same3(p + k - 1) || (channels_ == 3 && same3(p + k - 3)) || (above && same3(above + k));
            bits |= static_cast<std::uint64_t>(found) << b;
        }
#endif
        starts_[static_cast<size_t>(k / 64)] |= bits << (k % 64);
    }
    // none that reaches back before the row (but to the row above), none
    // with fewer than three bytes left
    for (int k = 0; k < 3; ++k) {
        const bool copy = k + 3 <= n && ((k >= 1 && matchLength(p + k, p + k - 1, 3) == 3) ||
                                         (above && matchLength(p + k, above + k, 3) == 3));
        starts_[0] = (starts_[0] & ~(std::uint64_t{1} << k)) | static_cast<std::uint64_t>(copy) << k;
    }
    for (int k = std::max(3, n - 2); k < static_cast<int>(starts_.size()) * 64; ++k)
        starts_[static_cast<size_t>(k / 64)] &= ~(std::uint64_t{1} << (k % 64));
}

// The first position from i on where a copy may begin, n if none.
int PngEncoder::nextCopy(int i, int n) const {
    size_t w = static_cast<size_t>(i / 64);
    std::uint64_t bits = starts_[w] & (~std::uint64_t{0} << (i % 64));
    while (bits == 0) {
        if (++w >= starts_.size()) return n;
        bits = starts_[w];
    }
    return std::min(n, static_cast<int>(w * 64) + std::countr_zero(bits));
}

// The row from its filter byte on, greedily: where a copy may begin, the
// longest of the copies, the cheapest when they tie; between, the bytes
// themselves.
void PngEncoder::encode(const unsigned char* p, const unsigned char* above) {
    const FixedCodes& c = fixedCodes();
    const int n = static_cast<int>(stride_);
    findCopies(p, above);
    int i = 0;
    while (i < n) {
        for (const int next = nextCopy(i, n); i < next; ++i) putBits(c.literalBits[p[i]], c.literalCount[p[i]]);
        if (i >= n) break;
        const int most = std::min(kLongestMatch, n - i);
        int best = i >= 1 ? matchLength(p + i, p + i - 1, most) : 0, which = 0;
        if (best < most && channels_ == 3 && i >= 3) {
            const int l = matchLength(p + i, p + i - 3, most);
            if (l > best) best = l, which = 1;
        }
        if (best < most && above) {
            const int l = matchLength(p + i, above + i, most);
            if (l > best) best = l, which = 2;
        }
        if (best >= 3) {
            putMatch(best, which);
            i += best;
        } else {
            putBits(c.literalBits[p[i]], c.literalCount[p[i]]);
            ++i;
        }
    }
}

void PngEncoder::putRow() {
    unsigned char* p = rows_[current_].data() + kRowFront;
    p[0] = 0;
    const unsigned char* above = haveAbove_ && aboveInReach_ ? rows_[1 - current_].data() + kRowFront : nullptr;
    encode(p, above);
    adler_ = libdeflate_adler32(adler_, p, stride_);
    nextRow();
}

void PngEncoder::putWhiteRow() {
    const FixedCodes& c = fixedCodes();
    unsigned char* p = rows_[current_].data() + kRowFront;
    std::memset(p + 1, 255, stride_ - 1);
    p[0] = 0;
    putBits(c.literalBits[0], c.literalCount[0]);
    std::size_t left = stride_ - 1;
    if (left < 4) {
        for (; left > 0; --left) putBits(c.literalBits[255], c.literalCount[255]);
    } else {
        putBits(c.literalBits[255], c.literalCount[255]);
        for (--left; left > 0;) {
            // a last piece of one or two bytes is folded into the one before
            std::size_t piece = std::min<std::size_t>(left, kLongestMatch);
            if (left - piece > 0 && left - piece < 3) piece = left - 3;
            putMatch(static_cast<int>(piece), 0);
            left -= piece;
        }
    }
    adler_ = libdeflate_adler32(adler_, p, stride_);
    nextRow();
}

void PngEncoder::nextRow() {
    pass(false);
    haveAbove_ = true;
    current_ = 1 - current_;
}

// The stream so far as IDAT chunks, when it is long enough (or `all`).
void PngEncoder::pass(bool all) {
    if (stream_.size() < kChunk && !all) return;
    std::string chunk;
    putChunk(chunk, "IDAT", stream_.data(), stream_.size());
    sink_(chunk);
    stream_.clear();
}

void PngEncoder::finish() {
    const FixedCodes& c = fixedCodes();
    putBits(c.endBits, c.endCount);
    putBits(0, (32 - bitCount_) % 8);  // to a whole byte
    while (bitCount_ > 0) {
        stream_ += static_cast<char>(bits_);
        bits_ >>= 8;
        bitCount_ -= 8;
    }
    putBigEndian(stream_, static_cast<std::uint32_t>(adler_));
    pass(true);
    std::string end;
    putChunk(end, "IEND", "", 0);
    sink_(end);
}

}  // namespace common
