#!/usr/bin/env bash
# The installed program as a user meets it: builds the Debian package in an existing build
# folder, checks its contents and dependencies, installs and removes it in a scratch root,
# then unpacks it and runs the installed programs from there as an ordinary user with a
# scratch HOME (first start, an apply, the window started in the tray under Xvfb), and checks
# the desktop entry, the user unit and the package with the distribution's tools.
# Usage: tools/package_test.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

fail() {
  echo "package test: FAILED: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

scratch=$(mktemp -d /tmp/kr450-package-XXXXXX)
chmod 755 "$scratch"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

step "building the package"
rm -f "$build"/kr450_*.deb
cmake --build "$build" --target package >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log"
  fail "cpack"
}
debs=("$build"/kr450_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one kr450_*.deb in $build"
deb=${debs[0]}
echo "$deb ($(stat -c %s "$deb") bytes)"

step "dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libc6 libqt6widgets6 libqt6gui6 libudev1 fonts-wqy-zenhei; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed"
done

step "contents"
# Every file the package holds, and nothing else.
expected=(
  ./usr/bin/kr450
  ./usr/bin/kr450-cli
  ./usr/lib/systemd/user/kr450.service
  ./usr/lib/udev/rules.d/70-kr450.rules
  ./usr/share/applications/kr450.desktop
  ./usr/share/doc/kr450/changelog.gz
  ./usr/share/doc/kr450/copyright
  ./usr/share/kr450/defaults/Macro.dat
  ./usr/share/kr450/defaults/config.ini
  ./usr/share/man/man1/kr450-cli.1.gz
  ./usr/share/man/man1/kr450.1.gz
)
icon_sizes=(16 22 24 32 48 64 128 256)
for size in "${icon_sizes[@]}"; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/kr450.png")
done
while IFS= read -r skin; do expected+=("./usr/share/kr450/skins/$skin"); done \
  < <(cd data/skins && find . -type f -printf '%P\n')
printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$scratch/expected.txt"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | LC_ALL=C sort >"$scratch/actual.txt"
diff -u "$scratch/expected.txt" "$scratch/actual.txt" || fail "the package's files differ"
echo "$(wc -l <"$scratch/actual.txt") files"

step "install and remove in a scratch root"
dpkg_root=$scratch/dpkg-root
mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
touch "$dpkg_root/var/lib/dpkg/status" "$dpkg_root/var/lib/dpkg/available"
in_root=(dpkg --root="$dpkg_root" --force-script-chrootless --force-not-root --force-depends
  --log=/dev/null)
"${in_root[@]}" -i "$deb" >"$scratch/dpkg.log" 2>&1 || {
  cat "$scratch/dpkg.log"
  fail "dpkg -i"
}
[ "$(dpkg-query --admindir="$dpkg_root/var/lib/dpkg" -W -f='${Status}' kr450)" = \
  "install ok installed" ] || fail "not installed"
"${in_root[@]}" --purge kr450 >>"$scratch/dpkg.log" 2>&1 || {
  cat "$scratch/dpkg.log"
  fail "dpkg --purge"
}
left=$(cd "$dpkg_root" && find . -path ./var/lib/dpkg -prune -o ! -type d -print)
[ -z "$left" ] || fail "left after purge: $left"
echo "installed, purged, nothing left"

step "unpacked into a scratch root"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
cmp "$root/usr/lib/udev/rules.d/70-kr450.rules" data/70-kr450.rules
cmp "$root/usr/lib/systemd/user/kr450.service" data/kr450.service
cmp "$root/usr/share/applications/kr450.desktop" data/kr450.desktop
cmp "$root/usr/share/kr450/defaults/config.ini" data/config.ini
cmp "$root/usr/share/kr450/defaults/Macro.dat" data/Macro.dat
diff -r "$root/usr/share/kr450/skins" data/skins
for page in kr450.1 kr450-cli.1; do
  gzip -dc "$root/usr/share/man/man1/$page.gz" | cmp - "data/$page"
done
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in "${icon_sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/kr450.png
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x$height"
done
echo "files as in data/, icons at their sizes"

# The programs run as an ordinary user: nobody when this runs as root.
home=$scratch/home
runtime=$scratch/runtime
mkdir -p "$home" "$runtime"
chmod 700 "$runtime"
user_prefix=()
if [ "$(id -u)" -eq 0 ]; then
  id nobody >/dev/null 2>&1 && command -v runuser >/dev/null || fail "needs runuser and nobody"
  chown nobody "$home" "$runtime"
  user_prefix=(runuser -u nobody --)
fi
config_home=$home/config-home # not ~/.config: XDG_CONFIG_HOME must be honoured
as_user() {
  "${user_prefix[@]}" env -i HOME="$home" XDG_CONFIG_HOME="$config_home" \
    XDG_RUNTIME_DIR="$runtime" PATH="$root/usr/bin:/usr/bin:/bin" LANG=C.UTF-8 "$@"
}
touch "$scratch/before-runs"
sleep 1 # file times are compared below

step "first start as $(as_user id -un) copies the defaults"
as_user kr450-cli show 1 >"$scratch/show.txt" || fail "kr450-cli show 1"
grep -q '^CurConfig=' "$scratch/show.txt" || fail "show printed no CurConfig"
for name in config.ini Macro.dat; do
  cmp "$config_home/kr450/$name" "$root/usr/share/kr450/defaults/$name" ||
    fail "$name not copied from the defaults"
done

step "kr450-cli --simulate apply 4 on the user's files"
as_user kr450-cli --simulate --trace apply 4 >"$scratch/apply.txt" || {
  cat "$scratch/apply.txt"
  fail "apply 4"
}
reports=$(grep -c '^report 07 ' "$scratch/apply.txt" || true)
[ "$reports" -eq 8 ] || fail "apply 4 sent $reports reports instead of 8"
grep -qx 'CurConfig=4' <(tr -d '\r' <"$config_home/kr450/config.ini") ||
  fail "config.ini of the user does not say CurConfig=4"
cmp -s "$config_home/kr450/config.ini" "$root/usr/share/kr450/defaults/config.ini" &&
  fail "the user's config.ini was not written"
cmp "$root/usr/share/kr450/defaults/config.ini" data/config.ini

step "kr450-cli probe tells whether /dev/uinput can be opened"
as_user kr450-cli --simulate probe >"$scratch/probe.txt" || fail "probe"
grep '^uinput: ' "$scratch/probe.txt" || fail "probe says nothing about /dev/uinput"

# The window: started hidden with its tray icon where a tray host runs, and shown by a second
# start, as from the desktop's menu.
if ! command -v Xvfb >/dev/null || ! command -v trayer >/dev/null || ! command -v xdotool \
  >/dev/null || ! command -v xwininfo >/dev/null; then
  fail "the window test needs Xvfb, trayer, xdotool and xwininfo (tools/deps.sh)"
fi
step "kr450 --simulate --tray under Xvfb with a tray host"
# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" \
  >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$scratch/display")
trayer --edge top --align right --widthtype request --height 24 >"$scratch/trayer.log" 2>&1 &
trayer_pid=$!
pids+=($trayer_pid)
for _ in $(seq 50); do
  xdotool search --classname trayer >/dev/null 2>&1 && break
  sleep 0.1
done
title='KR-450宏编程游戏鼠'

# Starts `kr450 --simulate --tray` as the user; sets kr450_pid (the program) and kr450_runner
# (the job to wait for).
start_in_tray() {
  rm -f "$runtime/kr450.pid"
  as_user env DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
    sh -c 'echo $$ >"$1"; shift; exec "$@"' sh "$runtime/kr450.pid" \
    kr450 --simulate --tray >"$1" 2>&1 &
  kr450_runner=$!
  pids+=($kr450_runner)
  for _ in $(seq 50); do
    [ -s "$runtime/kr450.pid" ] && break
    sleep 0.1
  done
  kr450_pid=$(cat "$runtime/kr450.pid" 2>/dev/null || true)
  [ -n "$kr450_pid" ] || fail "kr450 did not start"
  pids+=($kr450_pid)
}
stop_tray_window() {
  kill "$kr450_pid" 2>/dev/null || true
  wait "$kr450_runner" 2>/dev/null || true
}
# The tray icon is a window of the program that the tray host took in (reparented): with no
# window manager here, nothing else reparents a window.
tray_icon_embedded() {
  local window
  for window in $(xdotool search --pid "$kr450_pid" 2>/dev/null); do
    xwininfo -children -id "$window" 2>/dev/null |
      grep -q '^ *Parent window id: .*(the root window)' && continue
    echo "$window"
    return 0
  done
  return 1
}
window_shown() { xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; }
still_running() {
  kill -0 "$kr450_pid" 2>/dev/null || {
    cat "$1"
    fail "kr450 ended"
  }
}

start_in_tray "$scratch/kr450.log"
embedded=
for _ in $(seq 100); do
  embedded=$(tray_icon_embedded) && break
  sleep 0.1
done
still_running "$scratch/kr450.log"
[ -n "$embedded" ] || {
  cat "$scratch/kr450.log"
  fail "no tray icon taken in by the tray host"
}
sleep 0.5
window_shown && fail "the window is shown although started with --tray"
echo "tray icon $embedded embedded, window hidden"

step "a second start shows the first one's window"
# A start that does not find the first one would stay: the timeout ends it as a failure.
as_user timeout 20 env DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb kr450 --simulate \
  >"$scratch/second.log" 2>&1 || {
  cat "$scratch/second.log"
  fail "the second start failed"
}
for _ in $(seq 50); do
  window_shown && break
  sleep 0.1
done
window_shown || fail "the second start did not show the window"
still_running "$scratch/kr450.log"
stop_tray_window
echo "window shown"

step "kr450 --simulate --tray without a tray host starts minimised"
kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null || true
start_in_tray "$scratch/kr450-no-tray.log"
# No window manager runs here to minimise it: the window asks for it (initial state Iconic).
window=
for _ in $(seq 100); do
  window=$(xdotool search --pid "$kr450_pid" --name "$title" 2>/dev/null | head -n1) &&
    [ -n "$window" ] && break
  sleep 0.1
done
still_running "$scratch/kr450-no-tray.log"
[ -n "$window" ] || fail "no window"
xprop -id "$window" WM_HINTS | grep -q 'Initial state is Iconic' ||
  fail "the window does not start minimised: $(xprop -id "$window" WM_HINTS)"
tray_icon_embedded >/dev/null && fail "a tray icon without a tray host"
stop_tray_window
echo "window $window minimised"

step "nothing written into the installed folders"
written=$(find "$root" -newer "$scratch/before-runs")
[ -z "$written" ] || fail "the programs wrote into their installed folders: $written"
echo "none"

step "desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/kr450.desktop"
echo "valid"

step "systemd-analyze verify"
if ! command -v systemd-analyze >/dev/null; then
  echo "skipped: systemd-analyze is not installed"
else
  # The unit as installed, but with its program in the scratch root; the manual pages it
  # names are looked up there too.
  unit_dir=$scratch/unit
  mkdir -p "$unit_dir"
  sed "s|^ExecStart=kr450 |ExecStart=$root/usr/bin/kr450 |" \
    "$root/usr/lib/systemd/user/kr450.service" >"$unit_dir/kr450.service"
  grep -q "^ExecStart=$root/usr/bin/kr450 --tray$" "$unit_dir/kr450.service" ||
    fail "the unit's ExecStart is not 'kr450 --tray'"
  man_check=(--man=no)
  command -v man >/dev/null && man_check=(--man=yes)
  # It exits 0 on a setting it ignores ("Unknown key", "Failed to parse"): any word fails.
  if XDG_RUNTIME_DIR=$runtime MANPATH=$root/usr/share/man \
    systemd-analyze verify --user "${man_check[@]}" "$unit_dir/kr450.service" \
    >"$scratch/verify.log" 2>&1 && [ ! -s "$scratch/verify.log" ]; then
    echo "passed"
    [ "${man_check[0]}" = --man=yes ] || echo "(the manual pages it names not checked: no man here)"
  elif grep -q 'Failed to initialize manager' "$scratch/verify.log"; then
    echo "skipped: $(grep -m1 'Failed' "$scratch/verify.log")"
  else
    cat "$scratch/verify.log"
    fail "systemd-analyze verify"
  fi
fi

step "lintian"
if ! command -v lintian >/dev/null; then
  echo "skipped: lintian is not installed"
else
  lintian --fail-on error --info "$deb" || fail "lintian reports errors"
  echo "no errors"
fi
echo "package test passed"
