#!/usr/bin/env bash
# A picture of tests/forms/buscar.ui (a ctlTrovel and a ctlTrovel2) open in
# Qt Designer with the project's plugin, taken under Xvfb: Designer runs on
# a virtual screen whose framebuffer Xvfb keeps in a file, which is turned
# into docs/designer.png.
#
#   scripts/designer-screenshot.sh [BUILD] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs/designer.png}
designer=/usr/lib/qt6/bin/designer
[ -f "$build/plugins/designer/libtroveldesigner.so" ] || { echo "no plugin in $build/plugins/designer: build first" >&2; exit 1; }
[ -x "$designer" ] || { echo "no Qt Designer: apt-get install designer-qt6" >&2; exit 1; }

work=$(mktemp -d)
trap 'kill $designer_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
designer_pid="" xvfb_pid=""
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x860x24 -fbdir "$work" -nolisten tcp &
xvfb_pid=$!
sleep 1

# Designer with its windows docked in one main window, and no first-run dialogs.
mkdir -p "$work/home/.config/QtProject"
cat > "$work/home/.config/QtProject/Designer.conf" <<'CONF'
[UI]
currentMode=2

[WidgetBox]
Closed%20categories=Layouts, Spacers, Buttons, Item Views (Model-Based), Item Widgets (Item-Based), Containers, Input Widgets, Display Widgets
CONF
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" DISPLAY=$display \
  QT_PLUGIN_PATH="$PWD/$build/plugins" "$designer" -geometry 1400x860+0+0 tests/forms/buscar.ui >"$work/designer.log" 2>&1 &
designer_pid=$!
sleep "${DESIGNER_WAIT:-8}"
kill -0 "$designer_pid" || { cat "$work/designer.log" >&2; exit 1; }
cp "$work/Xvfb_screen0" "$work/screen.xwd"
python3 scripts/xwd2png.py "$work/screen.xwd" "$out"
echo "saved $out"
