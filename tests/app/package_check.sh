#!/usr/bin/env bash
# The Debian package as a family member meets it: packed from the build, unpacked into a
# scratch folder, started with a fresh home, logged in as admin, one income recorded and
# the program left. The record must land in the user's data folder, and nothing may be
# written beside the program. Then the package, menu entry and AppStream data are checked.
# Usage: package_check.sh BUILD_DIR
set -euo pipefail
trap 'echo "FAIL: $BASH_COMMAND (line $LINENO)" >&2' ERR

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Waits up to 30 s for a condition; only the condition ends the wait early.
until_true() {
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.1
  done
  fail "timed out waiting for: $*"
}
main_window_up() { grep -qs '^pursewickHwnd=' "$store"; }
# Waits up to 30 s for a shown window of that title; prints its id.
window_named() {
  local ids
  ids=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$") || fail "no window \"$1\" within 30 s"
  echo "${ids%%$'\n'*}"
}

# Runs inside the X server that xvfb-run starts: drives the program by keyboard.
run_unpacked() {
  env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$scratch/run" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
    LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$root/$1" &
}
drive() {
  run_unpacked usr/bin/pursewick
  app=$!
  trap '[ -n "$app" ] && kill "$app" 2>/dev/null' EXIT
  login=$(window_named Hearthtally)
  xdotool windowfocus --sync "$login"
  xdotool type --delay 20 admin
  xdotool key Tab
  xdotool type --delay 20 admin
  xdotool key Return
  until_true main_window_up
  main=$(sed -n 's/^pursewickHwnd=//p' "$store")
  xdotool windowfocus --sync "$main"
  xdotool key F4
  record=$(window_named 增加收入)
  xdotool windowfocus --sync "$record"
  # The first category, then the amount and the remark, then OK.
  xdotool key Down Tab Tab ctrl+a
  xdotool type --delay 20 12.34
  xdotool key Tab
  xdotool type --delay 20 pkgcheck
  xdotool key Tab space Escape
  xdotool windowfocus --sync "$main"
  # 系统 → 退出
  xdotool key alt+s x
  timeout 30 tail --pid="$app" -f /dev/null || fail "the program did not end"
  wait "$app" || fail "the program ended with an error"
  # The updater leaves the program to the package manager: it says so and ends.
  run_unpacked usr/libexec/hearthtally/update
  app=$!
  xdotool windowfocus --sync "$(window_named 在线升级)"
  xdotool key Return
  timeout 30 tail --pid="$app" -f /dev/null || fail "the updater did not end"
  wait "$app" || fail "the updater ended with an error"
  app=
}
if [ "$1" = --drive ]; then
  drive
  exit 0
fi

build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb xvfb-run xdotool sqlcipher; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/hearthtally_*_*.deb)
root=$scratch/root
dpkg-deb -x "$deb" "$root"
# Read-only, as /usr is to a user.
chmod -R a-w "$root"
listing() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(listing)

home=$scratch/home
mkdir -p "$home" "$scratch/run"
chmod 700 "$scratch/run"
data=$home/.local/share/Hearthtally
store=$home/.config/pursewick.conf

export home scratch root store
xvfb-run -a -s '-screen 0 1280x900x24' "$0" --drive

[ -d "$data" ] || fail "no data folder $data"
[ "$(stat -c %a "$data")" = 700 ] || fail "data folder mode $(stat -c %a "$data")"
[ "$(stat -c %a "$data/syslibs.dll")" = 600 ] || fail "database mode $(stat -c %a "$data/syslibs.dll")"
for f in config.ini update.ini; do [ -f "$data/$f" ] || fail "no $f in the data folder"; done
ls "$data"/backups/syslibs-*.dbk >/dev/null || fail "no daily backup in the data folder"
records=$(sqlcipher "$data/syslibs.dll" "PRAGMA key='quorn!@#7146';" "PRAGMA cipher_page_size=4096;" \
  "SELECT count(*) FROM pursewicks WHERE username='admin' AND style=1 AND money=12.34 AND memo='pkgcheck';" |
  tail -n 1)
[ "$records" = 1 ] || fail "the record is not in the user's database ($records)"
[ "$(listing)" = "$before" ] || fail "something was written beside the program: $(diff <(echo "$before") <(listing))"

# The checks a distribution runs, where their tools are installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root"/usr/share/applications/org.hearthtally.Hearthtally.desktop
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root"/usr/share/metainfo/org.hearthtally.Hearthtally.metainfo.xml >/dev/null
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
fi
echo "package checked: $(basename "$deb")"
