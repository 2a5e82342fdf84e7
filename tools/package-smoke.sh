#!/usr/bin/env bash
# Installs the package that tools/package.sh built, tries the installed files as a
# teacher's first start would, with a home folder of its own, and removes the package
# again whatever happened. Needs root (CI runs as root) or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
debs=(build/quillroll_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package-smoke.sh: expected one build/quillroll_*_amd64.deb, found ${#debs[@]}" >&2; exit 1; }
probe=build/tests/app/qr_sheet_round_trip
[ -x "$probe" ] || { echo "package-smoke.sh: $probe is missing (build the tests first)" >&2; exit 1; }

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
home=$(mktemp -d)
cleanup() {
  "${as_root[@]}" apt-get remove -y -qq quillroll >/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "./${debs[0]}" >/dev/null

export HOME=$home
unset XDG_DATA_HOME ODBCSYSINI ODBCINSTINI
fail() { echo "package-smoke.sh: $*" >&2; exit 1; }

# Nothing of the build tree is needed by what was installed.
for f in /usr/bin/quillroll /usr/bin/quillroll-store /usr/lib/*/quillroll/libqrxlsodbc.so; do
  ! ldd "$f" | grep -q 'not found' || fail "$f misses a library: $(ldd "$f" | grep 'not found')"
  ! strings "$f" | grep -qF "$PWD/build" || fail "$f names the build tree"
done

# The store tool.
quillroll-store create-roster "$home/班级.edb" >/dev/null || fail "create-roster failed"
quillroll-store info "$home/班级.edb" | grep -q . || fail "info printed nothing"
quillroll-store check "$home/班级.edb" >/dev/null || fail "check calls a new store unsound"

# The program's first start seeds the user's data folder; it keeps running until stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 quillroll >"$home/start.log" 2>&1 || status=$?
[ $status -eq 124 ] || { cat "$home/start.log" >&2; fail "quillroll ended by itself with status $status"; }
data=$home/.local/share/quillroll
for f in xsdate.edb xsdate.EDT deldate.edb deldate.EDT; do
  cmp -s "$data/$f" "/usr/share/quillroll/$f" || fail "$data/$f is not the packaged empty store"
done
driver=$(ls /usr/lib/*/quillroll/libqrxlsodbc.so)
grep -qxF "Driver = $driver" "$data/odbcinst.ini" || fail "odbcinst.ini does not name $driver"
quillroll-store check "$data/xsdate.edb" >/dev/null || fail "the seeded roster is not sound"

# Export and import through the installed driver, as the program registered it.
"$probe" --registered "$data" "$home" || fail "export and import through the installed driver failed"
echo "package-smoke.sh: the installed package works ($(du -k "${debs[0]}" | cut -f1) KiB)"
