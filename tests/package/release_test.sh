#!/usr/bin/env bash
# The release as an administrator would check it, without Wine: release_test.sh X86BIN X64BIN.
#
# Packages this tree's two builds (X86BIN, X64BIN), signed with a throw-away certificate made
# now, and compares the result with scripts/package run in a clone of the tree in another
# folder, with another HOME, some seconds later: every file must be the same bytes. Then checks
# the files themselves: SHA256SUMS, every signature against the throw-away authority, a
# signature moved onto an unsigned build giving the signed file, the PE headers, the executable's
# time stamp (the commit's), the notices and build information in the zips, no folder of the
# build in them, and the winget manifest against its schemas.
set -euo pipefail
x86_bin=$(cd "$1" && pwd)
x64_bin=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=throwaway-signer.sh
. "$here/throwaway-signer.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL (release): $*" >&2
  exit 1
}
make_throwaway_signer "$work/signer"
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)

# This tree's builds, packaged as scripts/package would.
ours=$work/ours
for arch in x86 x64; do
  bin=$([ "$arch" = x86 ] && echo "$x86_bin" || echo "$x64_bin")
  "$root/scripts/make-package" "$arch" "$bin" "$ours" >/dev/null 2>&1 ||
    fail "make-package $arch failed"
done
"$root/scripts/finish-release" "$ours" >/dev/null || fail "finish-release failed"

# The rebuild: a clone of the same commit with this tree's changes on top, built from nothing.
clone=$work/elsewhere/src
git clone -q "$root" "$clone"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  xargs -0 cp --parents -d -t "$clone" 2>/dev/null) || true
mkdir -p "$work/home"
HOME=$work/home VESK_JOBS=2 "$clone/scripts/package" >"$work/package.log" 2>&1 ||
  fail "scripts/package in the clone failed: $(tail -5 "$work/package.log")"
grep -q "not signed" "$work/package.log" && fail "scripts/package did not sign"
theirs=$clone/build/package
diff -r "$ours" "$theirs" >"$work/diff" || fail "the rebuild differs: $(head -5 "$work/diff")"
(cd "$theirs" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"

verify() { osslsigncode verify -CAfile "$work/signer/ca.pem" -in "$1" >"$work/verify" 2>&1; }
pe_time() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read()
o=struct.unpack_from("<I",d,0x3c)[0]; print(struct.unpack_from("<I",d,o+8)[0])' "$1"; }
for arch in x86 x64; do
  zip=$(ls "$theirs"/VESK_CPL-*-"$arch".zip)
  setup=$(ls "$theirs"/VESK_CPL-*-"$arch"-setup.exe)
  files=$work/files-$arch
  unzip -q "$zip" -d "$files"
  [ "$(unzip -Z1 "$zip" | tr '\n' ' ')" = \
    "VESK_CPL.exe veskcfg.exe README.txt THIRD-PARTY-NOTICES.txt BUILD-INFO.txt " ] ||
    fail "$arch zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
  verify "$setup" || fail "$arch installer does not verify: $(cat "$work/verify")"
  "$root/scripts/check-pe" --stub "$setup" || fail "$arch installer fails the PE check"
  bin=$([ "$arch" = x86 ] && echo "$x86_bin" || echo "$x64_bin")
  for program in VESK_CPL.exe veskcfg.exe; do
    verify "$files/$program" || fail "$arch $program does not verify: $(cat "$work/verify")"
    "$root/scripts/check-pe" "$files/$program" || fail "$arch $program fails the PE check"
    [ "$(pe_time "$files/$program")" = "$SOURCE_DATE_EPOCH" ] ||
      fail "$arch $program: time stamp $(pe_time "$files/$program") is not the commit's"
    # A third party's check: the release's signature put on an unsigned build of the commit.
    osslsigncode extract-signature -in "$files/$program" -out "$work/$arch.sig" >/dev/null
    osslsigncode attach-signature -CAfile "$work/signer/ca.pem" -sigin "$work/$arch.sig" \
      -in "$bin/$program" -out "$work/$arch-attached.exe" >"$work/attach" 2>&1 ||
      fail "$arch $program: the release's signature does not fit our build: $(tail -3 "$work/attach")"
    cmp -s "$work/$arch-attached.exe" "$files/$program" ||
      fail "$arch $program: the release's signature on our build is not the release's file"
    rm -f "$work/$arch.sig" "$work/$arch-attached.exe"
  done

  grep -q "Copyright (c) 2011-2016 mingw-w64 project" "$files/THIRD-PARTY-NOTICES.txt" ||
    fail "$arch notices lack winpthreads' copyright"
  grep -q "^Built from commit $(git -C "$root" rev-parse HEAD)" "$files/BUILD-INFO.txt" ||
    fail "$arch build information names no commit"
  grep -q "binutils-mingw-w64-.* [0-9]" "$files/BUILD-INFO.txt" ||
    fail "$arch build information names no toolchain version"
  for folder in "$root" "$clone" "$work" "$HOME"; do
    [ ${#folder} -ge 5 ] || continue
    ! grep -rqaF "$folder" "$files" || fail "$arch files name the folder $folder"
  done
done
"$root/scripts/check-winget" "$theirs/winget" || fail "the winget manifest is not valid"
# English and the panel's six other languages each describe the package.
[ "$(find "$theirs/winget" -name '*.locale.*.yaml' | wc -l)" = 7 ] ||
  fail "the winget manifest does not describe the package in the panel's seven languages"

# The PE check can fail: an x64 build without NX.
cp "$x64_bin/VESK_CPL.exe" "$work/no-nx.exe"
python3 -c 'import struct,sys; f=open(sys.argv[1],"r+b"); d=f.read()
o=struct.unpack_from("<I",d,0x3c)[0]+24+70; f.seek(o)
f.write(struct.pack("<H",struct.unpack_from("<H",d,o)[0]&~0x100))' "$work/no-nx.exe"
! "$root/scripts/check-pe" "$work/no-nx.exe" >/dev/null || fail "check-pe passes an image without NX"
echo "PASS: release"
