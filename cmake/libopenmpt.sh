#!/usr/bin/env bash
# Builds a static libopenmpt from Debian's own source package for a target that Debian ships no
# libopenmpt for: Windows (mingw-w64) or the browser (emscripten). Single-threaded, none of its
# optional codecs. The result is kept in a cache that outlives build trees, one folder per
# version, target, compiler and flags, so that a build on the same machine never compiles it again.
# Usage: cmake/libopenmpt.sh TARGET
#   TARGET: i686-w64-mingw32, x86_64-w64-mingw32 or emscripten
# Prints the install prefix (lib/libopenmpt.a, include/) as its one line on stdout; everything
# else goes to stderr. QUENDRALIS_CACHE overrides the cache folder.
set -euo pipefail
target=${1:?usage: $0 TARGET}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cache=${QUENDRALIS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quendralis}/libopenmpt
. "$source_dir/cmake/setup.sh"
exec 3>&1 1>&2

# The same sources and switches for every target; only the compiler and its flags differ.
options=(--disable-dependency-tracking --enable-static --disable-shared
         --disable-openmpt123 --disable-examples --disable-tests --disable-doxygen-doc
         --without-zlib --without-mpg123 --without-ogg --without-vorbis --without-vorbisfile
         --without-pulseaudio --without-portaudio --without-portaudiocpp --without-sdl2
         --without-sndfile --without-flac)
# No fused multiply-adds, as in every build of the demo.
flags="-O2 -ffp-contract=off"
case $target in
    *-w64-mingw32)
        compiler_package=g++-mingw-w64-${target%%-*}-posix
        ensure_packages make "${compiler_package//_/-}"
        configure=(./configure --host="$target" CC="$target-gcc-posix" CXX="$target-g++-posix")
        make=(make)
        compiler=$target-g++-posix ;;
    emscripten)
        ensure_packages make emscripten nodejs
        # Debian's emcc finds its acorn there under any node; node loads a .wasm from a file path,
        # as configure's test programs do, only without its experimental fetch.
        export NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch
        # libopenmpt reports a module it cannot read by an exception that it catches itself. They
        # are emscripten's JavaScript ones: its Asyncify, which the page needs, cannot unwind
        # WebAssembly's own.
        flags+=" -fexceptions"
        configure=(emconfigure ./configure)
        make=(emmake make)
        compiler=em++ ;;
    *) echo "unknown target: $target" >&2; exit 2 ;;
esac

# The newest source package the machine's apt knows; the download is kept in the cache too.
source_version() { { apt-cache showsrc --only-source libopenmpt 2>/dev/null || true; } | sed -n "s/^Version: //p" | sort -V | tail -n 1; }
version=$(source_version)
[ -n "$version" ] || { ensure_debian_sources; version=$(source_version); }
[ -n "$version" ] || { echo "apt knows no libopenmpt source package" >&2; exit 1; }
upstream=${version#*:}
upstream=${upstream%-*}
key_text="$target ${options[*]} $flags $("$compiler" --version | sed -n 1p)"
key=$upstream-$target-$(printf '%s' "$key_text" | sha256sum | cut -c1-12)
prefix=$cache/$key
if [ -f "$prefix/lib/libopenmpt.a" ]; then
    echo "$prefix" >&3
    exit 0
fi

mkdir -p "$cache/download"
# One build of a key at a time; whoever waited finds it done.
exec 4>"$cache/$key.lock"
flock 4
if [ -f "$prefix/lib/libopenmpt.a" ]; then
    echo "$prefix" >&3
    exit 0
fi
tarball=$cache/download/libopenmpt_$upstream.orig.tar.gz
if [ ! -f "$tarball" ]; then
    echo "Fetching Debian's libopenmpt source package $version"
    (cd "$cache/download" && apt-get source --download-only -qq "libopenmpt=$version")
fi

work=$(mktemp -d "$cache/$key.build.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
tar -xzf "$tarball" -C "$work/src" --strip-components=1
cd "$work/src"
echo "Building libopenmpt $upstream for $target (static) into $prefix"
# PKG_CONFIG_LIBDIR points nowhere: no library of the build machine may leak into the target's.
# The compiler's chatter goes to a log, shown only when the build fails.
log=$work/build.log
if ! { "${configure[@]}" "${options[@]}" --prefix="$work/prefix" CFLAGS="$flags" CXXFLAGS="$flags" \
           PKG_CONFIG_LIBDIR=/nonexistent &&
       "${make[@]}" -j"${QUENDRALIS_JOBS:-2}" && "${make[@]}" install; } >"$log" 2>&1; then
    tail -n 40 "$log"
    cp "$log" "$cache/$key.failed.log"
    echo "libopenmpt for $target failed to build: see $cache/$key.failed.log" >&2
    exit 1
fi
# The prefix appears whole or not at all. libopenmpt's pkg-config file names the build folder.
rm -rf "$work/prefix/lib/pkgconfig" "$work/prefix/share"
mv "$work/prefix" "$prefix"
echo "$prefix" >&3
