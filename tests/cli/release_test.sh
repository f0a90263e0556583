#!/usr/bin/env bash
# scripts/release from the outside. Two releases of this commit, built in two
# folders (one unsigned, one signed with a throw-away certificate), are the
# same programs, and those are the very bytes of the i686 build that the
# Windows tiers test; the folder, its checksums and the zip agree; the signed
# programs verify and still start under Wine.
# usage: release_test.sh TESTED_BUILD WINE_BUILD
#   TESTED_BUILD  the i686 Release build folder of the Windows tiers (build/win)
#   WINE_BUILD    the build whose programs this machine's Wine runs (QLX_WINE,
#                 WINEARCH from scripts/wine-env)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tested=$(cd "$1" && pwd)
wine_build=$(cd "$2" && pwd)
: "${QLX_WINE:?from scripts/wine-env}" "${WINEARCH:?from scripts/wine-env}"

# Both build folders at the depth of build/win, so that ccache finds the
# compiles of one in the other.
scratch=$(mktemp -d)
builds=("$root/build/release-check-a" "$root/build/release-check-b")
WINEPREFIX=
cleanup() {
  if [ -n "$WINEPREFIX" ]; then
    WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  rm -rf "$scratch" "${builds[@]}"
}
trap cleanup EXIT

. "$(dirname "$0")/../support/checks.sh"

SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
export QLX_SIGN_PASSWORD="throw-away $$"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quellix release test" \
  -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" \
  -out "$scratch/cert.p12" -passout env:QLX_SIGN_PASSWORD
programs=(gorsel.exe quellix-pass.exe quellix.exe)

release() {
  local log=$scratch/$1.log
  shift
  if ! "$root/scripts/release" "$@" >"$log" 2>&1; then
    cat "$log"
    echo "FAILED: scripts/release $*"
    exit 1
  fi
}
release unsigned --build "${builds[0]}" --dist "$scratch/unsigned"
release signed --sign "$scratch/cert.p12" --build "${builds[1]}" --dist "$scratch/signed"
version=$(sed -n 's/^folder: .*quellix-//p' "$scratch/unsigned.log")
unsigned=$scratch/unsigned/quellix-$version
signed=$scratch/signed/quellix-$version

# The folder, its checksums, the zip.
holds_exactly() { [ "$(LC_ALL=C ls "$1" | tr '\n' ' ')" = "README.txt SHA256SUMS ${programs[*]} " ]; }
sums_hold() { (cd "$1" && sha256sum --quiet -c SHA256SUMS && [ "$(wc -l <SHA256SUMS)" -eq 4 ]); }
zip_holds() {
  python3 - "$1.zip" "$1" "$SOURCE_DATE_EPOCH" <<'EOF_PYTHON'
import os, sys, time, zipfile
archive, folder, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
name = os.path.basename(folder)
# zip keeps times in two-second steps and rounds an odd second up.
stamp = time.gmtime(epoch + epoch % 2)[:6]
with zipfile.ZipFile(archive) as z:
    entries = z.infolist()
    assert entries[0].filename == name + "/", entries[0].filename
    assert sorted(e.filename for e in entries[1:]) == sorted(
        name + "/" + f for f in os.listdir(folder)), [e.filename for e in entries]
    for e in entries:
        assert e.date_time == stamp, (e.filename, e.date_time, stamp)
        assert e.extra == b"", (e.filename, e.extra)
        if not e.is_dir():
            with open(os.path.join(folder, os.path.basename(e.filename)), "rb") as f:
                assert z.read(e) == f.read(), e.filename
EOF_PYTHON
}
zip_sum_holds() { (cd "$(dirname "$1")" && sha256sum --quiet -c "$(basename "$1").zip.sha256"); }
readme_for_notepad() {
  [ "$(head -1 "$1/README.txt")" = "Quellix $version"$'\r' ] && ! grep -qv $'\r$' "$1/README.txt"
}
for folder in "$unsigned" "$signed"; do
  kind=$(basename "$(dirname "$folder")")
  check "$kind: the folder holds the programs, README.txt and SHA256SUMS" holds_exactly "$folder"
  check "$kind: SHA256SUMS holds for every other file" sums_hold "$folder"
  check "$kind: the zip holds the folder, byte for byte, at the commit's time" zip_holds "$folder"
  check "$kind: the zip's own checksum is written beside it" zip_sum_holds "$folder"
  check "$kind: README.txt names the version and has Windows line ends" readme_for_notepad "$folder"
done

# The same bytes every time, and those the Windows tiers test.
for program in "${programs[@]}"; do
  tested_program=$tested/$program
  [ "$program" = quellix-pass.exe ] && tested_program=$tested/quellix/tools/$program
  check "unsigned $program is the tested build's, byte for byte" cmp -s "$unsigned/$program" "$tested_program"
done
resigned=$scratch/resigned
mkdir "$resigned"
cp "${programs[@]/#/$unsigned/}" "$resigned/"
(cd "$resigned" && "$root/scripts/sign-programs" "$scratch/cert.p12" "${programs[@]}" >/dev/null)
same_signed_sums() { (cd "$resigned" && grep -v README.txt "$signed/SHA256SUMS" | sha256sum --quiet -c); }
check "the second build, signed, has the checksums of the first one signed alike" same_signed_sums

# The signatures.
verifies() {
  local report
  report=$(osslsigncode verify -CAfile "$scratch/cert.pem" -in "$1" 2>&1) &&
    grep -q 'Subject: /CN=Quellix release test' <<<"$report"
}
carries_no_signature() {
  local report
  report=$(osslsigncode verify -in "$1" 2>&1)
  grep -q 'No signature found' <<<"$report"
}
check "the unsigned release says so" grep -q 'This release is NOT signed' "$unsigned/README.txt"
check "the signed release says so" grep -q 'carry an Authenticode signature' "$signed/README.txt"
for program in "${programs[@]}"; do
  check "unsigned $program carries no signature" carries_no_signature "$unsigned/$program"
  check "signed $program verifies against the certificate" verifies "$signed/$program"
done

# A signed program still starts. The release is 32-bit; where this kernel runs
# no 32-bit Wine, the same sources built for 64-bit Windows stand in.
started=$scratch/started/quellix-pass.exe
mkdir "$(dirname "$started")"
cp "$wine_build/quellix/tools/quellix-pass.exe" "$started"
(cd "$(dirname "$started")" && "$root/scripts/sign-programs" "$scratch/cert.p12" quellix-pass.exe >/dev/null)
if [ "$WINEARCH" != win32 ]; then
  echo "note: no 32-bit Wine on this kernel: starting the signed 64-bit quellix-pass.exe instead"
fi
export WINEPREFIX QLX_WINE WINEARCH
WINEPREFIX=$("$root/scripts/wine-prefix" "$scratch/prefix")
status=0
"$root/scripts/wine-run" "$started" --language 99 >/dev/null 2>"$scratch/started.err" || status=$?
check "the signed quellix-pass.exe starts under Wine and answers a bad argument with its usage" \
  bash -c "[ $status -eq 2 ] && grep -q '^usage: quellix-pass' '$scratch/started.err'"

finish_checks
