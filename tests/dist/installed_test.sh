#!/usr/bin/env bash
# installed_test.sh prefix|package BUILD: installs the build (cmake --install into a prefix,
# or the Debian package from cpack extracted with dpkg-deb), checks the layout and the
# desktop files, and writes a certificate, a summary and a chart with the installed programs
# from another folder, so that they find their resources through the install layout alone.
set -euo pipefail
layout=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Never the real home folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
export QT_QPA_PLATFORM=offscreen
unset TARVIK_PORT_PATTERN TARVIK_DOCUMENTS_DIR TARVIK_APPDATA_DIR
mkdir -p "$HOME" "$work/elsewhere"
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

case $layout in
prefix)
  root="$work/prefix"
  cmake --install "$build" --prefix "$root" >/dev/null
  ;;
package)
  command -v dpkg-deb >/dev/null || exit 77
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") \
    >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
  deb=$(ls "$work"/pkg/*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *libqt6core6* && $depends == *libqt6serialport6* ]] ||
    fail "the package's dependencies were not found from its programs: '$depends'"
  dpkg-deb -x "$deb" "$work/root"
  root="$work/root/usr"
  ;;
*)
  echo "usage: installed_test.sh prefix|package BUILD" >&2
  exit 2
  ;;
esac

id=example.tarvik.Toolkit
for file in bin/tarvik bin/tarvik-toolkit bin/tarvik-locator-sim \
  libexec/tarvik/tarvik-chart-render share/tarvik/logo.jpg share/tarvik/s.jpg \
  share/tarvik/Fonts/Helvetica.afm share/tarvik/Fonts/Helvetica-Bold.afm \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/mime/packages/tarvik-lgd.xml share/icons/hicolor/scalable/apps/$id.svg \
  share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
  share/man/man1/tarvik.1.gz share/man/man1/tarvik-toolkit.1.gz; do
  [ -f "$root/$file" ] || fail "$file is not installed"
done
[ ! -e "$root/bin/tarvik-chart-render" ] || fail "the chart drawer is not for people to run"
for page in tarvik tarvik-toolkit; do
  man -l "$root/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" || fail "man cannot read $page.1.gz"
done

desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >"$work/appstream.txt" ||
  fail "metainfo: $(cat "$work/appstream.txt")"
xmllint --noout "$root/share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon"
# The MIME database built from the installed type knows .lgd files.
XDG_DATA_DIRS="$root/share" update-mime-database "$root/share/mime" >/dev/null
grep -q "application/x-tarvik-lgd:\*\.lgd" "$root/share/mime/globs2" || fail ".lgd is not registered"

cd "$work/elsewhere"
tarvik=("$root/bin/tarvik" --documents "$work/docs" --appdata "$work/app")
cert=$("${tarvik[@]}" certificate --model KVZ3 --serial 4711 --user "Depot crew" \
  --pass "05/12/26 09:12:30")
[ -f "$cert" ] || fail "no certificate: '$cert'"
qpdf --check "$cert" >/dev/null || fail "the certificate does not pass qpdf --check"
pdftotext "$cert" - | grep -q "System Validation Certificate" || fail "certificate text"
[ "$(pdfimages -list "$cert" | tail -n +3 | wc -l)" -eq 2 ] || fail "the logo or signature is missing"

log="$work/crew [All].lgd"
"$root/bin/tarvik-locator-sim" --write-log "$log" --days 3 --seed 5 --last-day 05/12/26 >/dev/null
summary=$("${tarvik[@]}" summary "$log")
[[ $summary == *Power* ]] || fail "summary: $summary"
"${tarvik[@]}" chart "$log" --month 12/26 -o "$work/chart.jpg" >/dev/null
djpeg "$work/chart.jpg" >/dev/null || fail "the chart drawn through libexec is not a JPEG"
report=$("${tarvik[@]}" report "$log") || fail "report: $report"
pdftotext "$report" - | grep -q "Locator Usage Report" || fail "report text"
# Every command the program lists is described in its manual page (hyphens there are "\-").
manual=$(gzip -dc "$root/share/man/man1/tarvik.1.gz" | sed 's/\\-/-/g')
for command in $("${tarvik[@]}" help | awk '$1 == "tarvik" {print $2}'); do
  grep -qE "^\.BI? \"?$command( |\"|$)" <<<"$manual" || fail "the manual page lacks '$command'"
done
