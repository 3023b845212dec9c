# The environment of every Wine program of one bed, and the loader and server it uses; sourced
# with $bed set (scripts/winebed.sh, scripts/wine-run.sh). A bed whose folder names an emulated
# 32-bit Wine in "wine32" (written by the configuration of a 32-bit tree) is a 32-bit prefix
# whose programs all run on that Wine under qemu-i386 (scripts/setup-wine32.sh), served by the
# host's native wineserver.
export WINEPREFIX="$bed/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
if [ -f "$bed/wine32" ]; then
    wine32=$(cat "$bed/wine32")
    WINE=$wine32/root/usr/lib/wine/wine
    WINESERVER=/usr/lib/wine/wineserver64
    if [ ! -x "$WINE" ] || [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo "wine: the emulated 32-bit Wine in $wine32 is not ready (run scripts/setup.sh)" >&2
        exit 1
    fi
    export WINEARCH=win32 QEMU_LD_PREFIX="$wine32/root" WINESERVER
fi
