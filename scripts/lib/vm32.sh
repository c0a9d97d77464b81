# The emulated machine: where this host cannot execute 32-bit x86 code
# (scripts/lib/exec32.sh), the scripts run everything that starts Windows
# programs in a whole emulated x86-64 machine instead: qemu-system with
# Debian's own kernel, whose 32-bit support works inside the emulated CPU.
# The programs are built on the host; the machine sees the checkout at the
# same path, boots from a throw-away overlay of a cached image (base
# prefixes baked in) and powers off when its command ends or its time is up.
#
# The image lives in $VKP_VM32_CACHE (default /var/cache/vkp-m200), in a
# folder named by a hash of its recipe, so later runs, sessions and CI on the
# same machine reuse it and a changed recipe makes a new one.
VKP_VM32_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VKP_VM32_CACHE="${VKP_VM32_CACHE:-/var/cache/vkp-m200}"
source "$VKP_VM32_LIB/vm32-image.sh"

# Host packages: the emulator, debootstrap and mkfs.ext4 for the image.
VKP_VM32_HOST_PACKAGES=(qemu-system-x86 debootstrap e2fsprogs)

vkp_vm32_dir() {
  local key
  key="$(cat "$VKP_VM32_LIB/vm32-image.sh" "$VKP_VM32_LIB/vm32-init" "$VKP_VM32_LIB/prefix.sh" | sha256sum | cut -c1-16)"
  echo "$VKP_VM32_CACHE/vm32-$key"
}

# Makes the image unless the cached one is complete; drops images of older
# recipes.
vkp_vm32_ensure() {
  local dir old
  dir="$(vkp_vm32_dir)"
  [[ -f "$dir/.ready" ]] && return 0
  mkdir -p "$VKP_VM32_CACHE"
  for old in "$VKP_VM32_CACHE"/vm32-*; do
    [[ -e "$old" && "$old" != "$dir" ]] && rm -rf "$old"
  done
  vkp_vm32_make_image "$dir"
}

# vkp_vm32_boot SHARE LIMIT [keep]: boots the machine once to run SHARE/cmd.sh,
# showing SHARE/out.log as it grows; powers it off after LIMIT seconds at the
# latest. Disk writes are thrown away unless "keep". Returns the command's
# status, 124 when the time ran out, 125 when the machine stopped without one.
vkp_vm32_boot() (
  local share="$1" limit="$2" dir="${VKP_VM32_DIR:-$(vkp_vm32_dir)}" snapshot=(-snapshot)
  [[ "${3:-}" == keep ]] && snapshot=()
  local mem_mb=$(( $(awk '/MemTotal/ {print $2}' /proc/meminfo) / 1024 * 6 / 10 ))
  ((mem_mb > 12288)) && mem_mb=12288
  rm -f "$share/rc" "$share/out.log"
  : >"$share/out.log"
  # Plain emulation (TCG): QEMU 7.2 must hide SMAP from the guest, or its
  # kernel kills every Wine process at the first return to user mode.
  timeout -k 30 "$limit" qemu-system-x86_64 -accel tcg,thread=multi -cpu max,-smap -smp "$(nproc)" -m "$mem_mb" \
    -machine q35 -display none -monitor none -serial "file:$share/console.log" -no-reboot \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/sbin/vm32-init quiet loglevel=3 mitigations=off tsc=reliable panic=1" \
    -drive "file=$dir/vm32.raw,if=virtio,format=raw,cache=unsafe,discard=unmap" "${snapshot[@]}" \
    -virtfs "local,path=$share,mount_tag=share,security_model=none,id=share" \
    -device virtio-rng-pci -nic none </dev/null >"$share/qemu.log" 2>&1 &
  local machine=$!
  trap 'kill "$machine" 2>/dev/null || true' EXIT INT TERM
  tail -n +1 -F --pid="$machine" "$share/out.log" 2>/dev/null &
  local status=0
  wait "$machine" || status=$?
  sleep 1
  if [[ -f "$share/rc" ]]; then return "$(cat "$share/rc")"; fi
  if ((status == 124 || status == 137)); then
    echo "vm32: the emulated machine was powered off after its limit of $limit s" >&2
    return 124
  fi
  echo "vm32: the emulated machine stopped without a result (qemu: $status)" >&2
  tail -5 "$share/qemu.log" "$share/console.log" >&2 2>/dev/null
  return 125
)

# Milliseconds that a fixed amount of shell work takes here: run on the host
# and in the machine, the ratio says how much slower the machine is.
vkp_vm32_loop_ms() {
  local start i
  start="$(date +%s%N)"
  for ((i = 0; i < 200000; i++)); do :; done
  echo $((($(date +%s%N) - start) / 1000000))
}

# vkp_vm32_run ROOT LIMIT "RESULTS" COMMAND: runs COMMAND (bash) in the
# machine, in a copy of the checkout ROOT at the same path, with the base
# prefixes in VKP_CACHE and this host's VKP_ settings; then copies the paths
# RESULTS (relative to ROOT, space-separated) back into ROOT. Returns as
# vkp_vm32_boot does. COMMAND finds in VKP_TIME_SCALE how many times slower
# than this host the machine is (twice the measured ratio: tests run side
# by side there), the factor for the waits of the tests and the demo.
vkp_vm32_run() {
  local root="$1" limit="$2" results="$3" command="$4" share rc=0 var host_ms i ms
  # The best of three: whatever else runs here only ever slows a timing, and
  # a slow host figure would shorten the machine's waits.
  host_ms="$(vkp_vm32_loop_ms)"
  for i in 1 2; do
    ms="$(vkp_vm32_loop_ms)"
    ((ms < host_ms)) && host_ms="$ms"
  done
  share="$(mktemp -d /var/tmp/vkp-vm32.XXXXXX)"
  # One tar through the share: file by file, 9p is ten times slower.
  tar -C "$(dirname "$root")" -cf "$share/project.tar" \
    --exclude="$(basename "$root")/.git" --exclude="$(basename "$root")/.cache" "$(basename "$root")"
  {
    echo 'set -u'
    echo "echo \"vm32: \$(nproc) processors, \$((\$(awk '/MemTotal/ {print \$2}' /proc/meminfo) / 1024)) MiB, booted in \$(cut -d' ' -f1 /proc/uptime) s\""
    printf 'mkdir -p %q && tar -C %q -xf /share/project.tar || exit 125\n' "$(dirname "$root")" "$(dirname "$root")"
    echo 'export VKP_CACHE=/var/cache/vkp TMPDIR=/var/tmp VKP_VM32_GUEST=1'
    declare -f vkp_vm32_loop_ms
    echo "guest_ms=\$(vkp_vm32_loop_ms) host_ms=$((host_ms > 0 ? host_ms : 1))"
    echo 'export VKP_TIME_SCALE=$(((2 * guest_ms + host_ms - 1) / host_ms))'
    echo 'echo "vm32: $guest_ms ms of shell work that took $host_ms ms on the host: waits scaled by $VKP_TIME_SCALE"'
    for var in $(compgen -e | grep '^VKP_' | grep -vE '^VKP_(CACHE|VM32_.*|EMULATED_32BIT)$'); do
      printf 'export %s=%q\n' "$var" "${!var}"
    done
    printf 'cd %q || exit 125\n' "$root"
    echo "( $command )"
    echo 'rc=$?'
    printf 'kept=(); for p in %s; do [[ -e "$p" ]] && kept+=("$p"); done\n' "$results"
    echo '((${#kept[@]} == 0)) || tar -cf /share/results.tar "${kept[@]}"'
    echo 'exit $rc'
  } >"$share/cmd.sh"
  vkp_vm32_boot "$share" "$limit" || rc=$?
  [[ -f "$share/results.tar" ]] && tar -C "$root" -xf "$share/results.tar"
  rm -rf "$share"
  return "$rc"
}
