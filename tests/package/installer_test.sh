#!/usr/bin/env bash
# The release files of one build, checked under Wine: installer_test.sh BINDIR. Makes the zip
# and the installer from BINDIR's VESK_CPL.exe, signed with a throw-away certificate, and
# installs silently in a prefix of the build's architecture in both scopes: for everyone
# (/ALLUSERS: Program Files, the computer's uninstall entry, the shortcut of all users, the
# computer's "Start with Windows" Run value) and for the user alone (/CURRENTUSER: the user's
# programs folder, the user's entry, shortcut and Run value). In each scope an upgrade and an
# uninstall while the installed panel runs (started with -hide, as the Run value does) end it
# and replace or remove every file; a panel that cannot end (stopped) makes both fail with
# exit code 2 and the files as they were. An install elsewhere replaces the one before (one
# product), a folder the user made is kept, and an install for everyone outside Program Files
# is refused. Checks the installed files (notices included) and their signatures, and that
# nothing of either install is left.
set -euo pipefail
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
# shellcheck source=throwaway-signer.sh
. "$here/throwaway-signer.sh"
vesk_begin_test_session "$bin/VESK_CPL.exe" \
  "${VESK_PACKAGE_WINEPREFIX:-$HOME/.cache/vesk-cpl/package-prefix}"
arch=$VESK_WINE_ARCH
fail() {
  echo "FAIL ($arch): $*" >&2
  exit 1
}

make_throwaway_signer "$work/signer"
"$root/scripts/make-package" "$arch" "$bin" "$work" >/dev/null || fail "make-package failed"
zip=$(ls "$work"/VESK_CPL-*-"$arch".zip)
installer=$(ls "$work"/VESK_CPL-*-"$arch"-setup.exe)
version=$(sed -nE 's/^#define VESK_VERSION_TEXT "(.*)"$/\1/p' "$root/src/res/Version.h")
[ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = \
  "BUILD-INFO.txt README.txt THIRD-PARTY-NOTICES.txt VESK_CPL.exe veskcfg.exe " ] ||
  fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
unzip -q "$zip" -d "$work/zip"
unzip -p "$zip" README.txt | grep -q -- "-hide" || fail "the README does not name -hide"

user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
run_value='Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\VESK_CPL'
title="Norvale QVX 1394 Driver Control Panel"
# Every Wine call is bounded: a hang fails the step that hung, with its message.
reg_value() {
  timeout 60 "$VESK_WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^ *$2 +REG_[A-Z_]+ +//p"
}
# run_silently PROGRAM ARGS...: the program and everything it started (the uninstaller runs a
# copy of itself) have ended.
run_silently() {
  timeout 120 "$VESK_WINE" "$@" >/dev/null 2>&1 || fail "$(basename "$1") $* failed"
  timeout 120 "$VESK_WINESERVER" -w || fail "Wine did not settle after $(basename "$1")"
}
# exit_code PROGRAM ARGS...: the program's exit code (an uninstaller run with _?= in place, so
# that the code is the removal's own).
exit_code() {
  local status=0
  timeout 180 "$VESK_WINE" "$@" >/dev/null 2>&1 || status=$?
  echo "$status"
}
verify() { osslsigncode verify -CAfile "$work/signer/ca.pem" -in "$1" >/dev/null 2>&1; }
windows_path() { timeout 60 "$VESK_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# start_installed DIR: the installed panel, hidden, as the Run value starts it.
start_installed() {
  WINEDEBUG=-all "$VESK_WINE" "$1/VESK_CPL.exe" -hide >/dev/null 2>&1 &
  panel_pid=$!
  for _ in $(seq 100); do
    timeout 30 "$VESK_WINE" "$bin/vesk_probe.exe" find "$title" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  fail "the installed panel did not start"
}
panel_pid=
panel_gone() { [ -z "$panel_pid" ] || ! kill -0 "$panel_pid" 2>/dev/null; }

# check_stopped_panel SCOPE DIR ARGS...: a stopped panel, which cannot end, makes an upgrade and
# an uninstall fail with exit code 2 and leaves every file. (The same code ends a panel in
# both scopes: one scope checks it.)
check_stopped_panel() {
  local scope=$1 dir=$2
  shift 2
  start_installed "$dir"
  kill -STOP "$panel_pid"
  local before
  before=$(stat -c %Y "$dir/VESK_CPL.exe")
  [ "$(exit_code "$installer" /S "$@")" = 2 ] || fail "$scope: an upgrade over a panel that did not end did not fail"
  local code
  # _?= must stand unquoted at the end of the command line: Wine quotes an argument with spaces,
  # so the folder goes by its short name.
  code=$(exit_code "$dir/Uninstall.exe" /S \
    "_?=$(timeout 60 "$VESK_WINE" winepath -s "$(windows_path "$dir")" 2>/dev/null | tr -d '\r')")
  [ "$code" = 2 ] || fail "$scope: an uninstall beside a panel that did not end ended with $code"
  for file in VESK_CPL.exe veskcfg.exe README.txt THIRD-PARTY-NOTICES.txt Uninstall.exe; do
    [ -f "$dir/$file" ] || fail "$scope: a failed upgrade or uninstall left no $file"
  done
  [ "$(stat -c %Y "$dir/VESK_CPL.exe")" = "$before" ] || fail "$scope: a failed upgrade wrote the panel"
  kill -CONT "$panel_pid"
  check_running_panel "$scope" "$dir" "$@"
}

# check_running_panel SCOPE DIR ARGS...: with the installed panel running (or a stopped one
# going again), a silent upgrade ends it and replaces every file.
check_running_panel() {
  local scope=$1 dir=$2
  shift 2
  panel_gone && start_installed "$dir"
  local before
  before=$(stat -c %Y "$dir/VESK_CPL.exe")
  # The old times show a file that was not replaced.
  sleep 1.1
  local stamp
  stamp=$(date +%s)
  run_silently "$installer" /S "$@"
  panel_gone || fail "$scope: the upgrade left the panel running"
  for file in VESK_CPL.exe veskcfg.exe README.txt THIRD-PARTY-NOTICES.txt; do
    [ "$(stat -c %Y "$dir/$file")" -ge "$stamp" ] || fail "$scope: the upgrade did not replace $file"
    cmp -s "$dir/$file" "$work/zip/$file" || fail "$scope: $file is not the new one"
  done
  [ "$before" -lt "$stamp" ] || fail "$scope: the clock did not move"
}

# check_install SCOPE FOLDER SHORTCUT ROOT ROOT_OTHER: an install for SCOPE, registered under
# ROOT and not under ROOT_OTHER, its Run value under ROOT; uninstalls it, with the panel
# running, and checks that it is gone.
check_install() {
  local scope=$1 dir=$2 shortcut=$3 root_key=$4 other_key=$5
  cmp -s "$dir/VESK_CPL.exe" "$work/zip/VESK_CPL.exe" || fail "$scope: VESK_CPL.exe not installed"
  for file in veskcfg.exe README.txt THIRD-PARTY-NOTICES.txt; do
    cmp -s "$dir/$file" "$work/zip/$file" || fail "$scope: $file not installed"
  done
  verify "$dir/VESK_CPL.exe" || fail "$scope: the installed VESK_CPL.exe does not verify"
  verify "$dir/veskcfg.exe" || fail "$scope: the installed veskcfg.exe does not verify"
  verify "$dir/Uninstall.exe" || fail "$scope: the uninstaller does not verify"
  [ -f "$shortcut" ] || fail "$scope: no Start-menu shortcut"
  [ "$(reg_value "$root_key\\$uninstall_entry" DisplayName)" = "$title" ] ||
    fail "$scope: no uninstall entry under $root_key"
  [ "$(reg_value "$root_key\\$uninstall_entry" DisplayVersion)" = "$version" ] ||
    fail "$scope: wrong version entry"
  reg_value "$root_key\\$uninstall_entry" UninstallString | grep -q 'Uninstall.exe' ||
    fail "$scope: no uninstall command"
  [ -z "$(reg_value "$other_key\\$uninstall_entry" DisplayName)" ] ||
    fail "$scope: an uninstall entry under $other_key too"
  reg_value "$root_key\\$run_value" VESK_CPL | grep -qF "$(windows_path "$dir")\\VESK_CPL.exe\" -hide" ||
    fail "$scope: Start with Windows wrote under $root_key: $(reg_value "$root_key\\$run_value" VESK_CPL)"
  [ -z "$(reg_value "$other_key\\$run_value" VESK_CPL)" ] || fail "$scope: a Run value under $other_key too"

  start_installed "$dir"
  run_silently "$dir/Uninstall.exe" /S
  panel_gone || fail "$scope: the uninstall left the panel running"
  [ ! -e "$dir" ] || fail "$scope: the program folder is left: $(ls "$dir")"
  [ ! -e "$shortcut" ] || fail "$scope: the shortcut is left"
  [ -z "$(reg_value "$root_key\\$uninstall_entry" DisplayName)" ] || fail "$scope: the uninstall entry is left"
  [ -z "$(reg_value "$root_key\\$run_value" VESK_CPL)" ] || fail "$scope: the Run value is left"
}

# The prefix outlives a run: what a failed run left is cleared first, so that the installer
# finds the folders as a fresh system has them.
rm -rf "$WINEPREFIX/drive_c/Program Files/Norvale" "$user_dir/AppData/Local/Programs/Norvale" \
  "$user_dir/Tools" "$WINEPREFIX/drive_c/Tools"
for key in "HKLM\\$uninstall_entry" "HKCU\\$uninstall_entry"; do
  timeout 60 "$VESK_WINE" reg delete "$key" /f >/dev/null 2>&1 || true
done
for key in "HKLM\\$run_value" "HKCU\\$run_value"; do
  timeout 60 "$VESK_WINE" reg delete "$key" /v VESK_CPL /f >/dev/null 2>&1 || true
done

verify "$installer" || fail "the installer does not verify"
machine_dir="$WINEPREFIX/drive_c/Program Files/Norvale/VESK_CPL"
run_silently "$installer" /S /ALLUSERS
check_stopped_panel "for everyone" "$machine_dir" /ALLUSERS
check_install "for everyone" "$machine_dir" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$title.lnk" HKLM HKCU
[ ! -e "$WINEPREFIX/drive_c/Program Files/Norvale" ] || fail "for everyone: the Norvale folder is left"

user_programs="$user_dir/AppData/Local/Programs"
run_silently "$installer" /S /CURRENTUSER
[ ! -e "$machine_dir" ] || fail "for me: installed into Program Files"
check_running_panel "for me" "$user_programs/Norvale/VESK_CPL" /CURRENTUSER
check_install "for me" "$user_programs/Norvale/VESK_CPL" \
  "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$title.lnk" HKCU HKLM

# One product: an install elsewhere replaces the one before. A folder the user made and chose
# is kept by the uninstall; "Start with Windows" left out writes no Run value.
mkdir -p "$user_dir/Tools"
run_silently "$installer" /S /CURRENTUSER
run_silently "$installer" /S /CURRENTUSER /STARTWITHWINDOWS=0 "/D=$(windows_path "$user_dir/Tools")\VESK_CPL"
[ ! -e "$user_programs/Norvale/VESK_CPL" ] || fail "an install elsewhere left the one before"
[ "$(reg_value "HKCU\\$uninstall_entry" InstallLocation)" = "$(windows_path "$user_dir/Tools")\VESK_CPL" ] ||
  fail "the uninstall entry does not name the new folder"
[ -z "$(reg_value "HKCU\\$run_value" VESK_CPL)" ] || fail "/STARTWITHWINDOWS=0 still wrote the Run value"
run_silently "$user_dir/Tools/VESK_CPL/Uninstall.exe" /S
[ -d "$user_dir/Tools" ] && [ ! -e "$user_dir/Tools/VESK_CPL" ] ||
  fail "the uninstall removed the user's own folder, or left the program's"

# For everyone, only under Program Files: a folder standard users can write is refused.
[ "$(exit_code "$installer" /S /ALLUSERS "/D=C:\Tools\VESK_CPL")" = 2 ] ||
  fail "an install for everyone outside Program Files was not refused"
[ ! -e "$WINEPREFIX/drive_c/Tools/VESK_CPL" ] || fail "the refused install wrote files"
echo "PASS: installer ($arch)"
