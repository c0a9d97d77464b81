# The emulated machine's disk image: Debian bookworm amd64 with its own
# kernel, Wine (64- and 32-bit) and what the tests run inside it, plus the
# base Wine prefixes, made once. Sourced by scripts/lib/vm32.sh; the image's
# cache key is a hash of this file, the machine's init and the prefix recipe,
# so a change to any of them makes a new image.

# What runs inside: Wine and the display for the tests and the demo, ctest,
# the runtime of the native test driver (built with sanitizers), the kernel.
VKP_VM32_PACKAGES=(linux-image-amd64 kmod procps psmisc iproute2 cmake
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick
  libasan8 libubsan1 zip unzip)

# The host's own Debian mirrors (deb822 sources or sources.list), one a line.
vkp_vm32_mirrors() {
  { grep -hoE '^URIs: *[^ ]+' /etc/apt/sources.list.d/*.sources 2>/dev/null | sed 's/^URIs: *//' || true
    grep -hoE '^deb +(\[[^]]*\] +)?[^ ]+' /etc/apt/sources.list 2>/dev/null | awk '{print $NF}' || true
  } | awk '!seen[$0]++' || true
}

# vkp_vm32_make_root ROOTFS: the root file system, by debootstrap and apt in a
# chroot. Downloads go through the host's package cache, so a second image
# fetches almost nothing.
vkp_vm32_make_root() {
  local rootfs="$1" mirror security archives=/var/cache/apt/archives
  mirror="$(vkp_vm32_mirrors | grep -v security | head -1)"
  security="$(vkp_vm32_mirrors | grep security | head -1)"
  [[ -n "$mirror" ]] || { echo "setup: no Debian mirror in the host's apt configuration" >&2; return 1; }
  debootstrap --variant=minbase --cache-dir="$archives" bookworm "$rootfs" "$mirror" >/dev/null
  {
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    [[ -z "$security" ]] || echo "deb $security bookworm-security main"
  } >"$rootfs/etc/apt/sources.list"
  # No daemon started by a package's scripts inside the chroot.
  printf '#!/bin/sh\nexit 101\n' >"$rootfs/usr/sbin/policy-rc.d"
  chmod +x "$rootfs/usr/sbin/policy-rc.d"
  (
    mounted=()
    trap 'for ((i=${#mounted[@]}-1; i>=0; i--)); do umount -l "${mounted[i]}" || true; done' EXIT
    for d in proc sys dev dev/pts var/cache/apt/archives; do
      local src="/$d"
      [[ "$d" == var/cache/apt/archives ]] && src="$archives"
      mount --bind "$src" "$rootfs/$d"
      mounted+=("$rootfs/$d")
    done
    chroot "$rootfs" /bin/bash -euc "
      export DEBIAN_FRONTEND=noninteractive LC_ALL=C
      dpkg --add-architecture i386
      apt-get update -qq
      apt-get install -y -qq --no-install-recommends ${VKP_VM32_PACKAGES[*]} >/dev/null
      rm -rf /var/lib/apt/lists/*
    "
  )
  rm -f "$rootfs/usr/sbin/policy-rc.d"
  echo vm32 >"$rootfs/etc/hostname"
  # Wine resolves the host name when it makes a prefix.
  printf '127.0.0.1 localhost\n127.0.1.1 vm32\n::1 localhost ip6-localhost ip6-loopback\n' >"$rootfs/etc/hosts"
  echo '/dev/vda / ext4 rw,relatime 0 1' >"$rootfs/etc/fstab"
  install -m 755 "$VKP_VM32_LIB/vm32-init" "$rootfs/sbin/vm32-init"
}

# vkp_vm32_make_image DIR: DIR/vm32.raw (sparse ext4, written from the root
# folder without mounting it), DIR/vmlinuz and DIR/initrd.img, then one boot
# that bakes the base prefixes into the image. DIR/.ready marks it complete.
vkp_vm32_make_image() {
  local dir="$1" start=$SECONDS
  mkdir -p "$dir"
  if [[ ! -f "$dir/.image" ]]; then
    echo "setup: making the emulated machine's image in $dir (once, about 10 minutes)"
    rm -rf "$dir/root"
    vkp_vm32_make_root "$dir/root"
    cp -L "$dir/root/vmlinuz" "$dir/vmlinuz"
    cp -L "$dir/root/initrd.img" "$dir/initrd.img"
    rm -f "$dir/vm32.raw"
    truncate -s 24G "$dir/vm32.raw"
    mkfs.ext4 -q -F -L vm32root -E lazy_itable_init=0,lazy_journal_init=0 -d "$dir/root" "$dir/vm32.raw"
    rm -rf "$dir/root"
    touch "$dir/.image"
    echo "setup: image written after $((SECONDS - start)) s"
  fi
  echo "setup: baking the base Wine prefixes into the image (about 5 minutes)"
  local share
  share="$(mktemp -d /var/tmp/vkp-vm32-bake.XXXXXX)"
  cp "$VKP_VM32_LIB/prefix.sh" "$share/"
  cat >"$share/cmd.sh" <<'BAKE'
source /share/prefix.sh
mkdir -p /var/cache/vkp
vkp_make_prefix /var/cache/vkp win64 & a=$!
vkp_make_prefix /var/cache/vkp win32 & b=$!
wait $a && wait $b
BAKE
  local rc=0
  VKP_VM32_DIR="$dir" vkp_vm32_boot "$share" 1800 keep || rc=$?
  if ((rc)); then
    echo "setup: baking the prefixes failed ($rc):" >&2
    cat "$share/out.log" >&2 2>/dev/null
    rm -rf "$share"
    return 1
  fi
  rm -rf "$share"
  touch "$dir/.ready"
  echo "setup: the emulated machine is ready after $((SECONDS - start)) s"
}
