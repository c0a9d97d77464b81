# Whether this machine executes 32-bit x86 programs natively. Sourced by the
# scripts (setup, test, demo, bench), so that they all agree.
#
# Some hypervisors (PVM) cannot run 32-bit code at all: every i386 program,
# Wine's 32-bit loader included, fails with "Exec format error". There the
# only way to run our 32-bit programs is qemu's user-mode CPU emulation,
# registered for i386 programs through binfmt_misc, at about a minute per
# process start.
#
# VKP_EMULATED_32BIT=1 makes the scripts behave as on such a machine (skip
# what starts 32-bit processes, run the smoke test), so that mode can be
# tried anywhere. It never registers an emulator where native execution works.

# A 96-byte static i386 program that exits with 42. Its last identification
# byte (padding, which the kernel ignores) is 1, so that an emulator
# registered for i386 programs, whose pattern wants 0 there, never claims it:
# only the kernel's own 32-bit support can run it.
vkp_exec32_write_probe() { # $1 = file, $2 = last identification byte (\x01 native only, \x00 any)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00'"$2"'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$1"
  chmod +x "$1"
}

# Runs the probe; 0 when it ran and exited 42. $1: \x01 (native only) or \x00.
vkp_exec32_run_probe() {
  local dir rc
  dir="$(mktemp -d)"
  vkp_exec32_write_probe "$dir/probe" "$1"
  "$dir/probe" </dev/null >/dev/null 2>&1 && rc=0 || rc=$?
  rm -rf "$dir"
  [[ "$rc" == 42 ]]
}

# 0 when the kernel itself executes 32-bit x86 programs.
vkp_exec32_native() { vkp_exec32_run_probe '\x01'; }

# "native", or "emulated" when 32-bit programs need CPU emulation (or
# VKP_EMULATED_32BIT=1 asks to behave so).
vkp_exec32_mode() {
  if [[ "${VKP_EMULATED_32BIT:-0}" == 1 ]] || ! vkp_exec32_native; then echo emulated; else echo native; fi
}

# The binfmt_misc entry that hands i386 programs to qemu.
VKP_BINFMT_DIR=/proc/sys/fs/binfmt_misc
VKP_BINFMT_NAME=qemu-i386
vkp_exec32_register_emulator() {
  if [[ ! -e "$VKP_BINFMT_DIR/register" ]]; then
    mount -t binfmt_misc binfmt_misc "$VKP_BINFMT_DIR" || return 1
  fi
  if [[ ! -e "$VKP_BINFMT_DIR/$VKP_BINFMT_NAME" ]]; then
    printf '%s' ':'"$VKP_BINFMT_NAME"':M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >"$VKP_BINFMT_DIR/register" || return 1
  fi
  grep -qx enabled "$VKP_BINFMT_DIR/$VKP_BINFMT_NAME" || echo 1 >"$VKP_BINFMT_DIR/$VKP_BINFMT_NAME"
  vkp_exec32_run_probe '\x00'  # now any i386 program runs, through the emulator
}

# Sets VKP_EXEC32_MODE (native or emulated) once for the calling script.
vkp_exec32_init() { VKP_EXEC32_MODE="$(vkp_exec32_mode)"; }

# Runs a 64-bit program of a 64-bit prefix (Wine's reg and cmd, the 64-bit
# robot) as "wine ARGS" would. `wine` itself starts Wine's 32-bit loader,
# which under emulation costs about a minute even for a 64-bit program, so
# there it goes through the 64-bit loader; 32-bit programs that it starts
# still get the 32-bit one.
vkp_wine_tool() {
  if [[ "${VKP_EXEC32_MODE:-native}" == emulated ]]; then
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 "$@"
  else
    wine "$@"
  fi
}
