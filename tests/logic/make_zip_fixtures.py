#!/usr/bin/env python3
"""Writes the archives the extraction tests read, as other tools write them: python3 make_zip_fixtures.py DIR."""
import io
import os
import subprocess
import sys
import tempfile
import zipfile

ALPHA = b"alpha\n"
BETA = b"beta " * 2000
PERSIAN_NAME = "گزارش.txt"


class Unseekable(io.RawIOBase):
    """A stream without seek/tell, so that zipfile writes data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


def write(path, entries, compression=zipfile.ZIP_DEFLATED, force_zip64=False, stream=None):
    """entries: (name, bytes or None for a folder)."""
    target = stream if stream is not None else open(path, "wb")
    with zipfile.ZipFile(target, "w", compression=compression) as z:
        for name, data in entries:
            if data is None:
                z.writestr(zipfile.ZipInfo(name), b"")
            else:
                info = zipfile.ZipInfo(name, date_time=(2024, 3, 20, 12, 0, 0))
                info.compress_type = compression
                with z.open(info, "w", force_zip64=force_zip64) as f:
                    f.write(data)
    if stream is not None:
        with open(path, "wb") as f:
            f.write(stream.data)
    else:
        target.close()


def main(out):
    os.makedirs(out, exist_ok=True)
    j = lambda name: os.path.join(out, name)
    tree = [("docs/", None), ("docs/a.txt", ALPHA), ("b.bin", BETA), (PERSIAN_NAME, ALPHA)]
    write(j("stored.zip"), tree, compression=zipfile.ZIP_STORED)
    write(j("deflated.zip"), tree)
    write(j("descriptor.zip"), tree, stream=Unseekable())
    write(j("zip64.zip"), tree, force_zip64=True)
    write(j("empty-folder.zip"), [("only/", None), ("only/inner/", None)])

    # Entries that would land outside the folder; each follows a harmless one that must not be written either.
    for i, evil in enumerate(["../evil.txt", "docs/../../evil.txt", "..\\evil.txt", "docs\\..\\..\\evil.txt",
                              "/abs.txt", "\\abs.txt", "C:/drive.txt", "C:drive.txt", "docs/file.txt:stream", "..",
                              "CON", "docs/nul.txt"]):
        write(j(f"unsafe{i}.zip"), [("good.txt", ALPHA), (evil, BETA)])

    write(j("unsupported.zip"), [("good.txt", ALPHA), ("bz.txt", BETA)], compression=zipfile.ZIP_BZIP2)

    # A stored entry whose CRC (local and central) says something else than its data.
    write(j("badcrc.zip"), [("good.txt", ALPHA)], compression=zipfile.ZIP_STORED)
    data = bytearray(open(j("badcrc.zip"), "rb").read())
    crc = zipfile.crc32(ALPHA).to_bytes(4, "little")
    bad = (zipfile.crc32(ALPHA) ^ 0x5A5A5A5A).to_bytes(4, "little")
    assert data.count(crc) == 2
    open(j("badcrc.zip"), "wb").write(data.replace(crc, bad))

    # Encrypted with the traditional PKWARE method, as `zip -e` writes it (both entries).
    with tempfile.TemporaryDirectory() as tmp:
        open(os.path.join(tmp, "good.txt"), "wb").write(ALPHA)
        open(os.path.join(tmp, "secret.txt"), "wb").write(BETA)
        target = os.path.abspath(j("encrypted.zip"))
        if os.path.exists(target):
            os.remove(target)
        subprocess.run(["zip", "-q", "-e", "-P", "x", target, "good.txt", "secret.txt"], cwd=tmp, check=True)


if __name__ == "__main__":
    main(sys.argv[1])
