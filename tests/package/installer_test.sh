#!/usr/bin/env bash
# The release files of one build, checked under Wine: installer_test.sh BINDIR. Makes the zip
# and the installer from BINDIR's VESK_CPL.exe, signed with a throw-away certificate, and
# installs silently in a prefix of the build's architecture in both scopes: for everyone
# (/ALLUSERS: Program Files, the computer's uninstall entry, the shortcut of all users, the
# "Start with Windows" Run value) and for the user alone (/CURRENTUSER /STARTWITHWINDOWS=0: the
# user's programs folder, the user's entry and shortcut, no Run value). Checks the installed
# files (notices included) and their signatures, uninstalls silently and checks that nothing of
# either install is left.
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
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\VESK_CPL'
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ *$2 +REG_[A-Z_]+ +//p"; }
# run_silently PROGRAM ARGS...: the program and everything it started (the uninstaller runs a
# copy of itself) have ended.
run_silently() {
  timeout 120 "$VESK_WINE" "$@" >/dev/null 2>&1 || fail "$(basename "$1") $* failed"
  timeout 120 "$VESK_WINESERVER" -w || fail "Wine did not settle after $(basename "$1")"
}
verify() { osslsigncode verify -CAfile "$work/signer/ca.pem" -in "$1" >/dev/null 2>&1; }

# check_install SCOPE FOLDER SHORTCUT ROOT ROOT_OTHER: an install for SCOPE, registered under
# ROOT and not under ROOT_OTHER; uninstalls it and checks that it is gone.
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
  [ "$(reg_value "$root_key\\$uninstall_entry" DisplayName)" = "Norvale QVX 1394 Driver Control Panel" ] ||
    fail "$scope: no uninstall entry under $root_key"
  [ "$(reg_value "$root_key\\$uninstall_entry" DisplayVersion)" = "$version" ] ||
    fail "$scope: wrong version entry"
  reg_value "$root_key\\$uninstall_entry" UninstallString | grep -q 'Uninstall.exe' ||
    fail "$scope: no uninstall command"
  [ -z "$(reg_value "$other_key\\$uninstall_entry" DisplayName)" ] ||
    fail "$scope: an uninstall entry under $other_key too"

  run_silently "$dir/Uninstall.exe" /S
  [ ! -e "$dir" ] || fail "$scope: the program folder is left: $(ls "$dir")"
  [ ! -e "$shortcut" ] || fail "$scope: the shortcut is left"
  [ -z "$(reg_value "$root_key\\$uninstall_entry" DisplayName)" ] || fail "$scope: the uninstall entry is left"
  [ -z "$(reg_value "$run_key" VESK_CPL)" ] || fail "$scope: the Run value is left"
}

verify "$installer" || fail "the installer does not verify"
run_silently "$installer" /S /ALLUSERS
machine_dir="$WINEPREFIX/drive_c/Program Files/Norvale/VESK_CPL"
[ "$(reg_value "$run_key" VESK_CPL)" = '"C:\Program Files\Norvale\VESK_CPL\VESK_CPL.exe" -hide' ] ||
  fail "Start with Windows wrote: $(reg_value "$run_key" VESK_CPL)"
check_install "for everyone" "$machine_dir" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Norvale QVX 1394 Driver Control Panel.lnk" \
  HKLM HKCU

run_silently "$installer" /S /CURRENTUSER /STARTWITHWINDOWS=0
[ ! -e "$machine_dir" ] || fail "for me: installed into Program Files"
[ -z "$(reg_value "$run_key" VESK_CPL)" ] || fail "/STARTWITHWINDOWS=0 still wrote the Run value"
check_install "for me" "$user_dir/AppData/Local/Programs/Norvale/VESK_CPL" \
  "$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Norvale QVX 1394 Driver Control Panel.lnk" \
  HKCU HKLM
echo "PASS: installer ($arch)"
