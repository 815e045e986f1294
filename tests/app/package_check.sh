#!/usr/bin/env bash
# The Debian package as a family member meets it: unpacked into a scratch folder, started
# with a fresh home, logged in as admin, one income recorded, the program left, then the
# updater started. The record must land in the user's data folder and nothing may be
# written beside the program. Usage: package_check.sh BUILD_DIR
set -euo pipefail
trap 'echo "FAIL: $BASH_COMMAND (line $LINENO)" >&2' ERR
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Each wait ends on its condition, or fails after 30 s.
window_named() {
  local ids
  ids=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$") || fail "no window \"$1\" within 30 s"
  echo "${ids%%$'\n'*}"
}
main_window() {
  for _ in $(seq 300); do
    sed -n 's/^pursewickHwnd=//p' "$home/.config/pursewick.conf" 2>/dev/null | grep . && return
    sleep 0.1
  done
  fail "no main window within 30 s"
}
# Starts an unpacked program as the user would, the keys typed into its first window to follow.
run_unpacked() {
  env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$scratch/run" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
    LANG=C.UTF-8 QT_QPA_PLATFORM=xcb "$root/$1" &
  app=$!
  xdotool windowfocus --sync "$(window_named "$2")"
}
ended() { timeout 30 tail --pid="$app" -f /dev/null && wait "$app" || fail "$1 did not end well"; }

if [ "$1" = --drive ]; then # inside the X server xvfb-run starts
  trap 'kill "$app" 2>/dev/null || true' EXIT
  run_unpacked usr/bin/pursewick Hearthtally
  xdotool type admin && xdotool key Tab && xdotool type admin && xdotool key Return
  xdotool windowfocus --sync "$(main_window)" key F4 # 增加收入
  xdotool windowfocus --sync "$(window_named 增加收入)"
  # The first category, the amount, the remark, OK, and the dialog closed.
  xdotool key Down Tab Tab ctrl+a && xdotool type 12.34 && xdotool key Tab && xdotool type pkgcheck
  xdotool key Tab space Escape
  xdotool windowfocus --sync "$(main_window)" key alt+s x # 系统 → 退出
  ended pursewick
  run_unpacked usr/libexec/hearthtally/update 在线升级
  xdotool key Return
  ended update
  exit 0
fi

for tool in cpack dpkg-deb xvfb-run xdotool sqlcipher; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
export scratch=$(mktemp -d) root home
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
root=$scratch/root home=$scratch/home
mkdir -m 700 "$home" "$scratch/run"
cpack --config "$1/CPackConfig.cmake" -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/hearthtally_*_*.deb)
dpkg-deb -x "$deb" "$root"
chmod -R a-w "$root" # as /usr is to a user
listing() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(listing)
xvfb-run -a -s '-screen 0 1280x900x24' "$0" --drive

data=$home/.local/share/Hearthtally
[ "$(stat -c %a "$data" "$data/syslibs.dll" | xargs)" = "700 600" ] || fail "data folder or database readable by others"
ls "$data/config.ini" "$data/update.ini" "$data"/backups/syslibs-*.dbk >/dev/null
sqlcipher "$data/syslibs.dll" "PRAGMA key='quorn!@#7146';" "PRAGMA cipher_page_size=4096;" \
  "SELECT count(*) FROM pursewicks WHERE username='admin' AND style=1 AND money=12.34 AND memo='pkgcheck';" |
  tail -n 1 | grep -qx 1 || fail "the record is not in the user's database"
[ "$(listing)" = "$before" ] || fail "written beside the program: $(diff <(echo "$before") <(listing))"

# The checks a distribution runs, where their tools are installed.
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$root"/usr/share/applications/*.desktop
! command -v appstreamcli >/dev/null || appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null
! command -v lintian >/dev/null || lintian --fail-on error "$deb"
