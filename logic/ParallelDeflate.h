#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace zz {

// Compresses a file into one raw Deflate stream at maximum compression on every core: the file is cut into
// blocks that are compressed independently and joined (DeflateJoin). Memory stays at two blocks in and out per
// thread, whatever the file's size; a block loses only the 32 KiB of history across its start.
class ParallelDeflate {
public:
    using Sink = std::function<void(const std::uint8_t* data, std::size_t size)>;
    struct Result {
        std::uint32_t crc32 = 0;
        std::uint64_t size = 0;            // read from the source
        std::uint64_t compressedSize = 0;  // handed to the sink
    };

    static constexpr std::size_t kBlockSize = std::size_t{4} << 20;
    static constexpr int kLevel = 9;  // libdeflate's 9: tighter than zlib's 9 at a fraction of 10-12's time

    // threads 0: one per processor.
    explicit ParallelDeflate(unsigned threads = 0, std::size_t blockSize = kBlockSize);

    // Reads size bytes from the start of source (positioned reads, so several threads read at once) and hands the
    // stream to sink in order, on the calling thread. Raises zz::Error when the source cannot be read or ends
    // early, and passes on what sink raises; the threads are stopped either way.
    Result Run(HANDLE source, std::uint64_t size, const Sink& sink);

private:
    unsigned threads_;
    std::size_t blockSize_;
};

}  // namespace zz
