# The Debian package: made by cpack, lintian finds no error or warning in it, it names the libraries the game links,
# its game is stripped, its documents agree on the version, and its unpacked game plays.
# Usage: test_debian_package.sh BUILD_DIR CPACK
source "$(dirname "$0")/lib.sh" "" ""
build="$1"
cpack="$2"

(cd "$build" && "$cpack" -G DEB -B "$work/package" >/dev/null) || fail "cpack -G DEB failed"
deb="$(ls "$work"/package/kelvara-golf_*_amd64.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "no kelvara-golf_<version>_amd64.deb"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(dpkg-deb -f "$deb" Section)" = "games" ] || fail "the package is not in section games"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libglfw3 libglew libbullet libassimp libinireader; do
    grep -q "$library" <<<"$depends" || fail "Depends does not name $library: $depends"
done

# Lintian's informational tags (I:) are shown but allowed; as root it needs to be told that this is intended.
allow_root=()
[ "$(id -u)" -ne 0 ] || allow_root=(--allow-root)
status=0
lintian "${allow_root[@]}" --display-info "$deb" >"$work/lintian.txt" 2>&1 || status=$?
! grep -E "^[EW]: " "$work/lintian.txt" || fail "lintian reports errors or warnings (above)"
[ "$status" -eq 0 ] || fail "lintian could not check the package: $(cat "$work/lintian.txt")"
grep "^I: " "$work/lintian.txt" || true

dpkg-deb -x "$deb" "$work/unpacked"
game="$work/unpacked/usr/games/kelvara-golf"
[ ! -e "$work/unpacked/usr/bin" ] || fail "the package has usr/bin: $(ls "$work/unpacked/usr/bin")"
check_installed_files "$work/unpacked" /usr

[[ "$(file -b "$game")" == *", stripped"* ]] && ! readelf -S "$game" | grep -q "\.debug_" ||
    fail "the packaged game is not stripped: $(file -b "$game")"

doc="$work/unpacked/usr/share/doc/kelvara-golf"
[ "$(head -n 1 "$doc/copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "the copyright file is not in the machine-readable format"
gzip -dc "$doc/changelog.gz" >"$work/changelog" || fail "no readable changelog.gz"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's latest entry is not version $version: add one to packaging/changelog"
metainfo="$work/unpacked/usr/share/metainfo/org.kelvara_golf.KelvaraGolf.metainfo.xml"
[ "$(grep -o -m 1 '<release version="[^"]*"' "$metainfo")" = "<release version=\"$version\"" ] ||
    fail "the AppStream metadata's first release is not version $version"

check_arguments "$game"
play_from_elsewhere "$game"
echo "ok"
