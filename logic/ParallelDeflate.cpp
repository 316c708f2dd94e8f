#include "logic/ParallelDeflate.h"

#include <libdeflate.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"
#include "logic/DeflateJoin.h"

namespace zz {
namespace {

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const noexcept { libdeflate_free_compressor(c); }
};
using unique_compressor = std::unique_ptr<libdeflate_compressor, CompressorDeleter>;

// One block on its way: read and compressed by a worker, then written by the caller's thread.
struct Slot {
    enum class State { Free, Busy, Done } state = State::Free;
    std::uint64_t index = 0;
    std::vector<std::uint8_t> in, out;
};

void ReadAt(HANDLE source, std::uint64_t offset, std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        if (!ReadFile(source, data, static_cast<DWORD>(size), &got, &at) && GetLastError() != ERROR_HANDLE_EOF)
            ThrowLastError(L"Cannot read the file to pack: ", GetLastError());
        if (got == 0) throw Error(L"The file to pack ended before its size");
        offset += got;
        data += got;
        size -= got;
    }
}

}  // namespace

ParallelDeflate::ParallelDeflate(unsigned threads, std::size_t blockSize)
    : threads_(threads ? threads : std::max(1u, std::thread::hardware_concurrency())), blockSize_(blockSize) {}

ParallelDeflate::Result ParallelDeflate::Run(HANDLE source, std::uint64_t size, const Sink& sink) {
    const std::uint64_t blocks = std::max<std::uint64_t>(1, (size + blockSize_ - 1) / blockSize_);
    const unsigned threads = static_cast<unsigned>(std::min<std::uint64_t>(threads_, blocks));
    // Two slots per thread let every worker go on with the next block while the caller writes the previous one.
    std::vector<Slot> slots(std::min<std::uint64_t>(2 * threads, blocks));

    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t nextRead = 0;
    bool stop = false;
    std::exception_ptr failure;

    auto work = [&] {
        try {
            unique_compressor compressor(libdeflate_alloc_compressor(kLevel));
            if (!compressor) throw std::bad_alloc();
            for (;;) {
                Slot* slot = nullptr;
                std::uint64_t index;
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] {
                        if (stop || nextRead == blocks) return true;
                        for (auto& s : slots)
                            if (s.state == Slot::State::Free) return true;
                        return false;
                    });
                    if (stop || nextRead == blocks) return;
                    slot = &*std::find_if(slots.begin(), slots.end(),
                                          [](const Slot& s) { return s.state == Slot::State::Free; });
                    index = nextRead++;
                    slot->state = Slot::State::Busy;
                    slot->index = index;
                }
                const std::uint64_t offset = index * blockSize_;
                const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, size - offset));
                slot->in.resize(length);
                ReadAt(source, offset, slot->in.data(), length);
                const std::size_t bound = libdeflate_deflate_compress_bound(compressor.get(), length);
                slot->out.reserve(bound + 8);  // room for the join's few bytes without moving the data
                slot->out.resize(bound);
                const std::size_t written =
                    libdeflate_deflate_compress(compressor.get(), slot->in.data(), length, slot->out.data(), bound);
                if (written == 0) throw Error(L"Deflate found no room for a block");
                slot->out.resize(written);
                if (index + 1 < blocks) DeflateJoin::MakeContinuable(slot->out);
                {
                    std::lock_guard lock(mutex);
                    slot->state = Slot::State::Done;
                }
                changed.notify_all();
            }
        } catch (...) {
            {
                std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                stop = true;
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> workers;
    auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (auto& t : workers) t.join();
        workers.clear();
    };

    Result result;
    try {
        for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
        for (std::uint64_t index = 0; index < blocks; ++index) {
            Slot* slot = nullptr;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] {
                    if (failure) return true;
                    for (auto& s : slots)
                        if (s.state == Slot::State::Done && s.index == index) return (slot = &s), true;
                    return false;
                });
                if (failure) break;
            }
            result.crc32 = libdeflate_crc32(result.crc32, slot->in.data(), slot->in.size());
            result.size += slot->in.size();
            result.compressedSize += slot->out.size();
            sink(slot->out.data(), slot->out.size());
            {
                std::lock_guard lock(mutex);
                slot->state = Slot::State::Free;
            }
            changed.notify_all();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();

    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const Error&) {
            throw;
        } catch (const std::bad_alloc&) {
            throw Error(L"Not enough memory to pack the file");
        } catch (const std::exception& e) {
            throw Error(L"Packing failed: " + FromUtf8(e.what()));
        }
    }
    return result;
}

}  // namespace zz
