# Shared by ./run, ./test and the CI scripts: installs the Debian packages a script names (only those
# missing), then configures and builds one preset. Sourced, not run. Each script passes the lists it
# needs, e.g. `ensure_packages "${run_packages[@]}" "${test_packages[@]}"`.

# Building and playing the demo, and capturing it (video through FFmpeg's libraries, PNG frames).
run_packages=(g++ cmake ninja-build pkg-config libsdl2-dev libopenmpt-dev libpng-dev
              libavformat-dev libavcodec-dev libavutil-dev libswscale-dev)
# The test suite and the benchmarks, on top of run_packages (ffmpeg's programs check the videos).
test_packages=(clang clang-format libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool imagemagick ffmpeg
               g++-mingw-w64-i686-posix)

ensure_packages() {
    local missing=()
    for p in "$@"; do
        # No pipe into grep -q: under pipefail its early exit can fail the pipe through SIGPIPE. A
        # package installed for several architectures has a line for each.
        grep -qx 'install ok installed' <<<"$(dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null)" || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Source packages (apt-get source): a deb-src twin of each Debian mirror entry, added once.
ensure_debian_sources() {
    grep -qsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/* && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    local list=/etc/apt/sources.list.d/debian.sources
    if [ -f "$list" ]; then
        sed 's/^Types:.*/Types: deb-src/' "$list" | "${sudo[@]}" tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
    else
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | "${sudo[@]}" tee /etc/apt/sources.list.d/debian-src.list >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
}

build_preset() {
    local preset=$1
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}
