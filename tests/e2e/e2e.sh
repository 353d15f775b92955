#!/usr/bin/env bash
# End-to-end tests: VESK_CPL_sim.exe, vesk_simctl.exe and vesk_probe.exe as separate processes
# under Wine. Usage: e2e.sh BINDIR TEST, with the x86 or the x64 build's BINDIR (each runs in a
# prefix of its own architecture). Every wait is bounded; every Wine process of the test's
# prefix is ended when the test ends, whether it passed or not. A panel that crashes, or whose
# process does not end by itself after Quit, fails the test.
set -Eeuo pipefail
# A step that fails without a message of its own still says which one it was.
trap 'echo "FAIL: e2e.sh line $LINENO: $BASH_COMMAND" >&2' ERR
bin=$1
test=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"
vesk_begin_test_session "$bin/VESK_CPL_sim.exe" \
  "${VESK_E2E_WINEPREFIX:-$HOME/.cache/vesk-cpl/e2e-prefix}"
wineserver -p >/dev/null 2>&1 || true
vesk_unmanaged_windows

export VESK_SIM_TRACE="$work/trace.txt"
trace=$VESK_SIM_TRACE
panel=$bin/VESK_CPL_sim.exe
simctl() { wine "$bin/vesk_simctl.exe" "$@"; }
# shellcheck source=lib.sh
. "$here/lib.sh"

case $test in
languages)
  # Every page and dialog in every language and in the test build's pseudo-language, at 96, 144
  # and 192 DPI, from another process: every text whole in its control, list headers within their
  # columns, no two controls on top of each other, every control a user can tab to named. The
  # languages come as Windows gives them, from the user's locale (Wine takes it from LANG).
  # VESK_E2E_LANGUAGES / VESK_E2E_DPIS choose fewer.
  # VESK_E2E_LAYOUT_REPORT=1 lists every fault of every language instead of stopping.
  check() {  # check WINDOW WHAT
    probe paint "$1" || fail "$2: the window did not paint"
    if ! probe layout-check "$1" >"$work/layout.txt" 2>&1; then
      [ "${VESK_E2E_LAYOUT_REPORT:-0}" = 1 ] || fail "$2: $(cat "$work/layout.txt")"
      sed "s/^/$2: /" "$work/layout.txt" >&2
    fi
    probe acc-check "$1" >"$work/acc.txt" 2>&1 || fail "$2: $(cat "$work/acc.txt")"
  }
  check_dialog() {  # check_dialog WHAT: the open modal dialog, then Cancel (or close)
    probe wait-window class=#32770 10000 || fail "$1 did not open"
    check class=#32770 "$1"
    probe command class=#32770 2 || fail "$1 could not be told to close"
    probe wait-gone class=#32770 10000 || fail "$1 did not close"
  }
  for dpi in ${VESK_E2E_DPIS:-96 144 192}; do
    vesk_set_dpi "$dpi"
    for lang in ${VESK_E2E_LANGUAGES:-en_US de_DE fr_FR es_ES it_IT ja_JP zh_CN pseudo}; do
      if [ "$lang" = pseudo ]; then
        export LANG=C.UTF-8 VESK_SIM_PSEUDO_LANGUAGE=1
      else
        export LANG=$lang.UTF-8 VESK_SIM_PSEUDO_LANGUAGE=0
      fi
      start_panel
      pages=$(probe tree "$title" | wc -l)
      for ((page = 0; page < pages; page++)); do
        probe select-page "$title" "$page" || fail "no page $page"
        check "$title" "$lang at $dpi DPI, page $page"
        # The dialog each page opens: the list, the row (the PC driver's row has no modes),
        # the button.
        dialog=
        case $page in
        0) dialog="1001 0 1079 device name dialog" ;;
        1) dialog="1007 0 1080 channel name dialog" ;;
        3) dialog="1063 1 1071 synchronisation mode dialog" ;;
        esac
        if [ -n "$dialog" ]; then
          read -r list row button what <<<"$dialog"
          probe select-row "$title" "$list" "$row" || fail "no row $row in list $list"
          probe click "$title" "$button" || fail "button $button is not enabled"
          check_dialog "$lang at $dpi DPI, $what"
        fi
      done
      probe command "$title" 57664 # the About box
      check_dialog "$lang at $dpi DPI, About box"
      if [ "$lang" = en_US ] && [ "$dpi" = 96 ]; then
        # The check finds a label cut off: the stream depth's, squeezed to a few pixels.
        probe select-page "$title" "$((pages - 1))" || fail "no last page"
        probe squeeze "$title" 1058 12 || fail "the label could not be squeezed"
        ! probe layout-check "$title" >"$work/layout.txt" 2>&1 ||
          fail "the layout check did not find a label cut off"
        grep -q " 1058 " "$work/layout.txt" || fail "the layout check named another control"
      fi
      quit_panel
    done
  done
  vesk_set_dpi 96
  # A Japanese display language on a system whose code page is 1252: English, never question
  # marks.
  export LANG=C.UTF-8 LC_MESSAGES=ja_JP.UTF-8 VESK_SIM_PSEUDO_LANGUAGE=0
  [ "$(probe locale | tr -d '\r')" = "ui=0x0411 acp=1252" ] ||
    fail "Wine did not give Japanese on code page 1252: $(probe locale)"
  start_panel
  probe tree "$title" | grep -q "Input Channels" || fail "Japanese on code page 1252 is not English"
  quit_panel
  ;;
accessibility)
  # What a screen reader reads, from another process: every control a user can tab to on every
  # page has a name of its own; each slider's value is the text beside it, before and after a
  # move, and a move is announced once; a new drop-out count is announced.
  start_panel
  # Nothing of COM or the accessibility library is loaded before a screen reader asks.
  loaded() { grep -qi "$1" "/proc/$panel_pid/maps"; }
  ! loaded oleacc.dll || fail "oleacc.dll was loaded at start-up"
  pages=$(probe tree "$title" | wc -l)
  for ((page = 0; page < pages; page++)); do
    probe select-page "$title" "$page" || fail "no page $page"
    probe paint "$title"
    probe acc-check "$title" >"$work/acc-$page.txt" 2>&1 ||
      fail "page $page: $(cat "$work/acc-$page.txt")"
    [ -z "${VESK_E2E_SHOW:-}" ] || cat "$work/acc-$page.txt" >&2
  done
  loaded oleacc.dll || fail "the first request loaded no oleacc.dll (is the check looking at the panel?)"
  probe select-page "$title" "$((pages - 1))"
  probe wait-pane "$title" 0 "Settings" 10000 || fail "the last page is not Settings"
  for pair in "1048 1050" "1053 1054" "1056 1057"; do
    read -r slider text <<<"$pair"
    probe acc-value "$title" "$slider" "$text" || fail "slider $slider's value is not its text"
  done
  [ "$(probe acc-slide "$title" 1048 20 | tr -d '\r')" = 1 ] || fail "a move was not announced once"
  probe acc-value "$title" 1048 1050 || fail "the moved slider's value is not its text"
  [ "$(probe acc-slide "$title" 1048 20 | tr -d '\r')" = 0 ] || fail "a move to the same place was announced"
  [ "$(probe acc-key "$title" 1053 right | tr -d '\r')" = 1 ] || fail "a key press was not announced once"
  probe acc-value "$title" 1053 1054 || fail "after a key press the value is not the text"
  # The slider's own event is the one for a move (Windows' slider raises it; the probe counts
  # it for Wine's, which raises none). A text beside a slider that changes while the slider
  # stays (the same depth, other samples) is the panel's to announce.
  probe acc-wait-event "$title" 1056 value 20000 >"$work/samples.txt" &
  waiter=$!
  poll 20 grep -q ready "$work/samples.txt" || fail "the event hook was not set"
  simctl set '{"wdmBufferDepth": {"samples": 999}}' || fail "set refused"
  simctl event 3 || fail "event refused"
  wait "$waiter" || fail "new samples beside a slider that stayed were not announced"
  probe acc-value "$title" 1056 1057 || fail "after new samples the value is not the text"
  # A minute of the idle page (sixty polls of the statistics) announces nothing.
  probe acc-quiet "$title" 1038 "$(wine winepath -w "$trace" | tr -d '\r')" 0x80882ac8 60 ||
    fail "the idle Settings page raised events"
  probe acc-wait-event "$title" 1038 name 20000 >"$work/dropouts.txt" &
  waiter=$!
  poll 20 grep -q ready "$work/dropouts.txt" || fail "the event hook was not set"
  simctl dropouts 7 || fail "dropouts refused"
  wait "$waiter" || fail "the new drop-out count was not announced"
  # The dialogs: every control named there too.
  check_dialog() {  # check_dialog PAGE LIST ROW BUTTON CAPTION
    probe select-page "$title" "$1"
    probe select-row "$title" "$2" "$3" || fail "no row $3 in list $2"
    probe click "$title" "$4" || fail "button $4 is not enabled"
    probe wait-window "$5" 10000 || fail "no dialog $5"
    probe acc-check "$5" >"$work/acc-dialog.txt" 2>&1 || fail "$5: $(cat "$work/acc-dialog.txt")"
    probe press "$5" Cancel 5000 || fail "$5 has no Cancel"
    probe wait-gone "$5" 10000 || fail "$5 stayed"
  }
  check_dialog 0 1001 0 1079 "Edit Device Name"
  check_dialog 1 1007 0 1080 "Edit Channel Name"
  check_dialog 3 1063 1 1071 "Device Synchronisation Mode"
  # The icon's menu from the keyboard (the shell sends the right button's messages for a
  # version-0 icon), and the focus back where it was once the menu is gone.
  probe select-page "$title" 0
  probe select-row "$title" 1001 0
  focused=$(probe focus "$title" | tr -d '\r')
  [ -n "$focused" ] || fail "nothing has the focus"
  probe tray "$title" 0x204 && probe tray "$title" 0x205
  probe wait-menu open 10000 || fail "the keyboard's messages opened no menu"
  probe menu-key "$title" escape
  probe wait-menu closed 10000 || fail "escape left the menu open"
  poll 10 test "$(probe focus "$title" | tr -d '\r')" = "$focused" ||
    fail "the focus went to $(probe focus "$title") instead of $focused"
  quit_panel
  ;;
planting)
  # The shipped panel run from a download folder that also holds an oleacc.dll, with Wine
  # told to prefer such a DLL as Windows' loader does for one that is not a KnownDLL: a screen
  # reader's first request loads the system's library, not the planted one.
  downloads="$work/Downloads"
  mkdir -p "$downloads"
  cp "$bin/VESK_CPL.exe" "$bin/vesk_bare_load.exe" "$bin/planted/oleacc.dll" "$downloads/"
  export WINEDLLOVERRIDES="oleacc=n,b"
  # The setting works: a program that loads the library by its bare name gets the planted one.
  wine "$downloads/vesk_bare_load.exe" >/dev/null 2>&1 || true
  [ -e "$downloads/planted-loaded.txt" ] || fail "a bare load did not load the planted DLL"
  rm "$downloads/planted-loaded.txt"
  panel=$downloads/VESK_CPL.exe
  start_panel
  probe acc-check "$title" >"$work/acc.txt" 2>&1 || fail "no client object: $(cat "$work/acc.txt")"
  grep -i 'oleacc.dll' "/proc/$panel_pid/maps" | grep -qv Downloads ||
    fail "the panel loaded no oleacc.dll from the system folder"
  [ ! -e "$downloads/planted-loaded.txt" ] || fail "the panel loaded the planted oleacc.dll"
  quit_panel
  ;;
handover)
  start_panel
  probe syscommand "$title" 0xF060 # the title bar's close button
  wait_state visible=0
  # A start that hands over starts no simulator: it writes no trace of its own.
  VESK_SIM_TRACE="$work/second-start.txt" second_start
  [ ! -e "$work/second-start.txt" ] || fail "a second start ran the simulator"
  wait_state visible=1
  expect_state foreground=1
  probe wait-pane "$title" 0 "Devices" 5000 || fail "the page changed on a plain second start"
  second_start -ASIO
  probe wait-pane "$title" 0 "Settings" 10000 || fail "-asio did not switch to Settings"
  probe tree "$title" | tr -d '\r' | grep -qx '\* Settings' || fail "-asio did not select Settings"
  probe minimize "$title" || fail "the panel could not be minimised"
  wait_state iconic=1
  second_start
  wait_state iconic=0
  expect_state visible=1
  # Only the first instance ran the simulator: one trace, one open of the main connection.
  [ "$(grep -c '^open 1 ' "$trace")" = 1 ] || fail "another start opened the driver"
  quit_panel
  ;;
exit)
  second_start -exit -hide
  second_start -asio -EXIT
  probe wait-gone "$title" 1000 || fail "-exit without an instance made a window"
  probe wait-gone "class=VeskDriverSimulator" 1000 || fail "-exit showed the simulator"
  [ ! -e "$trace" ] || fail "-exit started the simulator"
  start_panel -hide
  frame=$(probe find "$title" | tr -d '\r')
  probe icon "$frame" || fail "the running panel has no icon"
  second_start -Exit
  probe wait-gone "$title" 20000 || fail "-exit did not end the running panel"
  panel_ended
  ! probe icon "$frame" || fail "the icon stayed after -exit"
  # -exit waits for the panel's process and says when it did not end (an installer must not
  # go on to replace files in use): a stopped panel cannot take its Quit.
  start_panel -hide
  kill -STOP "$panel_pid"
  status=0
  WINEDEBUG=$vesk_wine_checks timeout 60 "$VESK_WINE" "$panel" -exit >/dev/null 2>&1 || status=$?
  kill -CONT "$panel_pid"
  [ "$status" = 1 ] || fail "-exit on a panel that did not end returned $status, not 1"
  panel_ended
  ;;
tray)
  start_panel -hide
  expect_state visible=0
  frame=$(probe find "$title" | tr -d '\r')
  probe icon "$frame" || fail "-hide left no icon in the notification area"
  probe tray "$title" 0x202            # a button release changes nothing
  probe tray "$title" 0x201 0x12345678 # nor does another icon's left button
  # Messages are handled in order: once the menu of the next one is open, those two are done.
  probe tray "$title" 0x204
  probe wait-menu open 10000 || fail "the right button opened no menu"
  expect_state visible=0
  probe menu-key "$title" O # "&Open"
  probe wait-menu closed 10000 || fail "the menu stayed open"
  wait_state visible=1
  probe syscommand "$title" 0xF060
  wait_state visible=0
  kill -0 "$panel_pid" || fail "closing the window ended the program"
  probe icon "$frame" || fail "hiding removed the icon"
  # A shell that starts again holds no icons: its broadcast brings the panel's back.
  probe drop-icon "$frame" || fail "the shell did not drop the icon"
  ! probe icon "$frame" || fail "the dropped icon is still there"
  probe taskbar-created || fail "TaskbarCreated could not be broadcast"
  probe wait-icon "$frame" 10000 || fail "the icon did not come back for a new shell"
  probe tray "$title" 0x201 # left button: shown and in front
  wait_state visible=1
  expect_state foreground=1
  probe tray "$title" 0x206 # a right double-click opens the menu too
  probe wait-menu open 10000 || fail "the right double-click opened no menu"
  probe menu-key "$title" Q # "&Quit"
  probe wait-gone "$title" 20000 || fail "Quit did not end the panel"
  panel_ended
  ! probe icon "$frame" || fail "the icon stayed after Quit"
  ;;
events)
  start_panel
  wait_trace '^ioctl 2 0x80882820 '
  events_wake_panel
  simctl nonsense && fail "vesk_simctl accepted an unknown command"
  [ "$(simctl nonsense >/dev/null 2>&1; echo $?)" = 3 ] || fail "refused command not exit 3"
  quit_panel
  [ "$(simctl mark x >/dev/null 2>&1; echo $?)" = 2 ] || fail "no simulator not exit 2"
  ;;
replug)
  echo '{"loaded": false}' >"$work/scenario.json"
  export VESK_SIM_SCENARIO="$work/scenario.json"
  start_panel
  probe wait-pane "$title" 1 "0 Device(s) connected." 10000 || fail "pane 1 without driver"
  simctl load || fail "load refused"
  wait_trace '^notify 0x8000'
  probe wait-pane "$title" 1 "3 Device(s) connected." 20000 || fail "arrival did not refresh"
  grep -q '^open 1 ' "$trace" || fail "arrival did not open the main connection"
  wait_trace '^ioctl 2 0x80882820 '
  simctl mark unplug
  simctl unload
  wait_trace '^notify 0x8004'
  # While the connection is open a removal changes nothing: no request after it.
  probe paint "$title"
  [ "$(lines_after_mark unplug '^(open|ioctl) ')" = 0 ] || fail "a removal while open reconnected"
  quit_panel
  ;;
wdm)
  start_panel
  simctl set '{"wdmInUse": true}' || fail "set refused"
  probe select-page "$title" 3
  probe wait-pane "$title" 0 "Synchronisation" 10000 || fail "no Synchronisation page"
  probe combo-select "$title" 1044 0 || fail "no rate combo box"
  simctl mark rate-apply
  probe click "$title" 1073 || fail "no rate Apply button"
  probe wait-window "VESK_CPL" 20000 || fail "no message box"
  probe find-text "VESK_CPL" $'A WDM sound device is currently in use.\nSampling rate cannot be changed.' \
    5000 || fail "the message box has another text"
  probe press "VESK_CPL" OK 5000 || fail "no OK button"
  probe wait-gone "VESK_CPL" 10000 || fail "the message box stayed"
  [ "$(lines_after_mark rate-apply '^ioctl 1 0x808828c4 .*-> 0xe0000047')" = 1 ] ||
    fail "the rate was not refused as in use"
  probe wait-pane "$title" 2 "Current sampling rate: 48.0 kHz" 10000 || fail "rate changed"
  quit_panel
  ;;
session)
  # A session of changes, then Quit from the icon's menu while the window is hidden: the
  # process ends cleanly (its way out once wrote into memory that was already freed).
  start_panel
  for page in 1 2 3 4 0; do probe select-page "$title" "$page"; done
  probe wait-pane "$title" 0 "Devices" 10000 || fail "no Devices page"
  rename_row 1001 1 1079 "Edit Device Name" 1005 "Renamed in session"
  probe list "$title" 1001 | tr -d '\r' | sed -n 2p | grep -q '^Renamed in session' ||
    fail "the renamed device is not shown"
  probe click "$title" 1085 || fail "Up is not enabled"
  probe click "$title" 1086 || fail "Apply is not enabled"
  wait_trace '^ioctl 1 0x80882924 '
  probe paint "$title"
  probe list "$title" 1001 | tr -d '\r' | sed -n 1p | grep -q '^Renamed in session' ||
    fail "the ranking was not applied"
  probe syscommand "$title" 0xF060
  wait_state visible=0
  probe tray "$title" 0x204
  probe wait-menu open 10000 || fail "the right button opened no menu"
  probe menu-key "$title" Q
  probe wait-gone "$title" 20000 || fail "Quit did not end the panel"
  panel_ended
  ;;
*)
  echo "unknown test $test" >&2
  exit 2
  ;;
esac
echo "PASS: $test"
