#include "logic/ParallelDeflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "common/Error.h"

namespace zz {

ParallelDeflate::Result ParallelDeflate::Run(HANDLE source, std::uint64_t size, const Sink& sink) {
    constexpr std::size_t kPiece = 1 << 20;
    std::vector<std::uint8_t> in(kPiece), out(kPiece);
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw Error(L"Cannot start Deflate");
    struct End {
        z_stream* z;
        ~End() { deflateEnd(z); }
    } end{&z};

    Result r;
    int flush = Z_NO_FLUSH;
    do {
        if (z.avail_in == 0 && flush == Z_NO_FLUSH) {
            DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(kPiece, size - r.size)), got = 0;
            if (want && !ReadFile(source, in.data(), want, &got, nullptr))
                ThrowLastError(L"Cannot read the file to pack: ", GetLastError());
            if (got != want) throw Error(L"The file to pack ended before its size");
            r.crc32 = libdeflate_crc32(r.crc32, in.data(), got);
            r.size += got;
            z.next_in = in.data();
            z.avail_in = got;
            if (r.size == size) flush = Z_FINISH;
        }
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) throw Error(L"Deflate failed");
        std::size_t n = out.size() - z.avail_out;
        if (n) sink(out.data(), n);
        r.compressedSize += n;
        if (rc == Z_STREAM_END) break;
    } while (true);
    return r;
}

}  // namespace zz
