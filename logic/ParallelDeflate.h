#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace zz {

// Compresses a file into one raw Deflate stream at maximum compression.
class ParallelDeflate {
public:
    using Sink = std::function<void(const std::uint8_t* data, std::size_t size)>;
    struct Result {
        std::uint32_t crc32 = 0;
        std::uint64_t size = 0;            // read from the source
        std::uint64_t compressedSize = 0;  // handed to the sink
    };

    // Reads exactly size bytes from source (from its current position) and hands the stream to sink in order.
    // Raises zz::Error when the source cannot be read or ends early.
    Result Run(HANDLE source, std::uint64_t size, const Sink& sink);
};

}  // namespace zz
