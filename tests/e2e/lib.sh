# Helpers of the end-to-end test scripts, sourced after the script has begun its Wine session
# ($work) and set $bin (the build's bin folder), $panel (the panel program to start) and
# $trace (the simulated driver's trace file). Every wait is bounded.
title="Norvale QVX 1394 Driver Control Panel"
probe() { wine "$bin/vesk_probe.exe" "$@"; }
fail() {
  echo "FAIL: $*" >&2
  [ -f "$trace" ] && tail -20 "$trace" >&2
  # A crash or a heap report of the panel is on its standard error.
  [ -s "$work/panel-stderr.txt" ] && tail -5 "$work/panel-stderr.txt" >&2
  exit 1
}
expect_state() {  # expect_state KEY=VALUE: the frame's state holds it
  local state
  state=$(probe state "$title" | tr -d '\r')
  grep -qw "$1" <<<"$state" || fail "expected $1, state is: $state"
}
wait_state() {  # wait_state KEY=VALUE: within 10 s
  for _ in $(seq 1 100); do
    probe state "$title" | tr -d '\r' | grep -qw "$1" && return 0
  done
  fail "state never became $1"
}
wait_trace() {  # wait_trace REGEX: a trace line matches within 20 s
  for _ in $(seq 1 200); do
    grep -qE "$1" "$trace" 2>/dev/null && return 0
    probe paint "$title" >/dev/null 2>&1 || true
  done
  fail "no trace line matched: $1"
}
poll() {  # poll SECONDS COMMAND...: runs COMMAND until it succeeds, at most SECONDS long
  local limit=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$limit" ] || return 1
    sleep 0.1 # a polling interval, not a wait for something in particular
  done
}
drained() {  # drained MARK N: the trace from `mark MARK` up to the event request that found the
  # queue empty after N records had been read on the notificator's connection
  awk -v m="mark $1" -v n="$2" '
    $0 == m { f = 1; next }
    f { buf = buf $0 "\n"
        if ($0 ~ /^ioctl 2 0x80882828 .*-> 0x00000000/) c++
        else if (c >= n && $0 ~ /^ioctl 2 0x80882828 .*-> 0x00000103/) { done = 1; exit } }
    END { if (!done) exit 1; printf "%s", buf }' "$trace"
}
wait_drained() {  # wait_drained MARK N: prints drained MARK N once the panel got that far
  poll 20 drained "$1" "$2" >/dev/null || fail "events after mark $1 were not drained"
  drained "$1" "$2"
}
lines_after_mark() {  # lines_after_mark TEXT REGEX: count of matching lines after `mark TEXT`
  awk -v m="mark $1" -v r="$2" 'found && $0 ~ r {n++} $0 == m {found=1} END {print n+0}' \
    "$trace"
}
start_panel() {  # start_panel ARGS...: the first instance, up and drawn
  WINEDEBUG=$vesk_wine_checks "$VESK_WINE" "$panel" "$@" >/dev/null 2>"$work/panel-stderr.txt" &
  panel_pid=$!
  probe wait-window "$title" 30000 ||
    fail "the panel did not start; it wrote: $(tail -5 "$work/panel-stderr.txt")"
  if [ "$(basename "$panel")" = VESK_CPL_sim.exe ]; then
    probe wait-window "Driver Simulator" 30000 || fail "the simulator did not start"
  fi
  probe paint "$title"
}
second_start() {  # second_start ARGS...: another start, which must end by itself
  WINEDEBUG=$vesk_wine_checks timeout 60 "$VESK_WINE" "$panel" "$@" >/dev/null \
    2>"$work/start-stderr.txt" ||
    fail "second start did not end"
  no_crash "$work/start-stderr.txt"
}
panel_process_gone() { ! kill -0 "$panel_pid" 2>/dev/null; }
no_crash() {  # no_crash FILE: Wine reported no unhandled or escaped exception and no heap
  # misuse on that standard error
  local report
  if report=$(grep -m1 'wine: Unhandled' "$1" 2>/dev/null); then
    echo "FAIL: a panel crashed: $report" >&2
    exit 1
  fi
  if report=$(vesk_check_reports "$1"); then
    echo "FAIL: a panel misused its heap or let an exception escape: $report" >&2
    exit 1
  fi
}
panel_ended() {  # the first instance's process ends by itself, with status 0 and no crash
  # A crash while the process ends keeps the exit code it was ending with: Wine's report on
  # the standard error is what tells.
  poll 20 panel_process_gone || fail "the panel's process did not end by itself"
  local status=0
  wait "$panel_pid" || status=$?
  no_crash "$work/panel-stderr.txt"
  [ "$status" = 0 ] || fail "the panel's process ended with status $status, not 0"
}
quit_posted() {  # Quit posted, or the panel's process gone (which panel_ended reports)
  probe command "$title" 32772 || panel_process_gone
}
quit_panel() {
  # A post that fails (the probe says why) is tried again while the panel's process lives.
  poll 10 quit_posted || fail "Quit could not be posted to the panel"
  probe wait-gone "$title" 20000 || fail "Quit did not end the panel"
  panel_ended
}
rename_row() {  # rename_row LIST ROW BUTTON DIALOG FIELD TEXT: selects the row, opens the
  # rename dialog with the button, types TEXT into its field and presses OK
  probe select-row "$title" "$1" "$2" || fail "no row $2 in list $1"
  probe click "$title" "$3" || fail "button $3 is not enabled"
  probe wait-window "$4" 10000 || fail "no $4 dialog"
  probe set-text "$4" "$5" "$6" || fail "no name field in $4"
  probe press "$4" OK 5000 || fail "no OK button in $4"
  probe wait-gone "$4" 10000 || fail "the $4 dialog stayed"
}
events_wake_panel() {  # each event type, and a burst, wakes the panel's notificator, is
  # drained, and refreshes the pages as its type asks. One event at a time: each is drained
  # before the next, so each section is its own. A full refresh loads the channel list twice
  # (input and output channels).
  for type in 1 2 3 100; do
    simctl mark "event-$type" || fail "vesk_the simulator refused mark"
    simctl event "$type" || fail "vesk_the simulator refused event $type"
    section=$(wait_drained "event-$type" 1)
    grep -q '^signal 2$' <<<"$section" || fail "event $type was not signalled to the notificator"
    refreshes=$(grep -c '^ioctl 1 0x80882864 ' <<<"$section" || true)
    case $type in
    2 | 3) [ "$refreshes" = 2 ] || fail "event $type refreshed $((refreshes / 2)) times, not once" ;;
    *) ! grep -q '^ioctl 1 ' <<<"$section" || fail "event $type refreshed the pages" ;;
    esac
  done
  # A burst of three read by the panel in one go: one refresh for each of types 2 and 3.
  simctl mark burst
  simctl event 1 && simctl event 2 && simctl event 3 || fail "vesk_the simulator refused an event"
  section=$(wait_drained burst 3)
  [ "$(grep -c '^ioctl 1 0x80882864 ' <<<"$section")" = 4 ] || fail "the burst did not refresh twice"
}
