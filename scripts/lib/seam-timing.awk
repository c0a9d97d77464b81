# Summarises a "<program>.timing" report of the seam (the timed builds,
# tests/bench/TimedSeam.cpp):
#   awk -v wall=MS -f seam-timing.awk REPORT
# Lines: "lifetime MS", then "FUNCTION CALLS MS" per function called.
# Prints the time split three ways: the pauses (Sleep), the time inside the
# other operating-system calls, and the program's own time; then the five
# costliest calls.
$1 == "lifetime" { lifetime = $2; next }
$1 == "Sleep" { pauses += $3; sleeps = $2; next }
$1 == "ExitProcess" { next }
NF == 3 { platform += $3; cost[$1] = $3 + 0; calls[$1] = $2 }
END {
  own = lifetime - pauses - platform
  printf "    process start (before the program's first instruction, Wine and emulation): %.0f ms\n", wall - lifetime
  printf "    program lifetime %.0f ms = pauses %.0f ms (%d sleeps) + platform %.0f ms + own %.0f ms (%.2f%% of the lifetime)\n",
         lifetime, pauses, sleeps, platform, own, (lifetime > 0 ? 100 * own / lifetime : 0)
  n = 0
  for (f in cost) { names[++n] = f }
  for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (cost[names[j]] > cost[names[i]]) { t = names[i]; names[i] = names[j]; names[j] = t }
  for (i = 1; i <= n && i <= 5; i++) printf "      %-28s %6d calls %9.0f ms\n", names[i], calls[names[i]], cost[names[i]]
}
