#!/usr/bin/env bash
# Builds the Debian package from an already built tree (default build/) and checks what
# gets installed: the desktop entry, the MIME type, the manual pages, lintian, and the
# installed quorin-batch running the installed example.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
fail() { echo "check-package: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt (configure first)"
gui=0
[ -x "$build/src/app/quorin" ] && gui=1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "-- install into a temporary prefix"
cmake --build "$build" --target quorin_install_files >/dev/null
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
p=$tmp/prefix
expected=(bin/quorin-batch share/man/man1/quorin-batch.1.gz
          share/quorin-plus/examples/iris.txt share/quorin-plus/examples/iris.csv
          share/doc/quorin-plus/copyright share/doc/quorin-plus/changelog.gz)
if [ "$gui" = 1 ]; then
  expected+=(bin/quorin share/man/man1/quorin.1.gz share/applications/quorin-plus.desktop
             share/mime/packages/quorin-plus.xml
             share/icons/hicolor/scalable/apps/quorin-plus.svg
             share/icons/hicolor/scalable/mimetypes/application-x-quorin-document.svg)
  for size in 16 22 24 32 48 64 128 256; do
    for kind in apps/quorin-plus mimetypes/application-x-quorin-document; do
      icon=share/icons/hicolor/${size}x${size}/$kind.png
      expected+=("$icon")
      file -b "packaging/icons/${size}x${size}/${kind#*/}.png" | grep -q "PNG image data, $size x $size," \
        || fail "packaging/icons/${size}x${size}/${kind#*/}.png is not a ${size}x${size} PNG"
    done
  done
fi
for f in "${expected[@]}"; do [ -f "$p/$f" ] || fail "not installed: $f"; done

if [ "$gui" = 1 ]; then
  echo "-- desktop entry and MIME type"
  desktop-file-validate "$p/share/applications/quorin-plus.desktop"
  grep -qx 'Exec=quorin %f' "$p/share/applications/quorin-plus.desktop" || fail "Exec line"
  xmllint --noout "$p/share/mime/packages/quorin-plus.xml"
  # A MIME database built from the package's file alone must map *.tvq to the type.
  mkdir -p "$tmp/mime/packages"
  cp "$p/share/mime/packages/quorin-plus.xml" "$tmp/mime/packages/"
  update-mime-database "$tmp/mime" 2>/dev/null
  grep -q ':application/x-quorin-document:\*\.tvq:cs$' "$tmp/mime/globs2" || fail "*.tvq glob"
fi

echo "-- manual pages"
page=$tmp/quorin-batch.1
gzip -dc "$p/share/man/man1/quorin-batch.1.gz" > "$page"
# Every script keyword and every option of the usage text is documented.
keywords=$(sed -n '/kKeywords\[\] = {/,/^};/p' src/automation/ScriptRunner.cpp \
           | grep -oE '^ *\{"[a-z0-9]+", "[a-z0-9]+"' | grep -oE '"[a-z0-9]+"' | tr -d '"')
[ -n "$keywords" ] || fail "no keywords found in src/automation/ScriptRunner.cpp"
for k in $keywords; do
  grep -qF "\\fB$k\\fR" "$page" || fail "quorin-batch(1) lacks the keyword $k (add it to README.md's keyword table)"
done
options=$(sed -n '/kUsage =/,/;$/p' src/batch/main.cpp | grep -oE '^ *"  -[-a-zA-Z0-9]+' | grep -oE -- '-[-a-zA-Z0-9]+')
for o in $options; do
  grep -qF -- "$(printf '%s' "$o" | sed 's/-/\\-/g')" "$page" || fail "quorin-batch(1) lacks the option $o"
done
for m in "$p"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$m" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$(basename "$m"): $warnings"
done

echo "-- installed quorin-batch on the installed example"
[ "$("$p/bin/quorin-batch" --version)" = "quorin-batch $version" ] || fail "--version"
mkdir -p "$tmp/run"
(cd "$tmp/run" && "$p/bin/quorin-batch" "$p/share/quorin-plus/examples/iris.txt" -o "$tmp/run/iris.tvq" >/dev/null) \
  || fail "the installed example failed"
[ -s "$tmp/run/iris.tvq" ] || fail "the installed example saved no document"

echo "-- Debian package"
rm -f "$build"/quorin-plus_*.deb
(cd "$build" && cpack -G DEB >/dev/null 2>&1) || (cd "$build" && cpack -G DEB)
deb=$(ls "$build"/quorin-plus_"$version"_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = quorin-plus ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "no computed run-time dependencies"
[ "$gui" = 0 ] || dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Qt is not a dependency"
contents=$(dpkg-deb -c "$deb")
for f in "${expected[@]}"; do
  grep -q " \./usr/$f\$" <<<"$contents" || fail "not in the package: /usr/$f"
done
# Errors fail; warnings are shown (see the README's Install section for those that stay).
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" = 0 ] || fail "lintian reports errors"
echo "$deb: checked"
