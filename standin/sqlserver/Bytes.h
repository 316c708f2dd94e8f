#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

using Bytes = std::vector<uint8_t>;

// Input that does not follow the format it claims to; the reader stops at the first such byte.
struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ByteWriter {
public:
    Bytes& bytes() { return out_; }
    size_t size() const { return out_.size(); }

    void u8(uint8_t v) { out_.push_back(v); }
    void le16(uint16_t v) { put(v, 2, false); }
    void le32(uint32_t v) { put(v, 4, false); }
    void le64(uint64_t v) { put(v, 8, false); }
    void be16(uint16_t v) { put(v, 2, true); }
    void be32(uint32_t v) { put(v, 4, true); }
    void raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void utf16(std::u16string_view s) {
        for (char16_t c : s) le16(static_cast<uint16_t>(c));
    }
    void patchLe16(size_t at, uint16_t v) {
        out_[at] = static_cast<uint8_t>(v);
        out_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void patchBe16(size_t at, uint16_t v) {
        out_[at] = static_cast<uint8_t>(v >> 8);
        out_[at + 1] = static_cast<uint8_t>(v);
    }

private:
    void put(uint64_t v, int n, bool bigEndian) {
        for (int i = 0; i < n; ++i) {
            int shift = bigEndian ? (n - 1 - i) * 8 : i * 8;
            out_.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    Bytes out_;
};

class ByteReader {
public:
    ByteReader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    explicit ByteReader(const Bytes& b) : p_(b.data()), n_(b.size()) {}

    size_t pos() const { return pos_; }
    size_t remaining() const { return n_ - pos_; }
    void seek(size_t at) {
        if (at > n_) throw FormatError("offset past the end");
        pos_ = at;
    }
    void skip(size_t n) { need(n), pos_ += n; }

    uint8_t u8() { return static_cast<uint8_t>(get(1, false)); }
    uint16_t le16() { return static_cast<uint16_t>(get(2, false)); }
    uint32_t le32() { return static_cast<uint32_t>(get(4, false)); }
    uint64_t le64() { return get(8, false); }
    uint16_t be16() { return static_cast<uint16_t>(get(2, true)); }
    uint32_t be32() { return static_cast<uint32_t>(get(4, true)); }
    const uint8_t* raw(size_t n) {
        need(n);
        const uint8_t* at = p_ + pos_;
        pos_ += n;
        return at;
    }
    std::u16string utf16(size_t chars) {
        const uint8_t* b = raw(chars * 2);
        std::u16string s(chars, u'\0');
        for (size_t i = 0; i < chars; ++i) s[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
        return s;
    }

private:
    void need(size_t n) const {
        if (n > n_ - pos_) throw FormatError("unexpected end of data");
    }
    uint64_t get(int n, bool bigEndian) {
        const uint8_t* b = raw(static_cast<size_t>(n));
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) {
            int shift = bigEndian ? (n - 1 - i) * 8 : i * 8;
            v |= static_cast<uint64_t>(b[i]) << shift;
        }
        return v;
    }
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
};

}  // namespace standin
