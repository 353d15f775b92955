#!/usr/bin/env bash
# The shipped panel, VESK_CPL.exe as released, against the kernel-mode simulated driver
# (vesk_sim.sys) under 64-bit Wine: the system's I/O manager between them, the panel's own event
# handle set by the driver, device-interface notices from the system. Usage: kernel.sh BINDIR
# TEST with the x64 build's BINDIR. Each test starts the driver, ends with the driver stopped,
# the panel ended by Quit, and no Wine process of its prefix left.
set -euo pipefail
bin=$1
test=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"
vesk_begin_test_session "$bin/VESK_CPL.exe" \
  "${VESK_KERNEL_WINEPREFIX:-$HOME/.cache/vesk-cpl/kernel-prefix}"
# The driver runs as a service: without a server that stays, it would end with the last
# program.
wineserver -p >/dev/null 2>&1 || true
vesk_unmanaged_windows

trace=$work/trace.txt
panel=$bin/VESK_CPL.exe
simctl() {  # a refused or failed command says so, also where the script does not check it
  local status=0
  wine "$bin/vesk_kernelctl.exe" "$@" || status=$?
  [ "$status" = 0 ] || echo "vesk_kernelctl $1 ended with status $status" >&2
  return "$status"
}
# shellcheck source=../e2e/lib.sh
. "$here/../e2e/lib.sh"

wine_processes() {  # the ids of this prefix's Wine processes
  local p exe
  for p in /proc/[0-9]*; do
    exe=$(readlink "$p/exe" 2>/dev/null) || continue
    case $exe in
    */wine*)
      tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
        echo "${p#/proc/}"
      ;;
    esac
  done
  return 0
}
driver_host() {  # the id of the process that has the driver loaded
  local id
  for id in $(wine_processes); do
    grep -q 'vesk_sim\.sys' "/proc/$id/maps" 2>/dev/null && echo "$id"
  done
  return 0
}
driver_gone() { [ -z "$(driver_host)" ]; }
start_driver() {  # start_driver [SCENARIO_JSON]: the driver, its state and its trace
  simctl start "$bin/vesk_sim.sys" || fail "the driver did not start"
  [ -n "$(driver_host)" ] || fail "no process has the driver loaded"
  if [ -n "${1:-}" ]; then
    echo "$1" >"$work/scenario.json"
    simctl scenario "$work/scenario.json" || fail "the scenario was refused"
  fi
  simctl trace "$trace" || fail "the driver cannot write its trace"
}
finish() {  # Quit, the driver stopped, and nothing of the test left running
  quit_panel
  simctl stop || fail "the driver did not stop"
  poll 10 driver_gone || fail "the driver stayed loaded after it was stopped"
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 "$VESK_WINESERVER" -w || fail "the Wine server did not end"
  # A process the server has let go of may still be ending: its last moments are not a leak.
  poll 5 no_wine_processes || fail "Wine processes were left: $(wine_processes_described)"
}
no_wine_processes() { [ -z "$(wine_processes)" ]; }
wine_processes_described() {  # each left process with its command line
  local id
  for id in $(wine_processes); do
    echo "$id $(tr '\0' ' ' <"/proc/$id/cmdline" 2>/dev/null)"
  done
}
succeeded() {  # succeeded CODE MARK: a request with that code succeeded after `mark MARK`
  [ "$(lines_after_mark "$2" "^ioctl 1 $1 .*-> 0x00000000")" -ge 1 ] ||
    fail "no successful request $1 after mark $2"
}

case $test in
version)
  # Interface 2.13 is refused: the panel runs as if no driver were there. 2.14 is accepted
  # when the driver's interface comes back.
  start_driver '{"version": {"interfaceMinor": 13}}'
  start_panel
  probe wait-pane "$title" 1 "0 Device(s) connected." 10000 || fail "2.13 was not refused"
  grep -q '^ioctl 1 0x80882804 .*out=020d' "$trace" || fail "no version request"
  grep -q '^close 1$' "$trace" || fail "the refused connection stayed open"
  simctl set '{"version": {"interfaceMinor": 14}}' || fail "set refused"
  simctl mark accepted
  simctl unload && simctl load || fail "the driver's interface did not come back"
  probe wait-pane "$title" 1 "3 Device(s) connected." 20000 || fail "2.14 was not accepted"
  [ "$(lines_after_mark accepted '^open [0-9]+ ')" -ge 1 ] || fail "no connection after arrival"
  finish
  ;;
replug)
  # Started without a driver; the device interface's arrival connects the panel, and a
  # device that goes away is gone from the panel after the driver's events.
  start_driver '{"loaded": false}'
  start_panel
  probe wait-pane "$title" 1 "0 Device(s) connected." 10000 || fail "pane 1 without driver"
  ! grep -q '^open ' "$trace" || fail "a driver that is not loaded was opened"
  simctl load || fail "load refused"
  wait_trace '^notify 0x8000'
  probe wait-pane "$title" 1 "3 Device(s) connected." 20000 || fail "arrival did not refresh"
  wait_trace '^ioctl 2 0x80882820 '
  simctl remove-device 0x1002 || fail "remove-device refused"
  probe wait-pane "$title" 1 "2 Device(s) connected." 20000 || fail "the removal was not shown"
  simctl mark unplug
  simctl unload
  wait_trace '^notify 0x8004'
  probe paint "$title"
  [ "$(lines_after_mark unplug '^(open|ioctl) ')" = 0 ] || fail "a removal while open reconnected"
  finish
  ;;
events)
  start_driver
  start_panel
  wait_trace '^ioctl 2 0x80882820 '
  events_wake_panel
  finish
  ;;
pages)
  start_driver
  start_panel
  # Reads: every page's, at start-up.
  for code in 0x80882804 0x80882810 0x80882860 0x80882864 0x80882880 0x80882888 0x808828c0 \
    0x80882900 0x80882920 0x80882928 0x80882980 0x80882a80 0x80882a88 0x80882a90; do
    grep -q "^ioctl 1 $code .*-> 0x00000000" "$trace" || fail "start-up did not read $code"
  done
  # Devices: a new name and a new ranking.
  simctl mark devices
  rename_row 1001 1 1079 "Edit Device Name" 1005 "Renamed in kernel"
  probe click "$title" 1085 || fail "Up is not enabled"
  probe click "$title" 1086 || fail "Apply is not enabled"
  wait_trace '^ioctl 1 0x80882924 '
  succeeded 0x80882924 devices
  # Channels: a channel's name, and the include-device-name box.
  probe select-page "$title" 1
  probe wait-pane "$title" 0 "Input Channels" 10000 || fail "no Input Channels page"
  simctl mark channels
  rename_row 1007 0 1080 "Edit Channel Name" 1021 "Kernel In"
  wait_trace '^ioctl 1 0x80882984 '
  probe click "$title" 1027 || fail "no include-device-name box"
  wait_trace '^ioctl 1 0x80882814 '
  succeeded 0x80882984 channels
  succeeded 0x80882814 channels
  # Synchronisation: the sampling rate, then the manual rate mode with the clock master.
  probe select-page "$title" 3
  probe wait-pane "$title" 0 "Synchronisation" 10000 || fail "no Synchronisation page"
  # The driver's own status comes back to the panel unchanged through the I/O manager.
  simctl set '{"wdmInUse": true}' || fail "set refused"
  probe combo-select "$title" 1044 0 || fail "no rate combo box"
  probe click "$title" 1073 || fail "no rate Apply button"
  probe wait-window "VESK_CPL" 20000 || fail "no message box for a WDM device in use"
  probe press "VESK_CPL" OK 5000 || fail "no OK button"
  probe wait-gone "VESK_CPL" 10000 || fail "the message box stayed"
  grep -q '^ioctl 1 0x808828c4 .*-> 0xe0000047' "$trace" || fail "the rate was not refused"
  simctl set '{"wdmInUse": false}' || fail "set refused"
  simctl mark synchronisation
  probe combo-select "$title" 1044 0 || fail "no rate combo box"
  probe click "$title" 1073 || fail "no rate Apply button"
  wait_trace '^ioctl 1 0x808828c4 .*-> 0x00000000'
  probe click "$title" 1088 || fail "no manual rate button"
  probe click "$title" 1070 || fail "the synchronisation Apply is not enabled"
  wait_trace '^ioctl 1 0x80882a00 '
  for code in 0x808828c4 0x80882a04 0x80882884 0x8088288c 0x80882904 0x80882a00; do
    succeeded $code synchronisation
  done
  # Settings: the ASIO buffer depth, and the statistics while the page is shown.
  probe select-page "$title" 4
  probe wait-pane "$title" 0 "Settings" 10000 || fail "no Settings page"
  simctl mark settings
  probe slide "$title" 1053 40 || fail "no ASIO slider" # 40 steps of 125 µs
  probe click "$title" 1035 || fail "the ASIO Apply is not enabled"
  wait_trace '^ioctl 1 0x80882a8c '
  wait_trace '^ioctl 1 0x80882ac8 '
  succeeded 0x80882a8c settings
  # What was written is what the driver holds.
  simctl dump "$work/dump.json" || fail "dump refused"
  for text in '"Renamed in kernel"' '"Kernel In"' '"asioNameIncludesDevice": 1' \
    '"current": 5000'; do
    grep -qF "$text" "$work/dump.json" || fail "the driver does not hold $text"
  done
  finish
  ;;
veskcfg)
  # The shipped console program against the same driver while the panel runs: its status, a
  # backup, a rename and a restore that the panel shows at once (it is asked to read again),
  # and a refused file that writes nothing.
  start_driver
  start_panel
  # A UTF-8 locale, so that Wine hands the program the names typed here as they are.
  cfg() { LC_ALL=C.UTF-8 wine "$bin/veskcfg.exe" "$@" 2>>"$work/veskcfg-stderr.txt"; }
  shows() { probe list "$title" 1001 | grep -qF "$1"; }
  cfg status --json >"$work/status.json" || fail "status failed: $(tail -3 "$work/veskcfg-stderr.txt")"
  for text in '"format": "vesk-driver-status"' '"serial": "SN-000123"' '"allStreaming": true'; do
    grep -qF "$text" "$work/status.json" || fail "status does not say $text"
  done
  # Redirected, the report for people is UTF-8 with Windows' line ends.
  cfg status >"$work/status.txt" || fail "status failed"
  grep -q $'2000 \xc2\xb5s\r$' "$work/status.txt" || fail "the redirected report is not UTF-8 with CR LF"
  cfg export - >"$work/backup.json" || fail "export failed"
  grep -qF '"name": "Studio Interface"' "$work/backup.json" || fail "the backup lacks the name"
  # A folder and a file whose names no 8-bit code page holds, as a user's profile may have.
  mkdir -p "$work/Łódź 日本"
  unicode_path=$(wine winepath -w "$work/Łódź 日本/studio ß.json" 2>/dev/null)
  cfg export "$unicode_path" >/dev/null || fail "export to a Unicode path failed"
  cmp -s "$work/backup.json" "$work/Łódź 日本/studio ß.json" ||
    fail "the export by a Unicode path is not the backup"
  # A name the code page cannot hold is refused and nothing is written; one it holds (é in
  # 1252, not UTF-8 as the driver keeps it) is written and dumped as it is.
  simctl mark unicode
  status=0
  cfg rename device SN-000123 "Łódź" >/dev/null || status=$?
  [ "$status" = 1 ] || fail "a name the code page cannot hold ended with $status"
  grep -qF 'U+0141' "$work/veskcfg-stderr.txt" || fail "the refused character is not named"
  [ "$(lines_after_mark unicode '^ioctl [0-9]+ 0x80882a8c ')" = 0 ] || fail "the refused name was written"
  cfg rename device SN-000123 "Café" >/dev/null || fail "a name the code page holds was refused"
  simctl dump "$work/cafe.json" || fail "a name of the code page cannot be dumped"
  grep -qF '"name": "Café"' "$work/cafe.json" || fail "the dump does not hold Café"
  status=0
  cfg export - >/dev/full || status=$?
  [ "$status" = 1 ] || fail "an export to a full disk ended with $status"
  cfg rename device SN-000123 "Renamed by veskcfg" >/dev/null || fail "rename failed"
  poll 20 shows "Renamed by veskcfg" || fail "the panel does not show the new name"
  cfg import "$unicode_path" >"$work/import.txt" || fail "import failed"
  grep -qF 'changed: device SN-000123: name "Renamed by veskcfg" -> "Studio Interface"' \
    "$work/import.txt" || fail "the import said: $(cat "$work/import.txt")"
  poll 20 shows "Studio Interface" || fail "the panel does not show the restored name"
  sed 's/"streamUs": 2000/"streamUs": 2001/; s/"Studio Interface"/"Not written"/' \
    "$work/backup.json" >"$work/invalid.json"
  simctl mark refused
  status=0
  cfg import - <"$work/invalid.json" >/dev/null || status=$?
  [ "$status" = 1 ] || fail "an invalid file ended with $status"
  grep -qF 'bufferDepths.streamUs: 2001' "$work/veskcfg-stderr.txt" || fail "the error is not named"
  [ "$(lines_after_mark refused '^ioctl [0-9]+ 0x8088(2814|2884|288c|28c4|2904|2924|2984|2a00|2a04|2a84|2a8c|2a94) ')" = 0 ] ||
    fail "the refused file wrote to the driver"
  finish
  ;;
japanese)
  # A Japanese system (display language Japanese, code page 932) with the shipped programs: the
  # panel shows its Japanese texts; a device renamed in Japanese through the rename dialog shows
  # so in the Devices and the Synchronisation lists; a name of 40 bytes is cut to 38, never
  # inside a character; veskcfg exports the name as UTF-8 and its import restores it.
  export LANG=ja_JP.UTF-8
  start_driver
  start_panel
  cfg() { wine "$bin/veskcfg.exe" "$@" 2>>"$work/veskcfg-stderr.txt"; }
  cell() { probe list "$title" "$1" | iconv -f CP932 -t UTF-8 | tr -d '\r' | grep -F "$2"; }
  shows() { cell "$1" "$2" >/dev/null; }
  rename() { rename_row 1001 0 1079 "デバイス名の編集" 1005 "$1"; }
  probe tree "$title" | iconv -f CP932 -t UTF-8 | grep -qF "デバイス" ||
    fail "the pages are not in Japanese"
  rename "スタジオ録音室"
  poll 20 shows 1001 "スタジオ録音室" || fail "the Devices list does not show the Japanese name"
  long=$(printf 'ソ%.0s' $(seq 20))
  rename "$long"
  # Cut inside a character, the name would end in a lone lead byte, which iconv refuses.
  named() { probe list "$title" 1001 | iconv -f CP932 -t UTF-8 | cut -f1 | tr -d '\r' | grep -qx "$1"; }
  poll 20 named "${long:0:19}" || fail "the 40-byte name was not cut to 19 whole characters"
  probe select-page "$title" 3
  poll 20 shows 1063 "${long:0:19}" || fail "the Synchronisation list does not show the name"
  probe select-page "$title" 0
  cfg export "$(wine winepath -w "$work/backup.json" 2>/dev/null)" >/dev/null ||
    fail "export failed: $(tail -3 "$work/veskcfg-stderr.txt")"
  grep -qF "\"name\": \"${long:0:19}\"" "$work/backup.json" || fail "the backup lacks the name"
  rename "別名"
  poll 20 shows 1001 "別名" || fail "the second rename does not show"
  cfg import "$(wine winepath -w "$work/backup.json" 2>/dev/null)" >/dev/null ||
    fail "import failed: $(tail -3 "$work/veskcfg-stderr.txt")"
  poll 20 shows 1001 "${long:0:19}" || fail "the import did not restore the Japanese name"
  finish
  ;;
*)
  echo "unknown test $test" >&2
  exit 2
  ;;
esac
echo "PASS: $test"
