#!/usr/bin/env bash
# The whole capture road, hotkey to closed file, on a 1024 x 768 and a
# 1920 x 1080 Xvfb of its own: the real program hidden, Ctrl+S through
# SendInput (bench/road_bench.cpp), BMP and JPEG (quality 90), taking turns
# press by press with `scrot` and `import -window root` writing the same
# screen in the same format; then our own work split into its steps in
# process. Prints medians, spreads and the peers' time over ours.
# Usage: bench/road_bench.sh [presses]
# QC_ROAD_BENCH_BEFORE=<another build's i686 folder> (with QuorvaneCapture.exe
# and bench/road_bench.exe) times that build too, in the same run: blocks of
# half the presses take turns between the two.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
presses="${1:-20}"
if [ "${QC_ROAD_BENCH_INNER:-}" != 1 ]; then
    source "$root/scripts/lib.sh"
    have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
    if ! have_pkg scrot; then
        SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends scrot >/dev/null
    fi
    configure_and_build i686 >/dev/null
    ensure_wineprefix
    for geometry in 1024x768 1920x1080; do
        QC_ROAD_BENCH_INNER=1 "$root/scripts/on_display" "${geometry}x24" "$0" "$presses" "$geometry"
    done
    exit 0
fi
geometry="$2"
source "$root/scripts/lib.sh"
# Wine's screen size is the one its running server started with: begin afresh
# on this display (this ends whatever else runs in the same Wine prefix).
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
start_wine_services
bench="$BUILD/i686/bench"
mkdir -p "$work/prog" "$work/images" "$work/peers"
cp "$BUILD/i686/QuorvaneCapture.exe" "$work/prog/"
wwork="$(winepath -w "$work")"

# Something to grab: the screenshot-like picture as the desktop.
wine "$bench/jpeg_bench.exe" --runs=1 "--ppm-dir=$wwork" >/dev/null
convert "$work/screenshot.ppm" -resize "${geometry}!" "$work/desktop.ppm"
display -window root "$work/desktop.ppm" || true  # sets the background, then says 1

log="$work/times"
ms_since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.2f", (b - a) * 1000}'; }
# press_block label build-folder format presses: a copy of that build's
# program, hidden, pressed that often, each press followed by scrot and import.
press_block() {
    local label="$1" build="$2" format="$3" count="$4" ext i line ms t0
    ext=$([ "$format" = bmp ] && echo bmp || echo jpg)
    rm -rf "$work/images" "$work/prog"
    mkdir -p "$work/images" "$work/prog"
    cp "$build/QuorvaneCapture.exe" "$work/prog/"
    coproc ROAD { wine "$build/bench/road_bench.exe" --serve "--exe=$wwork\\prog\\QuorvaneCapture.exe" \
                       "--dir=$wwork\\images" "--format=$format" 2>/dev/null; }
    IFS= read -r line <&"${ROAD[0]}"
    if [ "${line%$'\r'}" != ready ]; then echo "road_bench: ${line%$'\r'}" >&2; exit 1; fi
    for i in $(seq "$count"); do
        echo "press $i" >&"${ROAD[1]}"
        IFS= read -r ms <&"${ROAD[0]}"
        echo "$label-$format ${ms%$'\r'}" >>"$log"
        # import's and scrot's times are those of the whole process: start, grab, encode, write.
        t0=$EPOCHREALTIME
        if [ "$format" = bmp ]; then scrot -o "$work/peers/s.$ext"; else scrot -q 90 -o "$work/peers/s.$ext"; fi
        echo "scrot-$format $(ms_since "$t0")" >>"$log"
        t0=$EPOCHREALTIME
        import -window root -quality 90 "$work/peers/i.$ext"
        echo "import-$format $(ms_since "$t0")" >>"$log"
    done
    echo quit >&"${ROAD[1]}"
    wait "$ROAD_PID" 2>/dev/null || true
    wine "$build/bench/road_bench.exe" --steps "--format=$format" "--dir=$wwork\\peers" "--runs=$count" 2>/dev/null |
        tr -d '\r' | sed "s/^step-/$label-step-$format-/" >>"$log"
}
before="${QC_ROAD_BENCH_BEFORE:-}"
for format in bmp jpeg; do
    if [ -n "$before" ]; then
        half=$(( (presses + 1) / 2 ))
        press_block ours "$BUILD/i686" "$format" "$half"
        press_block before "$before" "$format" "$half"
        press_block ours "$BUILD/i686" "$format" "$((presses - half))"
        press_block before "$before" "$format" "$((presses - half))"
    else
        press_block ours "$BUILD/i686" "$format" "$presses"
    fi
done

awk -v geometry="$geometry" -v presses="$presses" '
function sorted(label, a,   n, i, j, t) {
    n = split(all[label], a, " ")
    for (i = 2; i <= n; ++i) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; --j) a[j + 1] = a[j]; a[j + 1] = t }
    return n
}
function median(label,   a, n) { n = sorted(label, a); return n ? a[int((n + 1) / 2)] : 0 }
function line(label, what,   a, n) {
    n = sorted(label, a)
    if (!n) { printf "    %-28s no figures\n", what; return }
    printf "    %-28s median %7.2f ms, p10-p90 %.2f-%.2f, min-max %.2f-%.2f (%d)\n", what, a[int((n + 1) / 2)],
        a[int(0.1 * (n - 1) + 1.5)], a[int(0.9 * (n - 1) + 1.5)], a[1], a[n], n
}
{ all[$1] = all[$1] " " $2; if ($2 == "timeout") timeouts[$1]++
  for (i = 3; i <= NF; ++i) all[$1] = all[$1] " " $i }
END {
    printf "Capture road at %s, %d presses a format, taking turns:\n", geometry, presses
    for (f = 1; f <= 2; ++f) {
        fmt = f == 1 ? "bmp" : "jpeg"
        printf "  %s:\n", toupper(fmt)
        for (b = 1; b <= 2; ++b) {
            who = b == 1 ? "ours" : "before"
            if (!((who "-" fmt) in all)) continue
            line(who "-" fmt, "hotkey to file (" who ")")
            if (timeouts[who "-" fmt]) printf "    %d presses made no file in 5 s\n", timeouts[who "-" fmt]
        }
        line("scrot-" fmt, "scrot")
        line("import-" fmt, "import -window root")
        m = median("ours-" fmt)
        if (m > 0) printf "    ratios (peer over ours): scrot %.2f, import %.2f\n", median("scrot-" fmt) / m, median("import-" fmt) / m
        if (m > 0 && ("before-" fmt) in all) printf "    before over ours: %.2f\n", median("before-" fmt) / m
        n = split(fmt == "bmp" ? "clear grab pointer write all" : "clear grab pointer dib encode write all", steps, " ")
        for (b = 1; b <= 2; ++b) {
            who = b == 1 ? "ours" : "before"
            if (!((who "-step-" fmt "-all") in all)) continue
            printf "    %s own work in process, medians:", who
            for (s = 1; s <= n; ++s) printf " %s %.2f", steps[s], median(who "-step-" fmt "-" steps[s])
            printf " ms\n"
        }
    }
}' "$log"
