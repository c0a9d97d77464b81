# Whether this machine executes 32-bit x86 programs natively. Sourced by the
# scripts (setup, test, demo, bench), so that they all agree.
#
# Some hypervisors (PVM) cannot run 32-bit code at all: every i386 program,
# Wine's 32-bit loader included, fails with "Exec format error". There the
# scripts run everything that starts Windows programs in a whole emulated
# machine (scripts/lib/vm32.sh), whose kernel runs 32-bit code.
#
# VKP_EMULATED_32BIT=1 makes the scripts behave as on such a machine, so
# that mode can be tried anywhere.

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

# "native", or "emulated" when 32-bit programs need the emulated machine (or
# VKP_EMULATED_32BIT=1 asks to behave so).
vkp_exec32_mode() {
  if [[ "${VKP_EMULATED_32BIT:-0}" == 1 ]] || ! vkp_exec32_native; then echo emulated; else echo native; fi
}

# Sets VKP_EXEC32_MODE (native or emulated) once for the calling script.
vkp_exec32_init() { VKP_EXEC32_MODE="$(vkp_exec32_mode)"; }
