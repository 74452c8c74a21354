#!/usr/bin/env bash
# The Debian package: builds it with CPack, checks its control data and
# contents, checks "cmake --install" into a staging folder, validates the
# desktop entry and AppStream metainfo from the unpacked package, installs
# it with apt, starts the installed program in a virtual X display as an
# ordinary user with an empty home folder, checks that it shows its main
# window, copies the catalogue into the user's data folder, writes its
# settings into the user's configuration folder and nothing into the
# program folder, then purges the package again.
#
# Uses the build in build-test/ when it is there (scripts/test.sh makes it);
# otherwise builds the program alone in build-package/. Installs and purges
# the package, so it runs as root, as CI does.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)

fail() { echo "gate-package: FAIL: $*" >&2; exit 1; }
note() { echo "gate-package: $*"; }

[ "$(id -u)" = 0 ] || fail "run as root: the gate installs and purges the package"

for c in cmake cpack dpkg-deb apt-get setpriv desktop-file-validate appstreamcli Xvfb xdotool import file cmp; do
  command -v "$c" >/dev/null || fail "missing tool $c (scripts/install-deps.sh installs it)"
done

if [ -f build-test/build.ninja ] && [ -x build-test/tolvarin ]; then
  BUILD=build-test
  cmake --build "$BUILD" -j2 --target tolvarin
else
  BUILD=build-package
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVARIN_TESTS=OFF -DTOLVARIN_BENCH=OFF
  cmake --build "$BUILD" -j2
fi
OUT=$BUILD/package-gate
rm -rf "$OUT"
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

work=$(mktemp -d)
xvfb_pid=""
prog_pid=""
installed_here=0
cleanup() {
  [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ "$installed_here" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tolvarin >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- the package
(cd "$BUILD" && cpack -G DEB -B "$OUT" >"$OUT/cpack.log" 2>&1) || { cat "$OUT/cpack.log"; fail "cpack failed"; }
deb=$(ls "$OUT"/tolvarin_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "cpack made no tolvarin_*.deb"
[ "$(basename "$deb")" = "tolvarin_1.5_$(dpkg --print-architecture).deb" ] || fail "unexpected file name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tolvarin ] || fail "package name is $(field Package)"
[ "$(field Version)" = 1.5 ] || fail "version is $(field Version)"
[ "$(field Section)" = science ] || fail "section is $(field Section)"
field Maintainer | grep -q '@example\.org>' || fail "maintainer is $(field Maintainer)"
depends=$(field Depends)
for dep in fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n xdg-utils libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo libc6; do
  echo "$depends" | grep -Eq "(^|, )$dep( |,|$)" || fail "Depends lacks $dep: $depends"
done

dpkg-deb -c "$deb" >"$OUT/contents.txt"
paths=$(awk '{print $6}' "$OUT/contents.txt")
for p in ./opt/tolvarin/tolvarin ./opt/tolvarin/NoImage.jpg ./opt/tolvarin/tolvarin.hlp \
         ./opt/tolvarin/picture/Tolvarin.dat \
         ./usr/share/applications/org.example.tolvarin.desktop \
         ./usr/share/metainfo/org.example.tolvarin.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/tolvarin.svg \
         ./usr/share/icons/hicolor/256x256/apps/tolvarin.png; do
  echo "$paths" | grep -qxF "$p" || fail "package lacks $p"
done
# Every file of the sample catalogue and of the new pictures, and nothing
# outside the program folder and the desktop integration folders.
for f in sample/picture/*; do
  echo "$paths" | grep -qxF "./opt/tolvarin/picture/$(basename "$f")" || fail "package lacks picture/$(basename "$f")"
done
for f in sample/new/*; do
  echo "$paths" | grep -qxF "./opt/tolvarin/new-pictures/$(basename "$f")" || fail "package lacks new-pictures/$(basename "$f")"
done
stray=$(echo "$paths" | grep -Ev '^\./($|opt/|opt/tolvarin/.*|usr/|usr/share/|usr/share/(applications|metainfo)/.*|usr/share/icons/|usr/share/icons/hicolor/.*)$' || true)
[ -z "$stray" ] || fail "unexpected files in the package: $stray"
echo "$paths" | grep -Eq '(test_|bench_|generator|gtest|benchmark)' && fail "tests, benchmarks or the generator are packaged"
awk '{print $2}' "$OUT/contents.txt" | grep -qv '^root/root$' && fail "files not owned by root"
note "package: $(basename "$deb"), $(echo "$paths" | grep -vc '/$') files, Depends: $depends"

# ---------------------------------------------------------------- unpacked
unpacked=$work/root
dpkg-deb -x "$deb" "$unpacked"
file "$unpacked/opt/tolvarin/tolvarin" | grep -q 'not stripped' && fail "the packaged executable is not stripped"
cmp -s "$unpacked/opt/tolvarin/picture/Tolvarin.dat" sample/picture/Tolvarin.dat || fail "packaged Tolvarin.dat differs"
desktop="$unpacked/usr/share/applications/org.example.tolvarin.desktop"
desktop-file-validate "$desktop" 2>&1 | grep -v 'hint:' | grep . && fail "desktop entry does not validate"
for line in 'Name=Tolvarin' 'Exec=/opt/tolvarin/tolvarin' 'Icon=tolvarin' 'Categories=Education;Science;Biology;'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -q '^Name\[ja\]=' "$desktop" && grep -q '^Comment=' "$desktop" && grep -q '^Comment\[ja\]=' "$desktop" ||
  fail "desktop entry lacks the Japanese name or a comment"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.example.tolvarin.metainfo.xml" >"$OUT/appstream.txt" 2>&1 ||
  { cat "$OUT/appstream.txt"; fail "AppStream metainfo does not validate"; }
file "$unpacked/usr/share/icons/hicolor/256x256/apps/tolvarin.png" | grep -q '256 x 256' || fail "PNG icon is not 256x256"
missing_libs=$(ldd "$unpacked/opt/tolvarin/tolvarin" | grep 'not found' || true)
[ -z "$missing_libs" ] || fail "unresolved libraries: $missing_libs"

# "cmake --install" lays out the same program folder.
DESTDIR=$work/stage cmake --install "$BUILD" --prefix /usr >/dev/null
(cd "$work/stage" && find . -type f | sort) >"$work/staged.txt"
(cd "$unpacked" && find . -type f | sort) >"$work/packaged.txt"
diff -u "$work/packaged.txt" "$work/staged.txt" >/dev/null || fail "cmake --install and the package differ"

# ---------------------------------------------------------------- installed
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$OUT/apt.log" 2>&1 ||
  { cat "$OUT/apt.log"; fail "apt-get install failed"; }
installed_here=1
program_dir=/opt/tolvarin
# Root may write anywhere, so the installed program would keep its files
# beside itself; a desktop user may not. Run it as such a user.
chmod 755 "$work"
user_home=$(mktemp -d "$work/home.XXXXXX")
chown nobody:nogroup "$user_home"
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
touch "$work/started"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$work/display")

"${as_user[@]}" env -i HOME="$user_home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
  "$program_dir/tolvarin" >"$OUT/program.log" 2>&1 &
prog_pid=$!

window=""
for _ in $(seq 100); do
  kill -0 "$prog_pid" 2>/dev/null || { cat "$OUT/program.log"; fail "the installed program ended at start"; }
  window=$(timeout 5 xdotool search --onlyvisible --name '^Tolvarin－植物検索－' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "no main window within 20 s"
sleep 2
kill -0 "$prog_pid" 2>/dev/null || fail "the installed program did not stay up"
import -window root "$OUT/installed.png"
# Only the main window: an error box would mean the catalogue was not found.
others=$(timeout 5 xdotool search --onlyvisible --name '.' 2>/dev/null | grep -vx "$window" || true)
for w in $others; do
  name=$(timeout 5 xdotool getwindowname "$w" 2>/dev/null || true)
  [ -n "$name" ] && fail "unexpected window at start: $name"
done

data=$user_home/.local/share/tolvarin/picture
config=$user_home/.config/tolvarin
cmp -s "$data/Tolvarin.dat" "$program_dir/picture/Tolvarin.dat" || fail "Tolvarin.dat was not copied into $data"
[ -d "$config" ] || fail "the configuration folder was not made"

# End it as a user would: ファイル(F) → 終了(X).
timeout 5 xdotool windowfocus --sync "$window"
timeout 5 xdotool key alt+f
sleep 0.5
timeout 5 xdotool key x
for _ in $(seq 75); do kill -0 "$prog_pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$prog_pid" 2>/dev/null && fail "the program did not end on 終了"
wait "$prog_pid" || fail "the program ended with status $?"
prog_pid=""

ini=$config/Tolvarin.ini
[ -f "$ini" ] || fail "no settings file $ini"
grep -qx "CdDir=$program_dir/picture/"$'\r' "$ini" || fail "CdDir is not the installed catalogue: $(grep CdDir "$ini")"
grep -qx "HddDir=$data/"$'\r' "$ini" || fail "HddDir is not the user's data folder: $(grep HddDir "$ini")"
written=$(find "$program_dir" -newer "$work/started" 2>/dev/null || true)
[ -z "$written" ] || fail "the program wrote into its program folder: $written"
ls "$program_dir"/*.ini >/dev/null 2>&1 && fail "a settings file appeared in the program folder"

if [ "$installed_here" = 1 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tolvarin >"$OUT/purge.log" 2>&1 || fail "purge failed"
  installed_here=0
  [ ! -e /opt/tolvarin ] || fail "/opt/tolvarin remains after purge"
  [ ! -e /usr/share/applications/org.example.tolvarin.desktop ] || fail "desktop entry remains after purge"
fi

note "passed in $(( $(date +%s) - start )) s (screenshot: $OUT/installed.png)"
