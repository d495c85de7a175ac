#!/usr/bin/env bash
# Takes the screenshots of the README: the built tool in a real X window
# (Xvfb) with the simulated demo module, one page at a time, stored in
# docs/screenshots/. Usage: scripts/screenshots.sh [LANGUAGE] [GEOMETRY] [SCALE]
# (LANGUAGE as the language list names it; default English, 1366x768, scale 1).
# Shots in another language, size or scale get a suffix and are for checking
# the layout; the README shows the English ones.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
language="${1:-English}"
geometry="${2:-1366x768}"
scale="${3:-1}"
need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xdotool >/dev/null || need+=(xdotool)
command -v import >/dev/null || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${need[@]}"
fi
program="$root/build/src/app/rv5kloader"
[ -x "$program" ] || "$root/scripts/prepare.sh"
out="$root/docs/screenshots"
mkdir -p "$out"
suffix=""
case "$language" in
English) ;;
Lietuv*) suffix="-lt" ;;
Русский) suffix="-ru" ;;
*) suffix="-$(echo "$language" | iconv -f utf-8 -t ascii//TRANSLIT | tr 'A-Z' 'a-z' | tr -cd 'a-z')" ;;
esac
[ "$geometry" = 1366x768 ] || suffix="$suffix-$geometry"
[ "$scale" = 1 ] || suffix="$suffix-x$scale"

# One run of the tool: its data folder with the language and the service
# code, the page chosen with the keyboard (Ctrl+Tab, as often as the page's
# place among the visible tabs), a screenshot of the main window.
shoot() { # name profile page
    local name=$1 profile=$2 page=$3
    local display=":$((100 + RANDOM % 400))" home
    home=$(mktemp -d)
    mkdir -p "$home/data"
    # The Language key holds the name in its language's own code page.
    printf '[Settings]\r\nLanguage=%s\r\nCode=50713\r\n' \
        "$(echo -n "$language" | iconv -f utf-8 -t "$(codepage "$language")")" > "$home/data/Settings.ini"
    Xvfb "$display" -screen 0 "${geometry}x24" >/dev/null 2>&1 &
    local xvfb=$!
    sleep 1
    (cd "$root/data" && exec env DISPLAY="$display" HOME="$home" RV5K_APPDATA="$home/data" \
        QT_SCALE_FACTOR="$scale" RV5K_SIMULATOR="$root/data/sim/$profile" "$program") >/dev/null 2>&1 &
    local tool=$!
    sleep 6
    local window
    window=$(DISPLAY="$display" xdotool search --onlyvisible --pid "$tool" --name 'RV5K' | head -n 1)
    if [ "$page" != 0 ]; then
        DISPLAY="$display" xdotool key --window "$window" Tab
        for _ in $(seq "$page"); do
            DISPLAY="$display" xdotool key --window "$window" ctrl+Tab
        done
        sleep 1
    fi
    DISPLAY="$display" import -window "${window:-root}" "$out/$name$suffix.png"
    kill "$tool" 2>/dev/null || true
    sleep 0.5
    kill -9 "$tool" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$home"
    echo "$out/$name$suffix.png"
}
codepage() {
    case "$1" in
    Русский) echo CP1251 ;;
    Lietuv*) echo CP1257 ;;
    *) echo UTF-8 ;;
    esac
}

# With the service code the tabs are: Car, Alarm settings, Templates, Log,
# and the engine start page once the module has told its settings.
shoot car demo.json 0
shoot settings demo.json 1
shoot templates demo.json 2
shoot log service.json 3
shoot engine-start demo.json 4
