# cmake --install into a temporary prefix: the game lands in games/ with its data, menu entry, AppStream metadata,
# manual page and documents, and the menu entry's program plays from any folder and knows its version.
# Usage: test_cmake_install.sh BUILD_DIR CMAKE
source "$(dirname "$0")/lib.sh" "" ""
build="$1"
cmake="$2"

"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install failed"
for part in games/kelvara-golf share/kelvara-golf/Config/default.ini \
            share/icons/hicolor/16x16/apps/org.kelvara_golf.KelvaraGolf.png share/doc/kelvara-golf/README.md \
            share/doc/kelvara-golf/copyright share/doc/kelvara-golf/changelog.gz; do
    [ -e "$work/prefix/$part" ] || fail "nothing installed at $part"
done
[ ! -e "$work/prefix/bin" ] || fail "something was installed in bin/: $(ls "$work/prefix/bin")"
[ -z "$(find "$work/prefix" -name 'kelvara-simulate' -o -name 'kelvara-generate')" ] || fail "a tool was installed"

# games/ is only the default: a bindir given when configuring is kept as given, relative to the prefix.
"$cmake" -S "$(dirname "$0")/../.." -B "$work/configured" -DKELVARA_TESTS=OFF -DCMAKE_INSTALL_BINDIR=bin >/dev/null ||
    fail "configuring with -DCMAKE_INSTALL_BINDIR=bin failed"
grep -qx "CMAKE_INSTALL_BINDIR:PATH=bin" "$work/configured/CMakeCache.txt" ||
    fail "-DCMAKE_INSTALL_BINDIR=bin became $(grep "^CMAKE_INSTALL_BINDIR:" "$work/configured/CMakeCache.txt")"

check_installed_files "" "$work/prefix"
check_arguments "$work/prefix/games/kelvara-golf"
play_from_elsewhere "$(sed -n 's/^Exec=//p' "$work/prefix/share/applications/org.kelvara_golf.KelvaraGolf.desktop")"
echo "ok"
