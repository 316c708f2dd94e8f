#include "logic/ZipReader.h"

#define ZIP_STATIC
#include <zip.h>
#include <libdeflate.h>

#include <memory>
#include <vector>

#include "common/Error.h"
#include "common/Text.h"

namespace zz {

namespace detail {
void DiscardZip(zip_t* archive) noexcept {
    zip_discard(archive);
}
}  // namespace detail

namespace {

void CloseZipFile(zip_file_t* file) noexcept {
    zip_fclose(file);
}
using unique_zip_file = UniqueHandle<NullTraits<zip_file_t*, CloseZipFile>>;

constexpr std::size_t kReadPiece = 1 << 20;

}  // namespace

void ZipReader::Fail(const std::wstring& what, const std::string& detail) const {
    throw Error(what + L" \"" + path_ + L"\"" + (detail.empty() ? L"" : L": " + FromUtf8(detail)));
}

ZipReader::ZipReader(const std::wstring& archive) : path_(archive) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_win32w_create(archive.c_str(), 0, -1, &error);
    if (!source) {
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        Fail(L"Cannot open the archive", text);
    }
    zip_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!zip_) {
        zip_source_free(source);
        std::string text = zip_error_strerror(&error);
        zip_error_fini(&error);
        Fail(L"Cannot open the archive", text);
    }
    zip_error_fini(&error);
}

std::uint64_t ZipReader::Count() const {
    zip_int64_t n = zip_get_num_entries(zip_.get(), 0);
    if (n < 0) Fail(L"Cannot read the archive", zip_strerror(zip_.get()));
    return static_cast<std::uint64_t>(n);
}

ZipReader::Entry ZipReader::At(std::uint64_t index) const {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || !st.name)
        Fail(L"Cannot read the directory of the archive", zip_strerror(zip_.get()));
    Entry e;
    e.name = FromUtf8(st.name);
    e.folder = !e.name.empty() && e.name.back() == L'/';
    e.size = st.size;
    e.crc32 = st.crc;
    e.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    e.supportedMethod = zip_compression_method_supported(st.comp_method, 0) != 0;
    return e;
}

std::uint64_t ZipReader::Find(const std::wstring& name) const {
    zip_int64_t index = zip_name_locate(zip_.get(), ToUtf8(name).c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0) Fail(L"The entry \"" + name + L"\" is missing from the archive", {});
    return static_cast<std::uint64_t>(index);
}

void ZipReader::Read(std::uint64_t index, const std::function<void(const std::uint8_t*, std::size_t)>& sink) const {
    const Entry e = At(index);
    if (e.encrypted) Fail(L"The entry \"" + e.name + L"\" is encrypted in the archive", {});
    if (!e.supportedMethod) Fail(L"The entry \"" + e.name + L"\" uses an unsupported compression method in", {});
    unique_zip_file file(zip_fopen_index(zip_.get(), index, 0));
    if (!file) Fail(L"Cannot read the entry \"" + e.name + L"\" of the archive", zip_strerror(zip_.get()));

    std::vector<std::uint8_t> buffer(kReadPiece);
    std::uint64_t total = 0;
    std::uint32_t crc = 0;
    for (;;) {
        zip_int64_t n = zip_fread(file.get(), buffer.data(), buffer.size());
        if (n < 0) Fail(L"The entry \"" + e.name + L"\" is damaged in the archive", zip_file_strerror(file.get()));
        if (n == 0) break;
        total += static_cast<std::uint64_t>(n);
        if (total > e.size) break;
        crc = libdeflate_crc32(crc, buffer.data(), static_cast<std::size_t>(n));
        sink(buffer.data(), static_cast<std::size_t>(n));
    }
    if (total != e.size || crc != e.crc32)
        Fail(L"The entry \"" + e.name + L"\" is damaged (size or CRC mismatch) in the archive", {});
}

}  // namespace zz
