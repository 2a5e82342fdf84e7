#!/usr/bin/env bash
# install_layout.sh BUILD-DIR LIBDIR: installs BUILD-DIR into a scratch prefix and
# compares the tree with the package's file list: the two programs, the driver in its
# own folder, the four empty stores and the desktop files, nothing else (no picture
# tool, no test program, no odbcinst.ini). Files 0644, programs and folders 0755.
set -euo pipefail
build=$1
libdir=$2
stage=$(mktemp -d "${TMPDIR:-/tmp}/qr-install-XXXXXX")
trap 'rm -rf "$stage"' EXIT

cmake --install "$build" --prefix "$stage" >/dev/null

id=io.github.quillroll.Quillroll
expected=$(
  {
    echo "755 bin/quillroll"
    echo "755 bin/quillroll-store"
    echo "644 $libdir/quillroll/libqrxlsodbc.so"
    echo "644 share/applications/$id.desktop"
    echo "644 share/metainfo/$id.metainfo.xml"
    for size in 16 32 48 64 128 256; do echo "644 share/icons/hicolor/${size}x$size/apps/$id.png"; done
    for store in xsdate.edb xsdate.EDT deldate.edb deldate.EDT; do echo "644 share/quillroll/$store"; done
    echo "644 share/man/man1/quillroll.1.gz"
    echo "644 share/man/man1/quillroll-store.1.gz"
    echo "644 share/doc/quillroll/copyright"
    echo "644 share/doc/quillroll/changelog.gz"
  } | sort -k2
)
actual=$(cd "$stage" && find . -mindepth 1 -not -type d -printf '%m %P\n' | sort -k2)
if [ "$expected" != "$actual" ]; then
  echo "installed tree differs from the package's file list (- expected, + installed):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi

bad_dirs=$(cd "$stage" && find . -mindepth 1 -type d -not -perm 755 -printf '%m %P\n')
if [ -n "$bad_dirs" ]; then
  echo "folders not 0755:"
  echo "$bad_dirs"
  exit 1
fi

# The manual pages and changelog carry neither name nor time stamp (gzip -n).
for gz in "$stage"/share/man/man1/*.gz "$stage/share/doc/quillroll/changelog.gz"; do
  if [ "$(od -An -tu4 -j4 -N4 "$gz" | tr -d ' ')" != 0 ] || [ $(( $(od -An -tu1 -j3 -N1 "$gz") & 8 )) -ne 0 ]; then
    echo "$gz: time stamp or file name stored"
    exit 1
  fi
  gzip -t "$gz"
done
echo "install layout: $(echo "$actual" | wc -l) files as listed"
