#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks and cross-builds the libraries that Debian ships no mingw build of.
# Safe to run again: every step is skipped when its result is already there.
set -euo pipefail

ZZ_CACHE=${ZZ_CACHE:-$HOME/.cache/zarizovu}
DEPS=$ZZ_CACHE/mingw64
here=$(cd "$(dirname "$0")/.." && pwd)
TOOLCHAIN=$here/cmake/mingw-w64-x86_64.cmake

packages=(
  cmake make g++ pkg-config dpkg-dev tcl
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-freefarsi python3 util-linux iproute2
  tdsodbc unixodbc freetds-bin googletest
  zip unzip p7zip-full pigz
)

log() { printf '[setup] %s\n' "$*"; }

# Package tools run with the machine's own environment, never with the workstation's (a caller may have sourced
# env.sh: its ODBC and Wine variables would reach the packages' maintainer scripts, and odbcinst would look for its
# configuration in a workstation that does not exist yet).
machine() {
  local keep=() v
  for v in http_proxy https_proxy ftp_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY; do
    [[ -n ${!v:-} ]] && keep+=("$v=${!v}")
  done
  env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME="${HOME:-/root}" \
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "${keep[@]}" "$@"
}

# Stops setup with apt's or dpkg's own words when a step fails.
apt_step() {
  local out
  out=$(mktemp)
  if ! machine "$@" >"$out" 2>&1; then
    echo "[setup] failed: $*" >&2
    grep -vE '^(Selecting|Preparing|Unpacking|Setting up|Processing triggers|\(Reading database)' "$out" | tail -40 >&2
    rm -f "$out"
    exit 1
  fi
  rm -f "$out"
}

installed() { machine dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# A package left half-configured by an earlier run is finished (or its failure shown) before anything else.
if [[ -n $(machine dpkg --audit 2>/dev/null || true) ]]; then
  log "finishing packages that an earlier run left unconfigured"
  apt_step dpkg --configure -a
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  log "installing ${#missing[@]} Debian packages: ${missing[*]}"
  apt_step apt-get update -qq
  apt_step apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Nothing half-configured, every listed package installed.
problems=$(machine dpkg --audit 2>&1 || true)
not_installed=()
for p in "${packages[@]}"; do
  installed "$p" || not_installed+=("$p")
done
if [[ -n $problems || ${#not_installed[@]} -gt 0 ]]; then
  echo "[setup] packages are not installed properly:${not_installed[*]:+ missing ${not_installed[*]};}${problems:+ dpkg --audit reports: $(echo "$problems" | tr '\n' ' ')}" >&2
  exit 1
fi

mkdir -p "$ZZ_CACHE/src" "$DEPS/include" "$DEPS/lib"

# Source packages come from the same archives the machine installs from: every enabled deb entry, as deb-src,
# in a sources list and lists folder of our own so that the machine's configuration stays untouched.
apt_src() {
  local etc=$ZZ_CACHE/apt
  mkdir -p "$etc/lists/partial" "$etc/parts"
  if [[ ! -s $etc/sources.list && ! -s $etc/parts/src.sources ]]; then
    : >"$etc/parts/src.sources"
    for f in /etc/apt/sources.list.d/*.sources; do
      [[ -f $f ]] || continue
      sed -E 's/^Types:[[:space:]]*deb([[:space:]]|$)/Types: deb-src\1/' "$f" >>"$etc/parts/src.sources"
      printf '\n' >>"$etc/parts/src.sources"
    done
    if [[ -f /etc/apt/sources.list ]]; then
      grep -E '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >"$etc/sources.list" || true
    fi
    touch "$etc/sources.list"
  fi
  local opts=(-o "Dir::Etc::SourceList=$etc/sources.list" -o "Dir::Etc::SourceParts=$etc/parts"
              -o "Dir::State::Lists=$etc/lists" -o "APT::Get::Only-Source=true")
  if [[ ! -f $etc/updated ]]; then
    machine apt-get "${opts[@]}" update -qq || true
    touch "$etc/updated"
  fi
  (cd "$ZZ_CACHE/src" && machine apt-get "${opts[@]}" source -qq "$1" >/dev/null)
}

# The unpacked source of a Debian source package in the cache, fetched on first use; prints its folder. Called in
# a command substitution, where a failure does not end setup by itself: it returns non-zero for the caller.
source_of() {
  ls -d "$ZZ_CACHE"/src/"$1"-*/ >/dev/null 2>&1 || apt_src "$1" >&2 || return 1
  local dir
  dir=$(ls -d "$ZZ_CACHE"/src/"$1"-*/ 2>/dev/null | head -n1)
  [[ -n $dir ]] || { echo "[setup] no source of $1 after fetching it" >&2; return 1; }
  echo "$dir"
}

# A static library built with CMake from Debian's source into the cache: cmake_library <source package> <options...>
cmake_library() {
  local b=$ZZ_CACHE/build/$1 src
  src=$(source_of "$1")
  shift
  rm -rf "$b"
  cmake -S "$src" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$DEPS" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$b" -j2 >"$b.log" 2>&1 || { tail -50 "$b.log"; exit 1; }
  cmake --install "$b" >>"$b.log" 2>&1
}

if [[ ! -f $DEPS/lib/libsqlite3.a ]]; then
  log "building SQLite"
  src=$(source_of sqlite3)
  b=$ZZ_CACHE/build/sqlite3
  rm -rf "$b" && mkdir -p "$b"
  (cd "$b" && "$src/configure" >"$b.log" 2>&1 && make -s sqlite3.c >>"$b.log" 2>&1) || { tail -50 "$b.log"; exit 1; }
  x86_64-w64-mingw32-gcc-posix -O2 -c "$b/sqlite3.c" -o "$b/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_ENABLE_FTS5=0
  x86_64-w64-mingw32-ar rcs "$DEPS/lib/libsqlite3.a" "$b/sqlite3.o"
  cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$DEPS/include/" 2>/dev/null || cp "$b/sqlite3.h" "$DEPS/include/"
fi

if [[ ! -f $DEPS/lib/libzip.a ]]; then
  log "building libzip"
  cmake_library libzip \
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF \
    -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
fi

# libdeflate (Deflate codec of the ZIP packer): static, since a static build is markedly faster than a DLL.
# Its own Makefile knows mingw and names the static library libdeflatestatic.lib.
if [[ ! -f $DEPS/lib/libdeflate.a ]]; then
  log "building libdeflate"
  src=$(source_of libdeflate)
  b=$ZZ_CACHE/build/libdeflate
  rm -rf "$b" && cp -r "$src" "$b"
  make -C "$b" -j2 CC=x86_64-w64-mingw32-gcc-posix AR=x86_64-w64-mingw32-ar libdeflatestatic.lib >"$b.log" 2>&1 \
    || { tail -50 "$b.log"; exit 1; }
  cp "$b/libdeflatestatic.lib" "$DEPS/lib/libdeflate.a"
  cp "$b/libdeflate.h" "$DEPS/include/"
fi

if [[ ! -f $DEPS/lib/libpugixml.a ]]; then
  log "building pugixml"
  cmake_library pugixml -DPUGIXML_BUILD_TESTS=OFF
fi

log "ready: ZZ_DEPS=$DEPS"
