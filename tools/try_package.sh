#!/usr/bin/env bash
# Installs a built package into a clean Debian 12 (minbase) chroot and runs
# quillet-cli there without Recommends, proving that the Depends are complete.
#   bash tools/try_package.sh build-deb/quillet_1.0_amd64.deb [CHROOT_DIR]
# Needs root, debootstrap and Debian's package mirror. The chroot (about
# 300 MB before the package's dependencies) is made once and reused; a
# reused one first loses every package it gained since it was made.
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/var/tmp/quillet-chroot}
mirror=${QUILLET_DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
  debootstrap --variant=minbase bookworm "$root" "$mirror"
  chroot "$root" dpkg-query -W -f='${Package}\n' | sort >"$root/.clean-packages"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

# Back to the clean package set.
extra=$(comm -13 "$root/.clean-packages" <(in_root dpkg-query -W -f='${Package}\n' | sort))
if [ -n "$extra" ]; then
  # shellcheck disable=SC2086
  in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $extra >/dev/null
fi

cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" \
  >/dev/null
rm -f "$root/tmp/s.pdf"
in_root quillet-cli --version
in_root quillet-cli sheet --pdf /tmp/s.pdf
in_root env QT_QPA_PLATFORM=offscreen quillet --version
head -c 5 "$root/tmp/s.pdf" | grep -q '%PDF-' || { echo "no PDF written" >&2; exit 1; }
echo "installed in a clean chroot ($root): quillet-cli sheet --pdf wrote $(stat -c %s "$root/tmp/s.pdf") bytes"
