#!/usr/bin/env bash
# The installable program: desktop files valid, binary hardened, package clean
# under lintian, its icon the window's own, and the unpacked binary showing its
# window.
#   check_package.sh BUILD_DIR BINARY APP_ID ICON_XPM END_TO_END_TEST
set -euo pipefail
build=$1 binary=$2 app_id=$3 icon=$4 end_to_end=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$build/packaging/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$build/packaging/$app_id.metainfo.xml" ||
    fail "metainfo"
# Every check, but those that cannot apply to this machine.
skip=()
case $(uname -m) in
x86_64)
    # Branch protection (PAC, BTI) is AArch64's. Debian 12's hardening-check
    # does not know it, and refuses the option as a usage error (status 2).
    status=0
    hardening-check --nobranchprotection --quiet /bin/true >/dev/null 2>&1 || status=$?
    [ "$status" -eq 2 ] || skip+=(--nobranchprotection)
    # IBT and the shadow stack are marked only when every object linked in is
    # marked; the C start files of Debian 12 and 13 are not, so no binary
    # there has them (not even /usr/bin/ls).
    readelf -n "$(g++ -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT' ||
        skip+=(--nocfprotection)
    ;;
*) skip+=(--nocfprotection) ;; # x86's control-flow protection
esac
hardening-check "${skip[@]}" "$binary" || fail "hardening"

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(ls "$work"/tarvelo_*_amd64.deb)
[ "$(basename "$deb")" = "tarvelo_1.00_amd64.deb" ] || fail "package named $(basename "$deb")"
# Root is how CI runs; lintian only warns about it on stderr.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'root privileges' >&2) ||
    fail "lintian"

tree="$work/tree"
dpkg-deb -x "$deb" "$tree"
appstreamcli validate-tree --no-net "$tree" || fail "installed tree"
for path in usr/bin/tarvelo "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/tarvelo.1.gz \
    usr/share/doc/tarvelo/copyright usr/share/doc/tarvelo/changelog.gz; do
    [ -f "$tree/$path" ] || fail "missing $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins fonts-liberation libqt6widgets6; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = qt6-wayland ] || fail "Recommends lacks qt6-wayland"

# The installed icons are the window's icon: the 32-pixel one pixel for pixel,
# the 64-pixel one its exact double.
convert=$(command -v convert-im6.q16 || command -v /usr/bin/convert)
compare=$(command -v compare-im6.q16 || command -v /usr/bin/compare)
icons="$tree/usr/share/icons/hicolor"
differ=$("$compare" -metric AE "$icon" "$icons/32x32/apps/$app_id.png" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "32x32 icon differs from the window's in $differ pixels"
"$convert" "$icons/64x64/apps/$app_id.png" -sample 50% "PNG32:$work/halved.png"
differ=$("$compare" -metric AE "$icon" "$work/halved.png" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "64x64 icon is not the window's doubled: $differ pixels"
size=$("$convert" "$icons/64x64/apps/$app_id.png" -format '%wx%h' info:)
[ "$size" = 64x64 ] || fail "64x64 icon is $size"

# The unpacked binary starts and shows the idle rings on a real X server.
TARVELO_BINARY="$tree/usr/bin/tarvelo" \
    xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp -noreset" "$end_to_end" idleWindow ||
    fail "unpacked binary"
echo "1 passed, 0 failed"
