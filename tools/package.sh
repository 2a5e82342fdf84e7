#!/usr/bin/env bash
# Builds the Debian package build/quillroll_<version>_<arch>.deb and checks it: the
# desktop entry and AppStream metadata it ships with their validators, the whole
# package with lintian (errors fail; warnings and notes are shown). Configures build/
# as tools/test.sh does, so both share one build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)

# The prefix is named because a build tree configured before the package existed may
# still hold another one; the package's paths (the multiarch library folder) need /usr.
cmake -S . -B build -G Ninja -DQR_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build -j "$jobs"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=build/quillroll_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd build && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "package.sh: cpack made no $deb" >&2; exit 1; }

# The files as the package installs them.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/io.github.quillroll.Quillroll.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/io.github.quillroll.Quillroll.metainfo.xml"
# lintian says once that it should not run as root; every other line is a tag.
lintian --display-info --fail-on error "$deb"

echo "package.sh: $deb ($(du -k "$deb" | cut -f1) KiB)"
