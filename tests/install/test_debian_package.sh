# The Debian package: made by cpack, it names the libraries the game links and its unpacked game plays.
# Usage: test_debian_package.sh BUILD_DIR CPACK
source "$(dirname "$0")/lib.sh" "" ""
build="$1"
cpack="$2"

(cd "$build" && "$cpack" -G DEB -B "$work/package" >/dev/null) || fail "cpack -G DEB failed"
deb="$(ls "$work"/package/kelvara-golf_*_amd64.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "no kelvara-golf_<version>_amd64.deb"
[ "$(dpkg-deb -f "$deb" Section)" = "games" ] || fail "the package is not in section games"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] && [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no maintainer or description"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libglfw3 libglew libbullet libassimp libinireader; do
    grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done

dpkg-deb -x "$deb" "$work/unpacked"
check_arguments "$work/unpacked/usr/bin/kelvara-golf"
play_from_elsewhere "$work/unpacked/usr/bin/kelvara-golf"
echo "ok"
