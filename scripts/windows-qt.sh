#!/usr/bin/env bash
# Provides a static Qt 6.4.2 (Core, Gui, Widgets, PrintSupport, the windows platform
# plugin, Svg) and QScintilla 2.13 for x86_64-w64-mingw32, the libraries RejKMX.exe
# is linked with, in a cache folder outside the source tree. Prints the prefix's
# path as the last line of its output; everything else goes to stderr.
#
#   scripts/windows-qt.sh                 prebuilt archive when present, else from source
#   scripts/windows-qt.sh --from-source   always from Debian's source packages
#
# Environment (all optional):
#   REJKMX_WINDOWS_SHARED  folder with the prebuilt qt-mingw-6.4.2.tar.zst, its
#                          SHA256SUMS and the qtsvg source archive
#                          (default: ../shared/windows beside the repository)
#   REJKMX_QT_CACHE        cache folder (default: ${XDG_CACHE_HOME:-~/.cache}/rejkmx-qt-mingw)
#   QTSVG_SRC              qtsvg 6.4.2 source archive (.tar.zst/.tar.xz/.tar.gz); default:
#                          qtsvg-everywhere-src-6.4.2.tar.zst in REJKMX_WINDOWS_SHARED
#   REJKMX_JOBS            parallel compile jobs (default 2)
#   STOP_AFTER             from source: stop after this stage (names at the end of the file)
#
# Prebuilt (about 2 s): the archive's checksum is checked against SHA256SUMS, then
# it is unpacked into the cache. Its CMake files are relocatable: builds use its
# lib/cmake/Qt6/qt.toolchain.cmake with QT_CHAINLOAD_TOOLCHAIN_FILE set to ours.
#
# From source (about 40 min on 2 busy cores): `apt-get source` of qt6-base and
# qscintilla2 through a private apt configuration (a deb-src entry for bookworm main
# in a temporary folder; the system's apt configuration is not touched), Debian's
# security patches applied to qtbase, qtsvg from QTSVG_SRC (Debian's mirror serves
# no qt6-svg tarball), each stage stamped in the cache's work folder so a rerun
# resumes where it stopped. Host tools: Debian's Qt 6.4.2 (qt6-base-dev-tools).
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
qt_version=6.4.2
qsci_version=2.13
triple=x86_64-w64-mingw32
shared=${REJKMX_WINDOWS_SHARED:-$src/../shared/windows}
cache=${REJKMX_QT_CACHE:-${XDG_CACHE_HOME:-${HOME:-/var/tmp}/.cache}/rejkmx-qt-mingw}
archive_name=qt-mingw-$qt_version.tar.zst
prefix=$cache/qt-mingw-$qt_version
ready=$prefix.ready # what the prefix was made from; absent while it is incomplete
jobs=${REJKMX_JOBS:-2}

log() { printf 'windows-qt: %s\n' "$*" >&2; }
die() {
    log "ERROR: $*"
    exit 1
}

# Checks `file` against the line naming it in `sums`; prints its checksum.
verified_sum() {
    local file=$1 sums=$2 expected actual
    expected=$(awk -v name="$(basename "$file")" '$2 == name || $2 == "*" name {print $1}' "$sums")
    [[ -n $expected ]] || die "$sums has no checksum for $(basename "$file")"
    actual=$(sha256sum "$file" | cut -d' ' -f1)
    [[ $actual == "$expected" ]] || die "checksum mismatch for $file (expected $expected, got $actual)"
    printf '%s' "$actual"
}

use_prebuilt() {
    local archive=$shared/$archive_name sum start=$SECONDS
    sum=$(verified_sum "$archive" "$shared/SHA256SUMS")
    if [[ -f $ready && $(cat "$ready") == "prebuilt $sum" && -d $prefix ]]; then
        log "prebuilt prefix already in $prefix"
        return 0
    fi
    log "unpacking $archive (sha256 $sum) into $cache"
    rm -rf "$prefix" "$ready" "$cache/unpack"
    mkdir -p "$cache/unpack"
    tar --zstd -xf "$archive" -C "$cache/unpack"
    [[ -f $cache/unpack/qt-mingw-$qt_version/lib/cmake/Qt6/qt.toolchain.cmake ]] ||
        die "$archive does not hold qt-mingw-$qt_version/lib/cmake/Qt6"
    mv "$cache/unpack/qt-mingw-$qt_version" "$prefix"
    rmdir "$cache/unpack"
    echo "prebuilt $sum" >"$ready"
    log "prebuilt prefix ready in $((SECONDS - start)) s"
}

# ---------------------------------------------------------------- from source
work=$cache/work
stamps=$work/stamps
logs=$work/logs
toolchain=$prefix/lib/cmake/mingw-w64-$triple-posix.toolchain.cmake

# stage NAME FUNCTION: runs FUNCTION unless NAME is stamped; records its wall time.
stage() {
    local name=$1 start=$SECONDS
    shift
    if [[ -e $stamps/$name ]]; then
        log "stage $name done before ($(cat "$stamps/$name"))"
    else
        log "stage $name"
        "$@"
        echo "$((SECONDS - start)) s" >"$stamps/$name"
        printf '%-18s %6s s  %s\n' "$name" "$((SECONDS - start))" "$(date -Is)" >>"$work/timings.txt"
        log "stage $name took $((SECONDS - start)) s"
    fi
    if [[ ${STOP_AFTER:-} == "$name" ]]; then
        log "stopped after $name (STOP_AFTER)"
        exit 0
    fi
}

logged() { # logged NAME COMMAND...: output to the stage's log, its tail on failure
    local file=$logs/$1.log
    shift
    "$@" >"$file" 2>&1 || {
        tail -n 40 "$file" >&2
        die "failed, see $file"
    }
}

check_host() {
    local tool version
    for tool in $triple-g++-posix $triple-gcc-posix cmake ninja make patch xz zstd apt-get; do
        command -v "$tool" >/dev/null || die "$tool is missing (scripts/setup.sh installs it)"
    done
    # A Qt cross build runs the host's moc, uic and rcc: they must be the same version.
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
    [[ $version == "$qt_version"+* ]] ||
        die "host qt6-base-dev-tools is '${version:-missing}', the cross build needs $qt_version"
}

# A private apt configuration in a temporary folder: deb-src for bookworm main from
# the mirror the system already uses.
apt_dir=
apt_options=()
private_apt() {
    [[ -n $apt_dir ]] && return 0
    apt_dir=$(mktemp -d "${TMPDIR:-/tmp}/rejkmx-apt.XXXXXX")
    trap 'rm -rf "$apt_dir"' EXIT
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    local uri
    uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
    if [[ -z $uri ]]; then
        uri=$(awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
    fi
    [[ -n $uri ]] || die "no Debian mirror in the system's apt sources"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "$uri" /usr/share/keyrings/debian-archive-keyring.gpg >"$apt_dir/sources.list.d/src.sources"
    apt_options=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
        -o Dir::State::Status=/var/lib/dpkg/status -o "APT::Sandbox::User=$(id -un)")
    logged apt-update apt-get "${apt_options[@]}" update
}

download_sources() {
    private_apt
    rm -rf "$work/dl"
    mkdir -p "$work/dl"
    # apt checks every file against the signed Sources index.
    (cd "$work/dl" && logged apt-source apt-get "${apt_options[@]}" source --download-only \
        qt6-base qscintilla2)
    ls "$work/dl"/qt6-base_"$qt_version"+dfsg.orig.tar.xz "$work/dl"/qscintilla2_"$qsci_version".*.orig.tar.gz >&2 ||
        die "bookworm no longer has qt6-base $qt_version or qscintilla2 $qsci_version"
}

unpack_qtbase() {
    local tree=$work/src/qtbase-everywhere-src-$qt_version debian patch
    rm -rf "$tree"
    mkdir -p "$work/src"
    tar -xf "$work/dl/qt6-base_$qt_version+dfsg.orig.tar.xz" -C "$work/src"
    debian=$(ls "$work/dl"/qt6-base_"$qt_version"+dfsg-*.debian.tar.xz | tail -n 1)
    # Debian's security fixes only (cve-*); its other patches are for its Linux packages.
    for patch in $(tar -xOf "$debian" debian/patches/series | grep -E '^cve-'); do
        tar -xOf "$debian" "debian/patches/$patch" | patch -d "$tree" -p1 --forward -s
        log "applied $patch"
    done
}

unpack_qtsvg() {
    local tree=$work/src/qtsvg-everywhere-src-$qt_version
    local archive=${QTSVG_SRC:-$shared/qtsvg-everywhere-src-$qt_version.tar.zst}
    [[ -f $archive ]] || die "no qtsvg source archive at $archive (set QTSVG_SRC)"
    if [[ $archive == "$shared/"* && -f $shared/SHA256SUMS ]]; then
        verified_sum "$archive" "$shared/SHA256SUMS" >/dev/null
    fi
    rm -rf "$tree"
    mkdir -p "$tree"
    tar -xf "$archive" -C "$tree" --strip-components=1
    grep -q "\"$qt_version\"" "$tree/.cmake.conf" || die "$archive is not qtsvg $qt_version"
}

unpack_qscintilla() {
    rm -rf "$work/src"/qscintilla2-"$qsci_version".*/
    tar -xf "$(ls "$work/dl"/qscintilla2_"$qsci_version".*.orig.tar.gz | tail -n 1)" -C "$work/src"
}

# Written into the prefix: Qt's own qt.toolchain.cmake loads it when qtsvg is configured.
write_toolchain() {
    mkdir -p "$(dirname "$toolchain")"
    cat >"$toolchain" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# The -posix compilers: std::thread and std::mutex through winpthreads.
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

configure_qtbase() {
    local options=(
        -prefix "$prefix" -static -static-runtime -release
        -xplatform win32-g++ -device-option CROSS_COMPILE=$triple- -qt-host-path /usr
        -nomake examples -nomake tests -nomake benchmarks -nomake manual-tests
        -nomake minimal-static-tests
        -no-opengl -no-dbus -no-icu -no-freetype -no-libjpeg -no-zstd
        -qt-harfbuzz -qt-zlib -qt-pcre -qt-libpng
        -no-feature-network -no-feature-sql -no-feature-testlib -no-feature-xml
        -no-feature-concurrent -no-feature-vulkan
        # Debian's source removes 3rdparty/wintab, which tablet support needs.
        -no-feature-tabletevent
        # Not -no-feature-direct2d: without it Qt 6.4 builds, but no application links
        # (the DirectWrite font database is compiled only with direct2d on).
        -no-feature-direct2d1_1
    )
    rm -rf "$work/build/qtbase"
    mkdir -p "$work/build/qtbase"
    (cd "$work/build/qtbase" && logged configure-qtbase \
        "$work/src/qtbase-everywhere-src-$qt_version/configure" "${options[@]}" -- -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    grep -E '^Building for|Qt (Gui|Widgets|PrintSupport) \.' "$logs/configure-qtbase.log" >&2 || true
}

build_qtbase() { logged build-qtbase nice ninja -C "$work/build/qtbase" -j "$jobs"; }
install_qtbase() { logged install-qtbase cmake --install "$work/build/qtbase"; }

build_qtsvg() {
    rm -rf "$work/build/qtsvg"
    mkdir -p "$work/build/qtsvg"
    (cd "$work/build/qtsvg" && logged configure-qtsvg "$prefix/bin/qt-configure-module" \
        "$work/src/qtsvg-everywhere-src-$qt_version")
    logged build-qtsvg nice ninja -C "$work/build/qtsvg" -j "$jobs"
    logged install-qtsvg cmake --install "$work/build/qtsvg"
}

# The prefix's qmake runs the host qmake with the win32-g++ spec; static library.
build_qscintilla() {
    local tree
    tree=$(ls -d "$work/src"/qscintilla2-"$qsci_version".*/ | tail -n 1)
    rm -rf "$work/build/qscintilla"
    mkdir -p "$work/build/qscintilla"
    (cd "$work/build/qscintilla" &&
        logged qmake-qscintilla "$prefix/bin/qmake" "$tree/src/qscintilla.pro" \
            CONFIG+=staticlib CONFIG+=release CONFIG-=debug_and_release \
            QMAKE_CC=$triple-gcc-posix QMAKE_CXX=$triple-g++-posix \
            QMAKE_LINK=$triple-g++-posix QMAKE_LINK_C=$triple-gcc-posix &&
        logged build-qscintilla nice make -j "$jobs" &&
        logged install-qscintilla make install)
}

from_source() {
    mkdir -p "$stamps" "$logs"
    # A prefix unpacked from the archive is not this build's: start from scratch.
    if [[ -f $ready ]] && grep -q '^prebuilt' "$ready"; then
        rm -rf "$prefix" "$ready"
    fi
    # The stages that write into the prefix run again when it is gone.
    if [[ ! -d $prefix ]]; then
        rm -f "$stamps"/{toolchain,install-qtbase,qtsvg,qscintilla}
    fi
    stage check-host check_host
    stage sources download_sources
    stage unpack-qtbase unpack_qtbase
    stage unpack-qtsvg unpack_qtsvg
    stage unpack-qscintilla unpack_qscintilla
    stage toolchain write_toolchain
    stage configure-qtbase configure_qtbase
    stage build-qtbase build_qtbase
    stage install-qtbase install_qtbase
    stage qtsvg build_qtsvg
    stage qscintilla build_qscintilla
    echo "source $(date -Is)" >"$ready"
    log "prefix built from source; stage times in $work/timings.txt"
}

# ---------------------------------------------------------------- main
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9 # one preparation at a time; a second caller waits, then finds it done

if [[ ${1:-} == --from-source ]]; then
    from_source
elif [[ -f $ready && -d $prefix ]] && grep -q '^source' "$ready"; then
    log "prefix built from source in $prefix"
elif [[ -f $shared/$archive_name ]]; then
    use_prebuilt
else
    log "no prebuilt archive in $shared: building from source"
    from_source
fi
echo "$prefix"
