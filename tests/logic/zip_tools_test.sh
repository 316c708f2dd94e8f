#!/usr/bin/env bash
# The archives of the packer against the machine's own ZIP tools, and packing/extraction onto a full or read-only
# disk. Usage: zip_tools_test.sh ZipTool.exe
set -euo pipefail
tool=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
zt() { wine "$tool" "$@" </dev/null; }

# Ledger-like rows with stretches of noise: several of the packer's blocks.
python3 - "$tmp" <<'PY'
import os, random, sys
r = random.Random(7)
rows = []
size = 0
while size < 9 * 2**20 + 4321:
    if r.random() < 0.02:
        row = r.randbytes(3000)
    else:
        row = ("1403/%02d/%02d;%d;%d;فاکتور فروش کالا %d;\n" % (r.randint(1, 12), r.randint(1, 30), r.randint(1, 10**5),
               r.randint(1, 10**9), r.randint(1, 500))).encode()
    rows.append(row)
    size += len(row)
open(os.path.join(sys.argv[1], "ledger.bak"), "wb").write(b"".join(rows))
open(os.path.join(sys.argv[1], "small.bak"), "wb").write(b"one small file\n")
open(os.path.join(sys.argv[1], "empty.bak"), "wb").write(b"")
open(os.path.join(sys.argv[1], "noise.bak"), "wb").write(r.randbytes(6 * 2**20))
PY

# 1. Every reader accepts what the packer writes, and the archive is no larger than zip -9's.
for f in empty small ledger noise; do
  zt pack "Z:$tmp/$f.bak" "Z:$tmp/$f.zip" "$f.bak" >"$tmp/$f.info" || fail "pack $f"
  unzip -tq "$tmp/$f.zip" >/dev/null || fail "unzip -t $f"
  7z t "$tmp/$f.zip" >/dev/null || fail "7z t $f"
  python3 - "$tmp/$f.zip" "$tmp/$f.bak" "$f.bak" <<'PY' || fail "python zipfile $f"
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
assert z.namelist() == [sys.argv[3]], z.namelist()
assert z.read(sys.argv[3]) == open(sys.argv[2], "rb").read()
assert z.infolist()[0].compress_type == zipfile.ZIP_DEFLATED and z.infolist()[0].flag_bits & 6 == 2
PY
done
# Zip64 records (forced on a small file: the benchmark packs one above 4 GiB).
zt pack64 "Z:$tmp/ledger.bak" "Z:$tmp/ledger64.zip" "ledger.bak" || fail "pack64"
unzip -tq "$tmp/ledger64.zip" >/dev/null || fail "unzip -t zip64"
7z t "$tmp/ledger64.zip" >/dev/null || fail "7z t zip64"
python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None' "$tmp/ledger64.zip" \
  || fail "python zipfile zip64"
mkdir "$tmp/x64" && zt extract "Z:$tmp/ledger64.zip" "Z:$tmp/x64" >/dev/null && cmp -s "$tmp/ledger.bak" "$tmp/x64/ledger.bak" \
  || fail "extract zip64"

# zip -9 stores what does not compress (the packer always deflates, a few bytes per 64 KiB more): noise gets slack.
for f in ledger noise; do
  (cd "$tmp" && rm -f "ref-$f.zip" && zip -q -9 "ref-$f.zip" "$f.bak")
  ours=$(stat -c %s "$tmp/$f.zip"); theirs=$(stat -c %s "$tmp/ref-$f.zip")
  if [[ $f == noise ]]; then limit=$((theirs + theirs / 8000 + 64)); else limit=$theirs; fi
  ((ours <= limit)) || fail "$f.zip is $ours bytes, zip -9 made $theirs"
  echo "$f: $ours bytes, zip -9 $theirs"
done

# 2. A full disk and a read-only folder. The mounts live in a mount namespace of this test alone; a wineserver
#    started inside it (the shared one's socket folder hidden by a tmpfs) opens the files, so it sees them.
mkdir -p "$tmp/full" "$tmp/ro" "$tmp/out"
sum=$(sha256sum <"$tmp/noise.bak")
cp "$tmp/noise.zip" "$tmp/ledger.zip" "$tmp/out/"
export tool tmp sum
unshare --mount --propagation private bash -euo pipefail -c '
  fail() { echo "FAIL: $*" >&2; exit 1; }
  zt() { wine "$tool" "$@" </dev/null; }
  # Debian'"'"'s Wine names its socket folder in the prefix; elsewhere it is /tmp/.wine-UID.
  sockets=/tmp/.wine-$(id -u)
  [[ -n ${WINEPREFIX:-} && -f $WINEPREFIX/wineserver ]] && sockets=/tmp/$(cat "$WINEPREFIX/wineserver")
  mkdir -p "$sockets"
  mount -t tmpfs -o size=1m,mode=0700 tmpfs "$sockets"
  mount -t tmpfs -o size=2m tmpfs "$tmp/full"
  mount -t tmpfs -o size=1m tmpfs "$tmp/ro"
  printf old >"$tmp/ro/noise.bak"
  mount -o remount,ro "$tmp/ro"
  printf old >"$tmp/full/noise.bak"
  trap "wineserver -k 2>/dev/null || true" EXIT

  zt pack "Z:$tmp/noise.bak" "Z:$tmp/full/noise.zip" noise.bak && { ls -la "$tmp/full"; df "$tmp/full"; fail "pack onto a full disk succeeded"; }
  [[ $(ls "$tmp/full") == noise.bak ]] || fail "pack left $(ls "$tmp/full") on the full disk"
  zt pack "Z:$tmp/noise.bak" "Z:$tmp/ro/noise.zip" noise.bak 2>/dev/null && fail "pack into a read-only folder succeeded"
  [[ $(ls "$tmp/ro") == noise.bak ]] || fail "pack left $(ls "$tmp/ro") in the read-only folder"
  [[ $(sha256sum <"$tmp/noise.bak") == "$sum" ]] || fail "the source changed"

  for dir in full ro; do
    zt extract "Z:$tmp/out/noise.zip" "Z:$tmp/$dir" 2>/dev/null && fail "extract into $dir succeeded"
    [[ $(ls "$tmp/$dir") == noise.bak && $(cat "$tmp/$dir/noise.bak") == old ]] \
      || fail "extract into $dir left $(ls "$tmp/$dir") / $(head -c 20 "$tmp/$dir/noise.bak")"
  done
  echo "full disk and read-only folder: ok"
'

# 3. Extraction of the packer's archives by the toolbox itself, checked against the source.
zt extract "Z:$tmp/out/ledger.zip" "Z:$tmp/out" >/dev/null || fail "extract ledger"
cmp "$tmp/ledger.bak" "$tmp/out/ledger.bak" || fail "extracted ledger differs"
echo ok
