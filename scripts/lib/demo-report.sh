# What scripts/demo reports: the state of a prefix read with two 64-bit
# `reg export` runs (no 32-bit process, so it stays quick under emulation),
# the objects of the model found in it, and the contact sheet of the pictures.
# Sourced by scripts/demo; needs WINEPREFIX.

DEMO_MODEL_RE='VKP-M200|NORVEKA'

# Exports the spooler's keys and the uninstall entries (64-bit view) into one
# UTF-8 file. $1 = output file.
demo_export_state() {
  local out="$1" tmp="$WINEPREFIX/drive_c/vkp-demo" key n=0
  : >"$out"
  for key in 'HKLM\System\CurrentControlSet\Control\Print' \
             'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'; do
    n=$((n + 1))
    wine reg export "$key" "C:\\vkp-demo\\state$n.reg" /reg:64 /y </dev/null >/dev/null 2>&1 || continue
    iconv -f UTF-16LE -t UTF-8 "$tmp/state$n.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//' >>"$out"
    rm -f "$tmp/state$n.reg"
  done
}

# Reads an export as "key<TAB>name<TAB>value" lines (string values only; a
# key alone gives "key<TAB><TAB>").
demo_reg_rows() {
  awk '/^\[/ { key = substr($0, 2, length($0) - 2); sub(/^HKEY_LOCAL_MACHINE/, "HKLM", key); print key "\t\t"; next }
       /^"[^"]*"="/ { match($0, /^"[^"]*"/); name = substr($0, 2, RLENGTH - 2)
                      value = substr($0, RLENGTH + 3); sub(/"$/, "", value); gsub(/\\\\/, "\\", value)
                      print key "\t" name "\t" value }' "$1"
}

# One line per object of the model in an export; $1 = export, $2 = prefix.
demo_model_objects() {
  local rows
  rows="$(demo_reg_rows "$1")"
  awk -F'\t' -v re="$DEMO_MODEL_RE" '
    $1 ~ /\\Print\\Printers\\[^\\]+$/ && $2 == "Printer Driver" && $3 ~ re { drv[$1] = $3 }
    $1 ~ /\\Print\\Printers\\[^\\]+$/ && $2 == "Port" { port[$1] = $3 }
    $2 == "" && $1 ~ /\\Drivers\\Version-[0-9]\\[^\\]+$/ && $1 ~ re {
      n = split($1, p, "\\"); print "2\tdriver \"" p[n] "\" (" p[n - 3] ")" }
    $2 == "" && $1 ~ /\\Print\\Monitors\\[^\\]+$/ && $1 ~ re {
      n = split($1, p, "\\"); print "3\tlanguage monitor \"" p[n] "\"" }
    $2 == "" && $1 ~ /\\Print Processors\\[^\\]+$/ && $1 ~ re {
      n = split($1, p, "\\"); print "4\tprint processor \"" p[n] "\" (" p[n - 2] ")" }
    $1 ~ /\\Uninstall\\[^\\]+$/ && $2 == "DisplayVersion" && $1 ~ re {
      n = split($1, p, "\\"); print "5\tuninstall entry " p[n] " (version " $3 ")" }
    END { for (k in drv) { n = split(k, p, "\\"); print "1\tprinter \"" p[n] "\" on port " port[k] " (driver \"" drv[k] "\")" } }
  ' <<<"$rows" | sort | cut -f2-
  local inf
  for inf in "$2"/drive_c/windows/inf/*.inf; do
    [[ -f "$inf" ]] && grep -qaiE "$DEMO_MODEL_RE" "$inf" && echo "INF store file C:\\windows\\inf\\$(basename "$inf")"
  done
  return 0
}

# The contact sheet: every picture in order, labelled, on one PNG.
# $1 = tile list ("file<TAB>label" lines), $2 = output PNG.
demo_contact_sheet() {
  local list="$1" out="$2" file label args=() n font=()
  while IFS=$'\t' read -r file label; do
    [[ -f "$file" ]] && args+=(-label "$label" "$file")
  done <"$list"
  n=$((${#args[@]} / 3))
  ((n)) || return 1
  # DejaVu is what Debian has; ImageMagick's default font needs Ghostscript.
  convert -list font 2>/dev/null | grep -q 'Font: DejaVu-Sans$' && font=(-font DejaVu-Sans)
  montage "${font[@]}" -pointsize 13 -background '#d8d8d8' "${args[@]}" \
    -tile "$((n < 3 ? n : 3))x" -geometry +12+12 "$out"
}
