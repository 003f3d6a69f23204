#!/bin/sh
# The calculator in a real X window, as a person uses it: Xvfb with the openbox window
# manager, keys typed by xdotool, the clipboard read by xclip, windows compared as images
# with ImageMagick.
#
# usage: real_window_test.sh BENDWISE BENDWISE_CLI [SCREENSHOT_DIR]
#
# Checks, in order: the acceptance box and the calculator open; Ctrl+D, Ctrl+L and Ctrl+T
# open windows titled "Curve Diagram", "Length illustration" and "Stations and Stakeout";
# a new Delta redraws the open diagram; Ctrl+Shift+C puts the report block on the
# clipboard, the bytes bendwise-cli writes for the same entries; an Lrr entry after a Chord
# says why it is refused on the status line; Ctrl+D pressed in the stations window reaches
# the diagram; Escape closes the stations window and leaves the calculator open; at scale
# factor 2 on this 1280 x 1024 screen the calculator still fits; on a 1366 x 768 screen
# Stations and Stakeout opens whole and its Export... is reached from the keyboard; under a
# dark GTK theme (Adwaita dark) the calculator's Radius field reads at 4.5:1 or more. With
# SCREENSHOT_DIR the four windows are saved there as the
# README shows them (window.png, window-diagram.png, window-lengths.png,
# window-stations.png): sh tests/gui/real_window_test.sh build/app/bendwise
# build/cli/bendwise-cli docs
# Exits 77 (skipped) when a tool is missing, unless CI is set: CI must run it.
set -u
app=${1:?usage: real_window_test.sh BENDWISE BENDWISE_CLI [SCREENSHOT_DIR]}
cli=${2:?usage: real_window_test.sh BENDWISE BENDWISE_CLI [SCREENSHOT_DIR]}
shots=${3:-}

for tool in Xvfb openbox xdotool xclip import compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "real_window_test: $tool is not installed (scripts/install-deps.sh installs it)"
        [ -n "${CI:-}" ] && exit 1
        exit 77
    fi
done

work=$(mktemp -d) || exit 1
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null; done
    for pid in $pids; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAIL: $*"
    exit 1
}
step() { echo "-- $*"; }

# An X server of SIZE (1280x1024) with openbox on it, made the DISPLAY. A display number
# of the server's own choosing, so parallel runs never collide.
start_display() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids="$pids $!"
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    DISPLAY=:$(cat "$work/display")
    export DISPLAY
    # The window manager is up once it has set the desktops; a second try if not in 10 s.
    for attempt in 1 2; do
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        wm=$!
        pids="$pids $wm"
        for _ in $(seq 100); do xdotool get_num_desktops >/dev/null 2>&1 && break; sleep 0.1; done
        xdotool get_num_desktops >/dev/null 2>&1 && break
        echo "openbox did not start (try $attempt): $(cat "$work/openbox.log")"
        kill "$wm" 2>/dev/null
    done
    xdotool get_num_desktops >/dev/null 2>&1 || fail "openbox did not start"
}
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" LC_ALL=C TZ=UTC
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QT_SCALE_FACTOR XDG_SESSION_TYPE
start_display 1280x1024

# The first window whose name matches, waiting up to 20 s for it.
window() {
    timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1
}
# Types TEXT into the field that has the focus, replacing its text, and leaves it by Tab.
enter() {
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$1"
    xdotool key Tab
}
activate() { xdotool windowactivate --sync "$1" >/dev/null 2>&1; sleep 0.2; }
# A screenshot of a window, raised first: X keeps no pixels of a covered part.
shot() {
    xdotool windowraise "$1"
    sleep 0.2
    import -window "$1" "$2" 2>/dev/null || fail "no screenshot of $1"
}
# Pixels that differ between two screenshots.
differ() { compare -metric AE "$1" "$2" null: 2>&1; }
# Runs the command until it succeeds, for up to 10 s: a loaded machine (a sanitized build,
# tests in parallel) may take its time to handle the keys.
eventually() {
    for _ in $(seq 50); do "$@" && return 0; sleep 0.2; done
    return 1
}
clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }

step "acceptance box, then the calculator"
"$app" >"$work/app.log" 2>&1 &
pids="$pids $!"
about=$(window '^About Bendwise')
[ -n "$about" ] || fail "no acceptance box"
activate "$about"
xdotool key Return
calc=$(window '^Circular Curve Calculations')
[ -n "$calc" ] || fail "no calculator after Accept"
activate "$calc"

step "radius 1000, Delta 30"
xdotool key Tab Tab  # About, Close, Radius
enter 1000
xdotool key Tab Tab Tab  # Degree curve, Degree (chord), Delta/2, Delta
enter 30

step "Ctrl+D opens the curve diagram"
xdotool key ctrl+d
diagram=$(window '^Curve Diagram')
[ -n "$diagram" ] || fail "Ctrl+D opened no window titled Curve Diagram"
# Drawn and settled: two shots alike.
settled() {
    shot "$diagram" "$work/diagram-1.png"
    sleep 0.3
    shot "$diagram" "$work/diagram-2.png"
    [ "$(differ "$work/diagram-1.png" "$work/diagram-2.png")" = 0 ]
}
eventually settled || fail "the diagram keeps changing while nothing is entered"

step "a new Delta redraws the open diagram"
activate "$calc"
xdotool key shift+Tab  # back from L arc to Delta
enter 45
redrawn() {
    shot "$diagram" "$work/diagram-3.png"
    [ "$(differ "$work/diagram-2.png" "$work/diagram-3.png")" != 0 ]
}
eventually redrawn || fail "the diagram was not redrawn after a new Delta"
echo "   $(differ "$work/diagram-2.png" "$work/diagram-3.png") pixels changed"

step "Ctrl+Shift+C puts the report block on the clipboard"
activate "$calc"
xdotool key ctrl+shift+c
"$cli" radius=1000 delta=45 >"$work/expected.txt" || fail "bendwise-cli failed"
copied() {
    xclip -o -selection clipboard >"$work/clipboard.txt" 2>/dev/null &&
        cmp -s "$work/clipboard.txt" "$work/expected.txt"
}
eventually copied || {
    echo "clipboard:"; cat "$work/clipboard.txt"; echo "expected:"; cat "$work/expected.txt"
    fail "the clipboard does not hold the report block"
}

step "Ctrl+L and Ctrl+T open the length illustration and the stations window"
xdotool key ctrl+l
lengths=$(window '^Length illustration')
[ -n "$lengths" ] || fail "Ctrl+L opened no window titled Length illustration"
activate "$calc"
xdotool key ctrl+t
stations=$(window '^Stations and Stakeout')
[ -n "$stations" ] || fail "Ctrl+T opened no window titled Stations and Stakeout"

step "an Lrr entry after a Chord says why on the status line"
activate "$calc"
xdotool key Tab Tab  # L arc, Lrr, Chord
enter 300
xdotool key shift+Tab shift+Tab  # Chord, Lrr
enter 100
# The status line is the bottom row of the window: click it, select all, copy.
eval "$(xdotool getwindowgeometry --shell "$calc")"
xdotool mousemove --window "$calc" $((WIDTH / 4)) $((HEIGHT - HEIGHT * 9 / 372)) click 1
xdotool key --clearmodifiers ctrl+a ctrl+c
eventually clipboard_is "Lrr with Chord is a poorly determined pair: not accepted." ||
    fail "the status line says '$(xclip -o -selection clipboard 2>/dev/null)'"

if [ -n "$shots" ]; then
    step "screenshots into $shots"
    mkdir -p "$shots"
    # A curve that shows what each window is for: radius 300, Delta 60, its report block
    # copied; each window with its title bar.
    activate "$calc"
    xdotool key Tab Tab Tab  # from the status line: About, Close, Radius
    enter 300
    xdotool key Tab Tab Tab
    enter 60
    xdotool key ctrl+shift+c
    # The stations window placed by its PC: Alt+N and Alt+E reach Northing and Easting.
    activate "$stations"
    xdotool key alt+n
    xdotool type --delay 20 5000
    xdotool key alt+e
    xdotool type --delay 20 2000
    for window in "$diagram" "$lengths" "$stations"; do xdotool windowminimize "$window"; done
    sleep 0.5
    import -frame -window "$calc" "$shots/window.png" 2>/dev/null || fail "no screenshot"
    for pair in "$diagram window-diagram" "$lengths window-lengths" "$stations window-stations"; do
        set -- $pair
        xdotool windowmap "$1" 2>/dev/null
        activate "$1"
        sleep 0.5
        import -frame -window "$1" "$shots/$2.png" 2>/dev/null || fail "no screenshot of $2"
        xdotool windowminimize "$1"
    done
fi

step "Ctrl+D in the stations window raises the diagram; Escape closes only the stations"
activate "$stations"
xdotool windowminimize "$diagram"
sleep 0.3
xdotool key ctrl+d
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
eventually shown '^Curve Diagram' || fail "Ctrl+D in the stations window did not show the diagram"
activate "$stations"
xdotool key Escape
gone() { ! shown '^Stations and Stakeout'; }
eventually gone || fail "Escape did not close the stations window"
sleep 0.3
shown '^Circular Curve Calculations' || fail "Escape in the stations window closed the calculator"

step "at scale factor 2 the calculator fits the 1280 x 1024 screen"
QT_SCALE_FACTOR=2 "$app" >"$work/app2.log" 2>&1 &
pids="$pids $!"
about=$(window '^About Bendwise')
[ -n "$about" ] || fail "no acceptance box at scale factor 2"
activate "$about"
xdotool key Return
sleep 0.5
big=""
for id in $(timeout 20 xdotool search --sync --onlyvisible --name '^Circular Curve Calculations'); do
    [ "$id" != "$calc" ] && big=$id
done
[ -n "$big" ] || fail "no calculator at scale factor 2"
eval "$(xdotool getwindowgeometry --shell "$big")"
echo "   at $X,$Y, $WIDTH x $HEIGHT"
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ $((Y + HEIGHT)) -le 1024 ] ||
    fail "the calculator at scale factor 2 runs off the screen"

step "on a 1366 x 768 screen Stations and Stakeout opens whole, Export... by its key"
start_display 1366x768
"$app" >"$work/app3.log" 2>&1 &
pids="$pids $!"
about=$(window '^About Bendwise')
[ -n "$about" ] || fail "no acceptance box on the 1366 x 768 screen"
activate "$about"
xdotool key Return
calc=$(window '^Circular Curve Calculations')
[ -n "$calc" ] || fail "no calculator on the 1366 x 768 screen"
activate "$calc"
xdotool key ctrl+t
stations=$(window '^Stations and Stakeout')
[ -n "$stations" ] || fail "Ctrl+T opened no stations window on the 1366 x 768 screen"
# The frame too: the window manager's decorations must not run off the screen either.
eval "$(xdotool getwindowgeometry --shell "$stations")"
echo "   at $X,$Y, $WIDTH x $HEIGHT"
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1366 ] && [ $((Y + HEIGHT)) -le 768 ] ||
    fail "Stations and Stakeout runs off the 1366 x 768 screen"
activate "$stations"
xdotool key alt+n
xdotool type --delay 20 7123456.789
xdotool key alt+e
xdotool type --delay 20 712345.678
xdotool key alt+x
exported=$(window '^Export Curve Points')
[ -n "$exported" ] || fail "Alt+X did not reach Export... in the stations window"
xdotool key Escape

step "under a dark GTK theme the calculator's fields stay readable"
# Qt's GTK platform theme with Adwaita's dark variant: the desktop's palette is dark, the
# calculator keeps its own. The Radius field is cut out of the screenshot by its place in
# the control table (frontend/CurveControls.cpp: 68,45 59x14 of the 260x372 dialog units),
# scaled to the window's size; inside its frame the most common colour is the field's
# base, the colour farthest from it in luminance its text, and the two must differ by the
# 4.5:1 of readable text.
if [ -e "$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)/platformthemes/libqgtk3.so" ]; then
    QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark "$app" >"$work/app4.log" 2>&1 &
    pids="$pids $!"
    about=$(window '^About Bendwise')
    [ -n "$about" ] || fail "no acceptance box under the dark theme"
    activate "$about"
    xdotool key Return
    calc=$(window '^Circular Curve Calculations')
    [ -n "$calc" ] || fail "no calculator under the dark theme"
    activate "$calc"
    shot "$calc" "$work/dark.png"
    [ -n "$shots" ] && cp "$work/dark.png" "$shots/window-dark-theme.png"
    /usr/bin/python3 - "$work/dark.png" <<'CONTRAST' || fail "the Radius field is not readable under a dark theme"
import subprocess, sys
ppm = subprocess.run(["convert", sys.argv[1], "-depth", "8", "ppm:-"], capture_output=True,
                     check=True).stdout
_, w, h, _, data = ppm.split(maxsplit=4)
w, h = int(w), int(h)
sx, sy = w / 260, h / 372
# The middle of the field, well inside any theme's frame: the text line, not the border.
left, right = round((68 + 59 * 0.1) * sx), round((68 + 59 * 0.9) * sx)
top, bottom = round((45 + 14 * 0.3) * sy), round((45 + 14 * 0.7) * sy)
counts = {}
for y in range(top, bottom):
    for x in range(left, right):
        i = 3 * (y * w + x)
        c = tuple(data[i:i + 3])
        counts[c] = counts.get(c, 0) + 1
def lum(c):
    ch = lambda v: v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
    return 0.2126 * ch(c[0] / 255) + 0.7152 * ch(c[1] / 255) + 0.0722 * ch(c[2] / 255)
base = max(counts, key=counts.get)
text = max((c for c in counts if counts[c] >= 5), key=lambda c: abs(lum(c) - lum(base)))
ratio = (max(lum(base), lum(text)) + 0.05) / (min(lum(base), lum(text)) + 0.05)
print(f"   Radius field: base {base}, text {text}, contrast {ratio:.2f}:1")
sys.exit(0 if ratio >= 4.5 else 1)
CONTRAST
elif [ -n "${CI:-}" ]; then
    fail "Qt's GTK platform theme is missing (scripts/install-deps.sh installs qt6-gtk-platformtheme)"
else
    echo "   skipped: Qt's GTK platform theme is not installed"
fi

echo "all real-window checks passed"
