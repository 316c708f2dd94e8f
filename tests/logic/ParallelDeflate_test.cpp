#include "logic/ParallelDeflate.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/Error.h"
#include "common/Handle.h"
#include "tests/support/TestSupport.h"

namespace zz {
namespace {

std::string Inflate(const std::string& stream) {
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    std::string out;
    std::vector<char> buffer(1 << 16);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    int rc;
    do {
        z.next_out = reinterpret_cast<Bytef*>(buffer.data());
        z.avail_out = static_cast<uInt>(buffer.size());
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer.data(), buffer.size() - z.avail_out);
    } while (rc == Z_OK);
    EXPECT_EQ(rc, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u) << "bytes after the stream's end";
    inflateEnd(&z);
    return out;
}

// Stretches that libdeflate writes as stored, fixed-code and dynamic-code blocks, and blocks of literals only.
std::string MixedBytes() {
    std::string data;
    std::uint32_t x = 3;
    auto next = [&] { return x = x * 1664525u + 1013904223u; };
    for (int i = 0; i < 40000; ++i) data.push_back(static_cast<char>(next() >> 24));  // noise
    data.append(50000, '\0');
    for (int i = 0; i < 3000; ++i) data += "1403/02/11;حساب " + std::to_string(next() % 1000) + ";\n";
    data += "abc";
    for (int i = 0; i < 20000; ++i) data.push_back(static_cast<char>('a' + next() % 26));  // literals only
    return data;
}

TEST(ParallelDeflate, JoinedBlocksInflateToTheFile) {
    const std::string data = MixedBytes();
    const struct {
        std::size_t size, block;
        unsigned threads;
    } cases[] = {
        {0, 1000, 2},      {1, 1000, 2},          {200, 1, 3},    // a stream per byte
        {data.size(), 997, 3}, {data.size(), 65536 + 3, 2}, {data.size(), 1 << 20, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes in blocks of " << c.block << ", " << c.threads
                                        << " threads");
        TempDir dir;
        const std::string file = data.substr(0, c.size);
        WriteFileBytes(dir.File(L"f"), file);
        unique_file in(CreateFileW(dir.File(L"f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        std::string stream;
        const auto r = ParallelDeflate(c.threads, c.block)
                           .Run(in.get(), file.size(), [&](const std::uint8_t* p, std::size_t n) {
                               stream.append(reinterpret_cast<const char*>(p), n);
                           });
        EXPECT_EQ(r.size, file.size());
        EXPECT_EQ(r.compressedSize, stream.size());
        EXPECT_EQ(r.crc32, crc32(0, reinterpret_cast<const Bytef*>(file.data()), static_cast<uInt>(file.size())));
        EXPECT_TRUE(Inflate(stream) == file);
    }
}

TEST(ParallelDeflate, AFileShorterThanItsSizeFails) {
    TempDir dir;
    WriteFileBytes(dir.File(L"f"), std::string(5000, 'x'));
    unique_file in(CreateFileW(dir.File(L"f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr));
    EXPECT_THROW(ParallelDeflate(2, 1000).Run(in.get(), 9000, [](const std::uint8_t*, std::size_t) {}), Error);
}

}  // namespace
}  // namespace zz
