#!/bin/bash
# Prepares the emulated 32-bit Wine that runs the shipped i686 executable (only what is missing):
#   - a binfmt_misc handler that runs i386 programs with qemu-i386-static,
#   - a private i386 root with Debian's wine32 (the same version as the host's wine64), built
#     once with mmdebstrap from the machine's own apt sources,
#   - the library preloaded into every program of that root (tests/qemu_i386_fixes).
# VS_WINE32 moves it from /opt/vs-wine32.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
home=${VS_WINE32:-/opt/vs-wine32}
root=$home/root
mkdir -p "$home"

# qemu takes its own name ending in "-binfmt-P" as the sign that the kernel passed argv[0] on.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
fi
ln -sfn /usr/bin/qemu-i386-static "$home/qemu-i386-binfmt-P"
if [ ! -e "$binfmt/qemu-i386" ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:$home/qemu-i386-binfmt-P:PF" >"$binfmt/register"
    echo "setup: i386 programs now run under qemu-i386-static"
fi

# The machine's Debian sources for its own release, optionally without the security suite
# (its index is sometimes caught in the middle of a mirror sync).
debian_sources() {
    local codename=$1 skip_security=$2
    python3 - "$codename" "$skip_security" /etc/apt/sources.list /etc/apt/sources.list.d/* <<'EOF'
import sys
codename, skip_security, paths = sys.argv[1], sys.argv[2] == 'yes', sys.argv[3:]
def wanted(suite):
    return suite.startswith(codename) and not (skip_security and suite.endswith('-security'))
for path in paths:
    try:
        text = open(path).read()
    except OSError:
        continue
    if path.endswith('.sources'):
        for stanza in text.split('\n\n'):
            fields = {}
            for line in stanza.splitlines():
                if ':' in line and not line.startswith(('#', ' ')):
                    key, value = line.split(':', 1)
                    fields[key.strip()] = value.split()
            if 'deb' not in fields.get('Types', []):
                continue
            for uri in fields.get('URIs', []):
                for suite in filter(wanted, fields.get('Suites', [])):
                    print('deb %s %s %s' % (uri, suite, ' '.join(fields.get('Components', ['main']))))
    elif path.endswith('.list'):
        for line in text.splitlines():
            words = line.split('#')[0].split()
            if len(words) >= 3 and words[0] == 'deb' and not words[1].startswith('['):
                if wanted(words[2]):
                    print(line.strip())
EOF
}

if [ ! -x "$root/usr/lib/wine/wine" ]; then
    . /etc/os-release
    echo "setup: building the i386 root with wine32 in $root (a few minutes)"
    for skip_security in no yes; do
        rm -rf "$root.new"
        sources=$home/sources.list
        debian_sources "$VERSION_CODENAME" "$skip_security" >"$sources"
        if mmdebstrap --quiet --arch=i386 --variant=minbase --include=wine32 "$VERSION_CODENAME" "$root.new" \
            "$sources" >"$home/mmdebstrap.log" 2>&1; then
            mv "$root.new" "$root"
            break
        fi
        if [ "$skip_security" = no ]; then
            echo "setup: mmdebstrap failed; trying again without the security suite"
        else
            echo "setup: mmdebstrap failed (see $home/mmdebstrap.log)" >&2
        fi
    done
    [ -x "$root/usr/lib/wine/wine" ] || exit 1
fi
host_wine=$(dpkg-query -W -f='${Version}' wine64)
root_wine=$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Version}' wine32)
if [ "$host_wine" != "$root_wine" ]; then
    echo "setup: wine32 $root_wine in $root differs from the host's wine64 $host_wine;" \
        "remove $root to build it again" >&2
    exit 1
fi

# The preloaded library, rebuilt when its source changed.
fixes_source=$source_dir/tests/qemu_i386_fixes/qemu_i386_fixes.c
fixes=$root/usr/local/lib/vs_qemu_i386_fixes.so
if [ ! -f "$fixes" ] || ! cmp -s "$fixes_source" "$fixes.source"; then
    mkdir -p "$(dirname "$fixes")"
    gcc -m32 -nostdlib -shared -fPIC -O2 -fno-stack-protector -Wall -Wextra -Werror -o "$fixes.new" "$fixes_source"
    mv "$fixes.new" "$fixes"
    cp "$fixes_source" "$fixes.source"
fi
echo /usr/local/lib/vs_qemu_i386_fixes.so >"$root/etc/ld.so.preload"

echo "setup: the emulated 32-bit Wine is ready in $home"
