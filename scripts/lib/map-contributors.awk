# Sums a GNU ld map file (-Wl,-Map=...) by the file each input section came
# from, counting only sections whose bytes go into the program file (no
# .bss, no debug information), and prints the largest contributors.
#   awk [-v top=5] [-v by=member|archive] [-v show_total=1] -f map-contributors.awk PROGRAM.map
# by=member (default) names each object or archive member, libstdc++.a(locale.o);
# by=archive adds up the members of each archive, libstdc++.a.
# Output: one "BYTES NAME" line each, largest first; sizes before padding.
# -v show_total=1 adds the sum of all counted sections.
# POSIX awk only (mawk has no strtonum), so that any build machine runs it.

function hex(s,    i, n, c) {
  n = 0
  s = tolower(s)
  sub(/^0x/, "", s)
  for (i = 1; i <= length(s); i++) {
    c = index("0123456789abcdef", substr(s, i, 1))
    if (c == 0) return -1
    n = n * 16 + c - 1
  }
  return n
}

function counted(section) {
  return section != "" && section !~ /^\.debug/ && section !~ /^\.bss/ && section != "/DISCARD/" &&
         section !~ /^\.stab/ && section != ".comment" && section != ".gnu_debuglink"
}

function base(path) {
  sub(/.*\//, "", path)
  return path
}

# "dir/libx.a(member.o)" becomes "libx.a(member.o)" or "libx.a"; a plain
# object keeps its file name.
function key(file,    archive, member, p) {
  p = index(file, "(")
  if (p <= 1) return base(file)
  archive = base(substr(file, 1, p - 1))
  member = substr(file, p)
  return by == "archive" ? archive : archive member
}

function add(size, file) {
  if (!counted(out) || size <= 0 || file == "") return
  if (file ~ /^(BYTE|SHORT|LONG|QUAD|SQUAD|FILL) /) return  # the linker script's own words
  # ld's name for its own input: the base relocations it builds.
  if (file == "dll stuff") file = "(" out " made by the linker)"
  sum[key(file)] += size
  total += size
}

BEGIN {
  if (top == "") top = 5
  if (by == "") by = "member"
}

/^Linker script and memory map/ { inmap = 1; next }
!inmap { next }

# An output section: its name in the first column, alone on the line when long.
/^[^ \t]/ {
  out = $1
  pendingname = ""
  next
}

# An input section whose name took the whole line: its address, size and
# file follow on the next.
/^ [^ *]/ && NF == 1 && $1 !~ /\(/ { pendingname = $1; next }

# " NAME 0xADDR 0xSIZE FILE" (file names may hold spaces), or its
# continuation "0xADDR 0xSIZE FILE" after a long name. Symbol lines carry an
# address and a name, never a hex size followed by a file.
{
  if ($0 ~ /^ [^ *]/ && NF >= 4 && hex($2) >= 0 && $3 ~ /^0x/) {
    size = hex($3); line = $0
    sub(/^ +[^ ]+ +0x[0-9a-fA-F]+ +0x[0-9a-fA-F]+ +/, "", line)
    add(size, line)
  } else if (pendingname != "" && $1 ~ /^0x/ && $2 ~ /^0x/ && NF >= 3) {
    size = hex($2); line = $0
    sub(/^ +0x[0-9a-fA-F]+ +0x[0-9a-fA-F]+ +/, "", line)
    add(size, line)
  }
  pendingname = ""
}

END {
  n = 0
  for (k in sum) { n++; name[n] = k }
  # Selection of the largest, enough for a handful of lines.
  for (i = 1; i <= n && i <= top; i++) {
    m = i
    for (j = i + 1; j <= n; j++) if (sum[name[j]] > sum[name[m]]) m = j
    t = name[i]; name[i] = name[m]; name[m] = t
    printf "%d %s\n", sum[name[i]], name[i]
  }
  if (show_total) printf "%d (all counted input sections)\n", total
}
