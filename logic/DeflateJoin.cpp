#include "logic/DeflateJoin.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace zz {
namespace {

[[noreturn]] void Malformed(const char* what) {
    throw std::runtime_error(std::string("malformed Deflate stream: ") + what);
}

class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next count bits (count <= 32), first bit lowest; zeros past the end.
    std::uint32_t Peek(unsigned count) const {
        const std::size_t byte = static_cast<std::size_t>(pos_ >> 3);
        std::uint64_t word = 0;
        if (byte + 8 <= size_) {
            std::memcpy(&word, data_ + byte, 8);
        } else {
            for (std::size_t i = 0; byte + i < size_ && i < 8; ++i) word |= std::uint64_t{data_[byte + i]} << (8 * i);
        }
        return static_cast<std::uint32_t>((word >> (pos_ & 7)) & ((std::uint64_t{1} << count) - 1));
    }
    void Skip(unsigned count) {
        pos_ += count;
        if (pos_ > std::uint64_t{size_} * 8) Malformed("ends early");
    }
    std::uint32_t Read(unsigned count) {
        const std::uint32_t v = Peek(count);
        Skip(count);
        return v;
    }
    void AlignToByte() { Skip(static_cast<unsigned>((8 - (pos_ & 7)) & 7)); }
    std::uint64_t Position() const { return pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t pos_ = 0;
};

// A canonical Huffman code as a table indexed by the next maxLength bits of the stream.
class Huffman {
public:
    Huffman() = default;
    Huffman(const std::uint8_t* lengths, unsigned count) { Build(lengths, count); }

    void Build(const std::uint8_t* lengths, unsigned count) {
        std::array<unsigned, 16> perLength{};
        maxLength_ = 0;
        for (unsigned s = 0; s < count; ++s) {
            ++perLength[lengths[s]];
            if (lengths[s] > maxLength_) maxLength_ = lengths[s];
        }
        // No code at all is allowed for distances (a block of literals only); decoding from it fails.
        perLength[0] = 0;
        int left = 1;
        std::array<unsigned, 16> next{};
        unsigned code = 0;
        for (unsigned len = 1; len <= 15; ++len) {
            left = (left << 1) - static_cast<int>(perLength[len]);
            if (left < 0) Malformed("over-subscribed code");
            code = (code + perLength[len - 1]) << 1;
            next[len] = code;
        }
        table_.assign(std::size_t{1} << maxLength_, 0);  // 0: no code there
        for (unsigned s = 0; s < count; ++s) {
            const unsigned len = lengths[s];
            if (!len) continue;
            unsigned c = next[len]++, reversed = 0;
            for (unsigned i = 0; i < len; ++i, c >>= 1) reversed = (reversed << 1) | (c & 1);
            for (std::size_t k = reversed; k < table_.size(); k += std::size_t{1} << len)
                table_[k] = static_cast<std::uint16_t>((s << 4) | len);
        }
    }

    unsigned Decode(BitReader& in) const {
        const std::uint16_t entry = table_[in.Peek(maxLength_)];
        if (!entry) Malformed("unknown code");
        in.Skip(entry & 15);
        return entry >> 4;
    }

private:
    std::vector<std::uint16_t> table_;
    unsigned maxLength_ = 0;
};

constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

void SkipCompressedData(BitReader& in, const Huffman& literals, const Huffman& distances) {
    for (;;) {
        const unsigned symbol = literals.Decode(in);
        if (symbol < 256) continue;
        if (symbol == 256) return;
        if (symbol > 285) Malformed("length symbol");
        in.Skip(kLengthExtra[symbol - 257]);
        const unsigned distance = distances.Decode(in);
        if (distance > 29) Malformed("distance symbol");
        in.Skip(kDistanceExtra[distance]);
    }
}

const Huffman& FixedLiterals() {
    static const Huffman code = [] {
        std::array<std::uint8_t, 288> lengths{};
        for (unsigned s = 0; s < 288; ++s) lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        return Huffman(lengths.data(), 288);
    }();
    return code;
}

const Huffman& FixedDistances() {
    static const Huffman code = [] {
        std::array<std::uint8_t, 30> lengths;
        lengths.fill(5);
        return Huffman(lengths.data(), 30);
    }();
    return code;
}

void SkipDynamicBlock(BitReader& in, Huffman& literals, Huffman& distances) {
    const unsigned literalCount = in.Read(5) + 257, distanceCount = in.Read(5) + 1, lengthCount = in.Read(4) + 4;
    if (literalCount > 286 || distanceCount > 30) Malformed("code counts");
    std::array<std::uint8_t, 19> codeLengths{};
    for (unsigned i = 0; i < lengthCount; ++i) codeLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(in.Read(3));
    const Huffman lengthCode(codeLengths.data(), 19);

    std::array<std::uint8_t, 286 + 30> lengths{};
    unsigned n = 0;
    while (n < literalCount + distanceCount) {
        const unsigned symbol = lengthCode.Decode(in);
        if (symbol < 16) {
            lengths[n++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        unsigned repeat;
        if (symbol == 16) {
            if (n == 0) Malformed("repeat without a length");
            value = lengths[n - 1];
            repeat = 3 + in.Read(2);
        } else if (symbol == 17) {
            repeat = 3 + in.Read(3);
        } else {
            repeat = 11 + in.Read(7);
        }
        if (n + repeat > literalCount + distanceCount) Malformed("too many lengths");
        while (repeat--) lengths[n++] = value;
    }
    if (lengths[256] == 0) Malformed("no end-of-block code");
    literals.Build(lengths.data(), literalCount);
    distances.Build(lengths.data() + literalCount, distanceCount);
    SkipCompressedData(in, literals, distances);
}

}  // namespace

void DeflateJoin::MakeContinuable(std::vector<std::uint8_t>& stream) {
    BitReader in(stream.data(), stream.size());
    Huffman literals, distances;
    std::uint64_t finalHeader;
    for (;;) {
        const std::uint64_t header = in.Position();
        const bool final = in.Read(1) != 0;
        const unsigned type = in.Read(2);
        if (type == 0) {
            in.AlignToByte();
            const std::uint32_t length = in.Read(16), check = in.Read(16);
            if ((length ^ check) != 0xFFFF) Malformed("stored length");
            in.Skip(length * 8);
        } else if (type == 1) {
            SkipCompressedData(in, FixedLiterals(), FixedDistances());
        } else if (type == 2) {
            SkipDynamicBlock(in, literals, distances);
        } else {
            Malformed("block type");
        }
        if (final) {
            finalHeader = header;
            break;
        }
    }

    const std::uint64_t end = in.Position();
    if ((end + 7) / 8 != stream.size()) Malformed("data after the final block");
    stream[finalHeader >> 3] &= static_cast<std::uint8_t>(~(1u << (finalHeader & 7)));
    // An empty stored block: three header bits 000 at end, zeros to the byte boundary, LEN 0 and NLEN 0xFFFF.
    const std::uint64_t aligned = (end + 3 + 7) / 8;
    stream.resize(static_cast<std::size_t>(aligned), 0);
    if (end & 7) stream[end >> 3] &= static_cast<std::uint8_t>((1u << (end & 7)) - 1);
    for (std::uint8_t b : {0x00, 0x00, 0xFF, 0xFF}) stream.push_back(b);
}

}  // namespace zz
