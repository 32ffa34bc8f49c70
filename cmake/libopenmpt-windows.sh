#!/usr/bin/env bash
# Builds a static libopenmpt for Windows from Debian's own source package, with the mingw-w64
# compiler and none of its optional codecs. Runs once: a finished build is kept.
# Usage: cmake/libopenmpt-windows.sh WORK_DIR [HOST]   (installs into WORK_DIR/prefix; HOST is the
# compiler's triplet, i686-w64-mingw32 by default)
set -euo pipefail
work=$(realpath -m "$1")
host=${2:-i686-w64-mingw32}
prefix=$work/prefix
stamp=$prefix/.built
[ -f "$stamp" ] && [ -f "$prefix/lib/libopenmpt.a" ] && exit 0

source_dir=$(cd "$(dirname "$0")/.." && pwd)
. "$source_dir/cmake/setup.sh"
compiler_package=g++-mingw-w64-${host%%-*}-posix
ensure_packages make "${compiler_package//_/-}"
ensure_debian_sources

mkdir -p "$work/download"
cd "$work/download"
if ! compgen -G 'libopenmpt_*.orig.tar.gz' >/dev/null; then
    echo "Fetching Debian's libopenmpt source package"
    apt-get source --download-only -qq libopenmpt
fi
tarball=$(ls libopenmpt_*.orig.tar.gz | sort -V | tail -n 1)

rm -rf "$work/src" "$prefix"
mkdir -p "$work/src"
tar -xzf "$tarball" -C "$work/src" --strip-components=1
cd "$work/src"
echo "Building libopenmpt for Windows ($host, static) from $tarball"
# PKG_CONFIG_LIBDIR points nowhere: no library of the build machine may leak into the Windows one.
./configure -q --disable-dependency-tracking --host="$host" --prefix="$prefix" \
    CC="$host-gcc-posix" CXX="$host-g++-posix" CFLAGS=-O2 CXXFLAGS=-O2 \
    PKG_CONFIG_LIBDIR=/nonexistent \
    --enable-static --disable-shared \
    --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc \
    --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile \
    --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sdl2 \
    --without-sndfile --without-flac
# The compiler's chatter goes to a log, shown only when the build fails.
log=$work/build.log
if ! { make -j2 && make install; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "libopenmpt for Windows failed to build: see $log" >&2
    exit 1
fi
touch "$stamp"
