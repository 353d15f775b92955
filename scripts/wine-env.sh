# Sourced by the scripts that run Windows programs: which Windows architectures this machine
# runs, Wine for one of them with a prefix of the project's own (made once), and a display
# (an Xvfb of the tests' own).
#
# x86 programs need wine32 and a kernel that executes 32-bit programs; x64 programs need
# wine64. Each architecture has its own prefix: a win32 prefix for x86, a win64 prefix for x64.
# After `vesk_wine_use ARCH`, `wine` and `wineserver` (shell functions) and "$VESK_WINE" and
# "$VESK_WINESERVER" (for commands such as timeout) run that architecture's Wine.
export WINEDEBUG=-all
# No Gecko or Mono downloads, and no menu entries or file associations on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Where Debian puts the loaders and servers (another folder only to try these scripts).
vesk_wine_dir=${VESK_WINE_DIR:-/usr/lib/wine}
vesk_scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# QEMU for 32-bit programs where the kernel does not run them (scripts/install-deps fetches it).
vesk_qemu_i386=${VESK_QEMU_I386:-$vesk_scripts_dir/../build/tools/qemu-i386}

# vesk_in_x86_namespace COMMAND...: COMMAND in private user, mount and PID namespaces where
# 32-bit programs run through QEMU. Everything it starts ends with it; nothing outside changes.
vesk_in_x86_namespace() {
  unshare --user --map-root-user --mount --pid --fork --mount-proc --kill-child \
    "$vesk_scripts_dir/x86-emulated" "$(realpath "$vesk_qemu_i386")" "$@"
}

# vesk_x86_emulation_unavailable: prints why 32-bit programs cannot be emulated here and fails;
# succeeds silently when they can.
vesk_x86_emulation_unavailable() {
  if [ ! -x "$vesk_qemu_i386" ]; then
    echo "no qemu-i386 in build/tools (scripts/install-deps fetches it)"
    return 0
  fi
  if ! vesk_in_x86_namespace "$vesk_wine_dir/wine" --version >/dev/null 2>&1; then
    echo "no namespace with a binfmt_misc of its own (needs Linux 6.7 and user namespaces)"
    return 0
  fi
  return 1
}
vesk_marlett=/usr/share/wine/fonts/marlett.ttf

# vesk_wine_unavailable ARCH: prints why this machine cannot run ARCH's Windows programs and
# fails; succeeds silently when it can.
vesk_wine_unavailable() {
  local loader output
  case $1 in
  x86) loader=$vesk_wine_dir/wine ;;
  x64) loader=$vesk_wine_dir/wine64 ;;
  *)
    echo "unknown Windows architecture $1"
    return 0
    ;;
  esac
  if [ ! -x "$loader" ]; then
    case $1 in
    x86) echo "wine32 is not installed" ;;
    x64) echo "wine64 is not installed" ;;
    esac
    return 0
  fi
  if ! output=$("$loader" --version 2>&1); then
    if [ "$1" = x86 ] && grep -qi 'exec format error' <<<"$output"; then
      echo "this machine's kernel does not run 32-bit programs"
    else
      echo "$loader does not start: ${output:-no output}"
    fi
    return 0
  fi
  return 1
}

# vesk_wine_arches: the architectures this machine runs, x86 first. VESK_WINE_ARCHES (for
# example "x64") narrows them down.
vesk_wine_arches() {
  local arch found=()
  for arch in ${VESK_WINE_ARCHES:-x86 x64}; do
    vesk_wine_unavailable "$arch" >/dev/null || found+=("$arch")
  done
  echo "${found[*]}"
}

# vesk_exe_arch FILE: x86 or x64, from the machine field of the program's PE header.
vesk_exe_arch() {
  local pe machine
  pe=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j $((pe + 4)) -N 2 "$1" | tr -d ' ')
  case $machine in
  014c) echo x86 ;;
  8664) echo x64 ;;
  *) echo "unknown" ;;
  esac
}

# vesk_arch_prefix BASE: the prefix folder for the chosen architecture (BASE for x86).
vesk_arch_prefix() {
  if [ "$VESK_WINE_ARCH" = x64 ]; then echo "$1-x64"; else echo "$1"; fi
}

# vesk_wine_use ARCH: runs ARCH's programs from now on, in the project's prefix for ARCH
# ($VESK_WINEPREFIX, or ~/.cache/vesk-cpl/wineprefix, with "-x64" added for x64).
vesk_wine_use() {
  local why
  if why=$(vesk_wine_unavailable "$1"); then
    echo "$1: cannot run Windows programs here: $why" >&2
    return 1
  fi
  export VESK_WINE_ARCH=$1
  case $1 in
  x86)
    export WINEARCH=win32
    export VESK_WINE=$vesk_wine_dir/wine
    export VESK_WINESERVER=$vesk_wine_dir/wineserver
    unset WINELOADER WINESERVER
    ;;
  x64)
    export WINEARCH=win64
    export VESK_WINE=$vesk_wine_dir/wine64
    export VESK_WINESERVER=$vesk_wine_dir/wineserver64
    # The loader starts this server and re-executes itself for programs it starts.
    export WINELOADER=$VESK_WINE
    export WINESERVER=$VESK_WINESERVER
    ;;
  esac
  WINEPREFIX=$(vesk_arch_prefix "${VESK_WINEPREFIX:-$HOME/.cache/vesk-cpl/wineprefix}")
  export WINEPREFIX
}

# vesk_wine_use_for FILE: the architecture of that Windows program.
vesk_wine_use_for() {
  local arch
  arch=$(vesk_exe_arch "$1")
  [ "$arch" != unknown ] || {
    echo "$1 is not an x86 or x64 Windows program" >&2
    return 1
  }
  vesk_wine_use "$arch"
}

# Wine's checks of every Windows program a test runs: each heap call validates its arguments
# (double and foreign frees, freed blocks) and reports what it finds as "warn:heap" or
# "err:heap"; an exception that escapes a window procedure or hook, which the system would
# otherwise swallow and go on, is reported as "err:seh".
vesk_wine_checks=-all,warn+heap,err+heap,err+seh
# vesk_check_reports FILE: prints the reports of those checks in a program's standard error;
# fails when there are none.
vesk_check_reports() {
  grep -E '^[0-9a-f]+:(warn|err):heap:|^[0-9a-f]+:err:seh:' "$1"
}

wine() { "$VESK_WINE" "$@"; }
wineserver() { "$VESK_WINESERVER" "$@"; }

# vesk_start_xvfb: a display of the tests' own, whatever DISPLAY says: an Xvfb of a fixed size
# (VESK_XVFB_SIZE, 1280x1024 by default) on a display number that is free, which it ends in
# vesk_end_wine_session. A script started by one that made such a display (a test under
# scripts/test) uses that one: VESK_TEST_DISPLAY names it, and it is taken only while it answers
# with the size wanted.
vesk_start_xvfb() {
  local size=${VESK_XVFB_SIZE:-1280x1024}
  # (Not through a pipe: with pipefail, grep's early exit would fail xdpyinfo now and then.)
  if [ -n "${VESK_TEST_DISPLAY:-}" ] &&
    grep -q "dimensions: *$size pixels" <<<"$(xdpyinfo -display "$VESK_TEST_DISPLAY" 2>/dev/null)"; then
    export DISPLAY=$VESK_TEST_DISPLAY
    return 0
  fi
  # Xvfb picks the number and writes it into the pipe once it accepts connections.
  local pipe number=
  pipe=$(mktemp -u)
  mkfifo "$pipe"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$pipe" >/dev/null 2>&1 &
  vesk_started_xvfb=$!
  exec 4<"$pipe"
  rm -f "$pipe"
  read -r -t 30 -u 4 number || true
  exec 4<&-
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2
    kill "$vesk_started_xvfb" 2>/dev/null || true
    vesk_started_xvfb=
    return 1
  fi
  export DISPLAY=":$number" VESK_TEST_DISPLAY=":$number"
}

# vesk_use_display: for a person at the screen: the display DISPLAY names when it answers,
# else one of the tests' own (vesk_start_xvfb).
vesk_use_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
  vesk_start_xvfb
}

# vesk_make_wineprefix: makes $WINEPREFIX once for the chosen architecture; says why and fails
# when Wine could not make it. A program that crashes there ends at once, with Wine's
# backtrace on its standard error, instead of waiting in Wine's crash dialog. Wine takes many
# seconds to make a prefix, so it makes one once per architecture, a template that nothing
# runs in ($VESK_TEMPLATE_PREFIX, or ~/.cache/vesk-cpl/template-prefix, "-x64" added for x64),
# and every other prefix starts as a copy of it.
vesk_make_wineprefix() {
  [ -n "${VESK_WINE_ARCH:-}" ] || vesk_wine_use x86 || return 1
  if [ ! -f "$WINEPREFIX/.vesk-ready-2" ]; then
    local template
    template=$(vesk_arch_prefix "${VESK_TEMPLATE_PREFIX:-$HOME/.cache/vesk-cpl/template-prefix}")
    mkdir -p "$(dirname "$WINEPREFIX")"
    rm -rf "$WINEPREFIX"
    if [ "$WINEPREFIX" != "$template" ]; then
      WINEPREFIX=$template vesk_make_wineprefix || return 1
      cp -a "$template" "$WINEPREFIX" || return 1
    else
      local output
      output=$(wine wineboot -i 2>&1) || true
      wineserver -w || true
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Wine ($VESK_WINE_ARCH, $VESK_WINE) could not make the prefix $WINEPREFIX:" >&2
        echo "$output" | tail -5 >&2
        return 1
      fi
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
      wineserver -w || true
      touch "$WINEPREFIX/.vesk-ready-2"
    fi
  fi
  # The title-bar buttons are drawn with Marlett (Debian's fonts-wine), which this Wine does
  # not find by itself.
  if [ -f "$vesk_marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$vesk_marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
}

# vesk_arch_wanted ARCH: whether VESK_WINE_ARCHES (default: both) includes ARCH.
vesk_arch_wanted() {
  grep -qw "$1" <<<"${VESK_WINE_ARCHES:-x86 x64}"
}

# vesk_end_wine_session: ends every Wine process of the prefix, and the Xvfb that
# vesk_start_xvfb started.
vesk_end_wine_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${vesk_started_xvfb:-}" ]; then
    kill "$vesk_started_xvfb" 2>/dev/null || true
    wait "$vesk_started_xvfb" 2>/dev/null || true
    vesk_started_xvfb=
  fi
}

# vesk_preset_of ARCH: the CMake preset that builds ARCH's programs.
vesk_preset_of() {
  case $1 in
  x86) echo windows ;;
  x64) echo windows64 ;;
  *) return 1 ;;
  esac
}

# vesk_preferred_arch: the architecture to show the panel in, x86 when it runs here; prints
# why nothing runs and fails when no architecture does.
vesk_preferred_arch() {
  local arches
  arches=$(vesk_wine_arches)
  if [ -z "$arches" ]; then
    local arch why reasons=()
    for arch in x86 x64; do
      why=$(vesk_wine_unavailable "$arch") || why="left out by VESK_WINE_ARCHES"
      reasons+=("$arch: $why")
    done
    echo "No Windows program can run: ${reasons[0]}; ${reasons[1]}." >&2
    return 1
  fi
  echo "${arches%% *}"
}

# vesk_begin_test_session PROGRAM PREFIX: what a test script of Windows programs needs: the
# Wine of PROGRAM's architecture in the prefix PREFIX (with "-x64" for x64), made once, a
# display of the tests' own (vesk_start_xvfb) and an empty folder in $work. When the script
# exits, every Wine process of the prefix and that Xvfb are ended and the folder goes.
vesk_begin_test_session() {
  vesk_wine_use_for "$1" || return 1
  WINEPREFIX=$(vesk_arch_prefix "$2")
  export WINEPREFIX
  vesk_start_xvfb || return 1
  work=$(mktemp -d)
  trap 'vesk_end_test_session $?' EXIT
  vesk_make_wineprefix || return 1
}

# vesk_end_test_session STATUS: the session's end. A command that ends a script through `set -e`
# says nothing by itself, so a failing status is told with the command that was running.
vesk_end_test_session() {
  [ "$1" = 0 ] || echo "The test ended with status $1 at: $BASH_COMMAND" >&2
  vesk_end_wine_session
  rm -rf "$work"
}

# vesk_unmanaged_windows: without a window manager Wine waits about two seconds at every
# top-level window that is hidden or destroyed, for a manager that never answers. In a test
# prefix the windows are therefore unmanaged (Wine's own setting, read when a program starts),
# set once. Needs the prefix's server running.
vesk_unmanaged_windows() {
  [ ! -f "$WINEPREFIX/.vesk-unmanaged" ] || return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 &&
    touch "$WINEPREFIX/.vesk-unmanaged"
}

# vesk_set_dpi DPI: Wine's display DPI in the current prefix. The DPI is read when Wine's
# session starts: the running one is ended before and after.
vesk_set_dpi() {
  wineserver -k >/dev/null 2>&1 || true
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
}

# vesk_use_dpi DPI: that DPI, and a virtual desktop of 1280x800 at 96 DPI, scaled.
vesk_use_dpi() {
  local dpi=$1
  wineserver -k >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
    /d "$((1280 * dpi / 96))x$((800 * dpi / 96))" /f >/dev/null 2>&1
  vesk_set_dpi "$dpi"
}
