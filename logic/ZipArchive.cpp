#include "logic/ZipArchive.h"

#include <windows.h>

#include <algorithm>

#include "common/Error.h"
#include "common/Handle.h"
#include "common/Text.h"
#include "logic/ParallelDeflate.h"
#include "logic/ZipEntryPath.h"
#include "logic/ZipReader.h"
#include "logic/ZipRecords.h"

namespace zz {
namespace {

// A file this operation created: removed again unless Keep() is called.
class CreatedFile {
public:
    CreatedFile(std::wstring path, unique_file handle) : path_(std::move(path)), handle_(std::move(handle)) {}
    CreatedFile(const CreatedFile&) = delete;
    CreatedFile& operator=(const CreatedFile&) = delete;
    ~CreatedFile() {
        if (keep_) return;
        handle_.reset();
        DeleteFileW(path_.c_str());
    }
    HANDLE Get() const { return handle_.get(); }
    const std::wstring& Path() const { return path_; }
    // Closes the file, flushed to the disk first when asked; raises zz::Error when the system cannot.
    void Close(const std::wstring& what, bool flush) {
        if (flush && !FlushFileBuffers(handle_.get())) ThrowLastError(what, GetLastError());
        if (!CloseHandle(handle_.release())) ThrowLastError(what, GetLastError());
    }
    void Keep() { keep_ = true; }

private:
    std::wstring path_;
    unique_file handle_;
    bool keep_ = false;
};

void WriteAll(HANDLE file, const void* data, std::size_t size, const std::wstring& what) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), written = 0;
        if (!WriteFile(file, p, piece, &written, nullptr)) ThrowLastError(what, GetLastError());
        if (written == 0) throw Error(what + L"nothing was written");
        p += written;
        size -= written;
    }
}

void Seek(HANDLE file, std::uint64_t offset, DWORD method, const std::wstring& what) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, to, nullptr, method)) ThrowLastError(what, GetLastError());
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// Creates folder and the folders above it that are missing.
void CreateFolders(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) throw Error(L"A file stands where a folder goes: " + folder);
        return;
    }
    const std::size_t slash = folder.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0) CreateFolders(folder.substr(0, slash));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        ThrowLastError(L"Cannot create the folder " + folder + L": ", GetLastError());
}

void ToDosTime(const FILETIME& written, std::uint16_t& time, std::uint16_t& date) {
    FILETIME local;
    WORD t = 0, d = 0;
    if (FileTimeToLocalFileTime(&written, &local) && FileTimeToDosDateTime(&local, &d, &t)) {
        time = t;
        date = d;
    } else {
        time = 0;
        date = (1 << 5) | 1;  // 1980-01-01, the earliest the format holds
    }
}

// Writes one entry's data to a temporary file beside target and renames it over target once it is complete and
// checked, so that a failure leaves neither a cut-off file nor a lost one of the same name.
void ExtractEntry(const ZipReader& reader, std::uint64_t index, const std::wstring& target) {
    const std::wstring folder = FolderOf(target);
    wchar_t temp[MAX_PATH + 1];
    if (!GetTempFileNameW(folder.c_str(), L"zz~", 0, temp))
        ThrowLastError(L"Cannot create a file in " + folder + L": ", GetLastError());
    unique_file handle(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD code = GetLastError();
        DeleteFileW(temp);
        ThrowLastError(L"Cannot create a file in " + folder + L": ", code);
    }
    CreatedFile file(temp, std::move(handle));
    const std::wstring what = L"Cannot write " + target + L": ";
    reader.Read(index, [&](const std::uint8_t* data, std::size_t size) { WriteAll(file.Get(), data, size, what); });
    file.Close(what, false);
    if (!MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING))
        ThrowLastError(L"Cannot replace " + target + L": ", GetLastError());
    file.Keep();
}

}  // namespace

ZipEntryInfo PackFile(const std::wstring& source, const std::wstring& archive, const std::wstring& entryName) {
    unique_file in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) ThrowLastError(L"Cannot open " + source + L": ", GetLastError());
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(in.get(), &size) || !GetFileTime(in.get(), nullptr, nullptr, &written))
        ThrowLastError(L"Cannot read " + source + L": ", GetLastError());
    std::uint16_t dosTime, dosDate;
    ToDosTime(written, dosTime, dosDate);
    const std::uint64_t bytes = static_cast<std::uint64_t>(size.QuadPart);
    const ZipRecords records(ToUtf8(entryName), bytes, dosTime, dosDate, ZipRecords::NeedsZip64(bytes));

    // CREATE_NEW: an existing file of that name is never overwritten, and never removed by the cleanup.
    unique_file out(CreateFileW(archive.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) ThrowLastError(L"Cannot create the archive " + archive + L": ", GetLastError());
    CreatedFile file(archive, std::move(out));
    const std::wstring what = L"Cannot write the archive " + archive + L": ";

    const std::string header = records.LocalHeader();
    WriteAll(file.Get(), header.data(), header.size(), what);
    ParallelDeflate deflater;
    const ParallelDeflate::Result r =
        deflater.Run(in.get(), bytes, [&](const std::uint8_t* data, std::size_t n) { WriteAll(file.Get(), data, n, what); });
    const std::uint64_t dataEnd = header.size() + r.compressedSize;
    const std::string tail = records.CentralDirectoryAndEnd(r.crc32, r.compressedSize, dataEnd);
    WriteAll(file.Get(), tail.data(), tail.size(), what);
    const std::string patch = records.PatchLocalHeader(r.crc32, r.compressedSize);
    Seek(file.Get(), records.PatchOffset(), FILE_BEGIN, what);
    WriteAll(file.Get(), patch.data(), patch.size(), what);
    // The archive is what remains once the caller deletes its source: on the disk before it is reported done.
    file.Close(what, true);
    file.Keep();
    return ZipEntryInfo{entryName, r.size, r.crc32};
}

void VerifyArchive(const std::wstring& archive, const ZipEntryInfo& expected) {
    const ZipReader reader(archive);
    const std::uint64_t index = reader.Find(expected.name);
    const ZipReader::Entry entry = reader.At(index);
    if (entry.size != expected.size || entry.crc32 != expected.crc32)
        throw Error(L"The entry \"" + expected.name + L"\" in " + archive + L" is not the file that was packed");
    // Read checks that the data inflates to the directory's size and CRC, which are the expected ones.
    reader.Read(index, [](const std::uint8_t*, std::size_t) {});
}

std::vector<std::wstring> ExtractAll(const std::wstring& archive, const std::wstring& folder) {
    const ZipReader reader(archive);
    const std::uint64_t count = reader.Count();
    std::vector<ZipReader::Entry> entries;
    std::vector<std::wstring> targets;
    // Every entry is checked before anything is written.
    for (std::uint64_t i = 0; i < count; ++i) {
        ZipReader::Entry e = reader.At(i);
        targets.push_back(ZipEntryPath(folder, e.name));
        if (!e.folder && e.encrypted)
            throw Error(L"The entry \"" + e.name + L"\" in " + archive + L" is encrypted; it cannot be extracted");
        if (!e.folder && !e.supportedMethod)
            throw Error(L"The entry \"" + e.name + L"\" in " + archive + L" uses an unsupported compression method");
        entries.push_back(std::move(e));
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        if (entries[i].folder) {
            CreateFolders(targets[i]);
        } else {
            CreateFolders(FolderOf(targets[i]));
            ExtractEntry(reader, i, targets[i]);
        }
    }
    return targets;
}

}  // namespace zz
