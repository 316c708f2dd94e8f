// A command-line face of the ZIP operations for the native tests and the benchmark:
//   ZipTool pack SOURCE ARCHIVE ENTRY      prints "size crc32"
//   ZipTool verify ARCHIVE ENTRY SIZE CRC32
//   ZipTool extract ARCHIVE FOLDER         prints the paths written
//   ZipTool pack64 SOURCE ARCHIVE ENTRY    like pack, with Zip64 records however small the file is
// Exit code 0 on success, 1 with the error's message on the standard error otherwise.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <windows.h>

#include "common/Error.h"
#include "common/Handle.h"
#include "common/Text.h"
#include "logic/ParallelDeflate.h"
#include "logic/ZipArchive.h"
#include "logic/ZipRecords.h"

namespace {

// The packer's records with Zip64 forced, so that readers can be shown them without a file of 4 GiB.
void PackZip64(const wchar_t* source, const wchar_t* archive, const wchar_t* entry) {
    zz::unique_file in(CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!in) zz::RaiseLastOSError();
    LARGE_INTEGER size;
    GetFileSizeEx(in.get(), &size);
    FILE* out = _wfopen(archive, L"wb");
    if (!out) throw zz::Error(L"cannot create the archive");
    const zz::ZipRecords records(zz::ToUtf8(entry), static_cast<std::uint64_t>(size.QuadPart), 0, 0x21, true);
    const std::string header = records.LocalHeader();
    std::fwrite(header.data(), 1, header.size(), out);
    const auto r = zz::ParallelDeflate().Run(in.get(), static_cast<std::uint64_t>(size.QuadPart),
                                             [&](const std::uint8_t* d, std::size_t n) { std::fwrite(d, 1, n, out); });
    const std::string tail = records.CentralDirectoryAndEnd(r.crc32, r.compressedSize, header.size() + r.compressedSize);
    std::fwrite(tail.data(), 1, tail.size(), out);
    const std::string patch = records.PatchLocalHeader(r.crc32, r.compressedSize);
    std::fseek(out, static_cast<long>(records.PatchOffset()), SEEK_SET);
    std::fwrite(patch.data(), 1, patch.size(), out);
    if (std::fclose(out) != 0) throw zz::Error(L"cannot write the archive");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const std::wstring command = argc > 1 ? argv[1] : L"";
        if (command == L"pack" && argc == 5) {
            const zz::ZipEntryInfo info = zz::PackFile(argv[2], argv[3], argv[4]);
            std::printf("%llu %lu\n", static_cast<unsigned long long>(info.size), static_cast<unsigned long>(info.crc32));
        } else if (command == L"pack64" && argc == 5) {
            PackZip64(argv[2], argv[3], argv[4]);
        } else if (command == L"verify" && argc == 6) {
            zz::VerifyArchive(argv[2], {argv[3], std::wcstoull(argv[4], nullptr, 10),
                                        static_cast<std::uint32_t>(std::wcstoul(argv[5], nullptr, 10))});
        } else if (command == L"extract" && argc == 4) {
            for (const auto& path : zz::ExtractAll(argv[2], argv[3])) std::printf("%s\n", zz::ToUtf8(path).c_str());
        } else {
            std::fprintf(stderr, "usage: ZipTool pack|pack64|verify|extract ...\n");
            return 2;
        }
        return 0;
    } catch (const zz::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
