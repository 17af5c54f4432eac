# Shared by the Windows scripts (sourced, from the project root): finds the Qt
# toolchain for MinGW-w64 and sets up a Wine prefix.

# The prefix the toolchain was built for; its CMake files expect it there.
DSC_QT_MINGW_PREFIX=/tmp/qtwin
DSC_QT_MINGW_TARBALL=../shared/toolchains/qt6.4.2-mingw64.tar.xz

# Sets DSC_QT_MINGW to the toolchain's prefix, unpacking it when needed:
# DSC_QT_MINGW may name the prefix or the tarball; without it the prefix is
# used when it is there, else the tarball beside the project. Returns 1 when
# there is no toolchain.
dsc_find_qt_mingw() {
    local tarball=""
    if [ -n "${DSC_QT_MINGW:-}" ]; then
        if [ -x "$DSC_QT_MINGW/bin/qt-cmake" ]; then return 0; fi
        if [ -f "$DSC_QT_MINGW" ]; then tarball="$DSC_QT_MINGW"; else
            echo "DSC_QT_MINGW=$DSC_QT_MINGW is neither a toolchain folder nor its tarball" >&2
            return 1
        fi
    elif [ -x "$DSC_QT_MINGW_PREFIX/bin/qt-cmake" ]; then
        DSC_QT_MINGW="$DSC_QT_MINGW_PREFIX"
        return 0
    elif [ -f "$DSC_QT_MINGW_TARBALL" ]; then
        tarball="$DSC_QT_MINGW_TARBALL"
    else
        return 1
    fi
    echo "unpacking $tarball into $(dirname "$DSC_QT_MINGW_PREFIX")" >&2
    tar -C "$(dirname "$DSC_QT_MINGW_PREFIX")" -xJf "$tarball"
    DSC_QT_MINGW="$DSC_QT_MINGW_PREFIX"
    [ -x "$DSC_QT_MINGW/bin/qt-cmake" ]
}

# Windows path of a Unix path, through Wine's Z: drive.
dsc_wine_path() {
    local p
    p="$(realpath -m "$1")"
    echo "Z:${p//\//\\}"
}

# Makes (once) and uses the 64-bit Wine prefix in folder $1, quiet and without
# the .NET and HTML engines it would offer to download. Wine's own Tahoma is
# put among its fonts: without it Qt finds no match for the system's dialog
# font and draws line edits empty.
dsc_wine_prefix() {
    export WINEPREFIX
    WINEPREFIX="$(realpath -m "$1")"
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/tahoma.ttf" ]; then
        cp /usr/share/wine/fonts/tahoma*.ttf "$fonts/"
    fi
}
