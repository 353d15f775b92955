#!/usr/bin/env bash
# The release files of one build, checked under Wine: installer_test.sh BINDIR. Makes the zip
# and the installer from BINDIR's VESK_CPL.exe, installs silently (/S) in a prefix of the
# build's architecture and checks the files, the Start-menu shortcut, the uninstall entry and
# the "Start with Windows" Run value; uninstalls silently and checks that all of them are gone;
# installs again without the option and checks that no Run value is written.
set -euo pipefail
bin=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
vesk_begin_test_session "$bin/VESK_CPL.exe" \
  "${VESK_PACKAGE_WINEPREFIX:-$HOME/.cache/vesk-cpl/package-prefix}"
arch=$VESK_WINE_ARCH
fail() {
  echo "FAIL ($arch): $*" >&2
  exit 1
}

"$root/scripts/make-package" "$arch" "$bin" "$work" >/dev/null || fail "make-package failed"
zip=$(ls "$work"/VESK_CPL-*-"$arch".zip)
installer=$(ls "$work"/VESK_CPL-*-"$arch"-setup.exe)
version=$(sed -nE 's/^#define VESK_VERSION_TEXT "(.*)"$/\1/p' "$root/src/res/Version.h")
[ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" = "README.txt VESK_CPL.exe " ] ||
  fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
unzip -p "$zip" VESK_CPL.exe | cmp -s - "$bin/VESK_CPL.exe" || fail "the zip's program differs"
unzip -p "$zip" README.txt | grep -q -- "-hide" || fail "the README does not name -hide"

install_dir="$WINEPREFIX/drive_c/Program Files/Norvale/VESK_CPL"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Norvale QVX 1394 Driver Control Panel.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VESK_CPL'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ *$2 +REG_[A-Z_]+ +//p"; }
# run_silently PROGRAM ARGS...: the program and everything it started (the uninstaller runs a
# copy of itself) have ended.
run_silently() {
  timeout 120 "$VESK_WINE" "$@" >/dev/null 2>&1 || fail "$(basename "$1") failed"
  timeout 120 "$VESK_WINESERVER" -w || fail "Wine did not settle after $(basename "$1")"
}

run_silently "$installer" /S
cmp -s "$install_dir/VESK_CPL.exe" "$bin/VESK_CPL.exe" || fail "VESK_CPL.exe not installed"
[ -f "$install_dir/README.txt" ] || fail "README.txt not installed"
[ -f "$install_dir/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ "$(reg_value "$uninstall_key" DisplayName)" = "Norvale QVX 1394 Driver Control Panel" ] ||
  fail "no uninstall entry"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "wrong version entry"
reg_value "$uninstall_key" UninstallString | grep -q 'Uninstall.exe' || fail "no uninstall command"
[ "$(reg_value "$run_key" VESK_CPL)" = '"C:\Program Files\Norvale\VESK_CPL\VESK_CPL.exe" -hide' ] ||
  fail "Start with Windows wrote: $(reg_value "$run_key" VESK_CPL)"

run_silently "$install_dir/Uninstall.exe" /S
[ ! -e "$install_dir" ] || fail "the program folder is left: $(ls "$install_dir")"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "the uninstall entry is left"
[ -z "$(reg_value "$run_key" VESK_CPL)" ] || fail "the Run value is left"

run_silently "$installer" /S /STARTWITHWINDOWS=0
[ -f "$install_dir/VESK_CPL.exe" ] || fail "the second install did not install"
[ -z "$(reg_value "$run_key" VESK_CPL)" ] || fail "/STARTWITHWINDOWS=0 still wrote the Run value"
run_silently "$install_dir/Uninstall.exe" /S
[ ! -e "$install_dir" ] || fail "the second uninstall left the program folder"
echo "PASS: installer ($arch)"
