#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "common/Handle.h"

struct zip;

namespace zz {

namespace detail {
void DiscardZip(struct zip* archive) noexcept;
}
using unique_zip = UniqueHandle<NullTraits<struct zip*, detail::DiscardZip>>;

// Reads a standard ZIP archive (stored or deflated entries, folders, data descriptors, Zip64) through its central
// directory. Every failure is a zz::Error naming the archive.
class ZipReader {
public:
    struct Entry {
        std::wstring name;  // as stored, "/" separated
        bool folder = false;
        std::uint64_t size = 0;
        std::uint32_t crc32 = 0;
        bool encrypted = false;
        bool supportedMethod = true;
    };

    explicit ZipReader(const std::wstring& archive);

    std::uint64_t Count() const;
    Entry At(std::uint64_t index) const;
    // Index of the entry named exactly name; raises zz::Error when there is none.
    std::uint64_t Find(const std::wstring& name) const;
    // Inflates the entry and hands its data to sink piece by piece; raises zz::Error unless the data is complete
    // and its size and CRC are the ones the directory gives. Refuses encrypted entries and unknown methods.
    void Read(std::uint64_t index, const std::function<void(const std::uint8_t*, std::size_t)>& sink) const;

private:
    [[noreturn]] void Fail(const std::wstring& what, const std::string& detail) const;

    std::wstring path_;
    unique_zip zip_;
};

}  // namespace zz
