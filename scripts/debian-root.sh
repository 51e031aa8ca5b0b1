#!/usr/bin/env bash
# debian-root.sh SUITE [COMMAND]: makes a fresh minimal Debian root of SUITE (bullseye, bookworm or
# trixie) with debootstrap, clones this checkout's committed HEAD into it at /src, and runs COMMAND
# there (by default the whole suite, scripts/test.sh) as root, with /dev, /proc and /sys bound in
# and a /dev/shm of its own.
# It runs on the machine's own kernel and display-less, as CI does; the root is deleted afterwards
# unless TOLVANE_KEEP_ROOT=1, and so the package's tests may install it there with apt
# (TOLVANE_INSTALL_INTO_SYSTEM=1). Needs root. Its exit status is COMMAND's.
set -euo pipefail
suite=${1:?usage: debian-root.sh bullseye|bookworm|trixie [COMMAND]}
command=${2:-bash scripts/test.sh}
case $suite in bullseye|bookworm|trixie) ;; *) echo "unknown Debian suite '$suite': expected bullseye, bookworm or trixie" >&2; exit 2 ;; esac
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/packages.sh"
install_missing debootstrap git

# The mirror this machine's own packages come from, in either form of its package lists.
mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)\/\?$/\1/p; s/^deb[[:space:]]\+\([^[:space:]]*\/debian\)\/\?[[:space:]].*/\1/p' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list 2>/dev/null | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}
root=$(mktemp -d "${TMPDIR:-/var/tmp}/tolvane-$suite-XXXXXX")
chmod 755 "$root"  # apt downloads as its own user
unmount() { for m in sys proc dev/shm dev/pts dev; do umount -l "$root/$m" 2>/dev/null || true; done; }
cleanup() {
    unmount
    if [ "${TOLVANE_KEEP_ROOT:-}" = 1 ]; then echo "Kept the Debian $suite root at $root"; else rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

echo "== A fresh Debian $suite root in $root, from $mirror"
for attempt in 1 2 3; do  # a mirror may answer mid-sync
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 && break
    [ $attempt = 3 ] && { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
    echo "debootstrap failed (attempt $attempt); trying again"; rm -rf --one-file-system "${root:?}"/*; sleep 10
done
rm -f "$root.debootstrap.log"
security=${mirror%/debian}/debian-security
printf 'deb %s %s main\ndeb %s %s-updates main\ndeb %s %s-security main\n' "$mirror" "$suite" "$mirror" "$suite" "$security" "$suite" \
    >"$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q "$top" "$root/src"
# A /dev/shm of its own, open to all as on any system: sway, run as nobody, shares its buffers there.
mount --bind /dev "$root/dev" && mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root/dev/shm"
mount -t proc proc "$root/proc" && mount --bind /sys "$root/sys"
echo "== In the Debian $suite root: $command"
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    LANG=C.UTF-8 TERM=dumb TOLVANE_INSTALL_INTO_SYSTEM=1 ${CI:+CI=$CI} bash -c "cd /src && $command" </dev/null
