# cmake --install into a temporary prefix: the installed game plays from any folder and knows its version.
# Usage: test_cmake_install.sh BUILD_DIR CMAKE
source "$(dirname "$0")/lib.sh" "" ""
build="$1"
cmake="$2"

"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null || fail "cmake --install failed"
for part in bin/kelvara-golf share/kelvara-golf/Config/default.ini share/applications/kelvara-golf.desktop \
            share/icons/hicolor/256x256/apps/kelvara-golf.png share/icons/hicolor/16x16/apps/kelvara-golf.png \
            share/doc/kelvara-golf/LICENSE share/doc/kelvara-golf/README.md; do
    [ -e "$work/prefix/$part" ] || fail "nothing installed at $part"
done
[ ! -e "$work/prefix/bin/kelvara-simulate" ] && [ ! -e "$work/prefix/bin/kelvara-generate" ] || fail "a tool was installed"

check_arguments "$work/prefix/bin/kelvara-golf"
play_from_elsewhere "$work/prefix/bin/kelvara-golf"
echo "ok"
