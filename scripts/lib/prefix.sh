# Base Wine prefixes, one per architecture, headless (null display driver).
# Sourced by scripts/setup, and inside the emulated machine when its image is
# made (scripts/lib/vm32-image.sh), so that both make them the same way.

# vkp_make_prefix CACHE ARCH: CACHE/prefix-ARCH, unless it is ready already.
vkp_make_prefix() {
  local dir="$1/prefix-$2"
  [[ -f "$dir/.ready" ]] && return 0
  rm -rf "$dir" "$dir.tmp"
  echo "setup: creating base Wine prefix $2"
  (
    export WINEPREFIX="$dir.tmp" WINEARCH="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
  )
  [[ -f "$dir.tmp/system.reg" ]] || { echo "setup: wineboot made no prefix $2" >&2; return 1; }
  mv "$dir.tmp" "$dir"
  touch "$dir/.ready"
}
