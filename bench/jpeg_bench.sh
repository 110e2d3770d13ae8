#!/usr/bin/env bash
# Runs bench/jpeg_bench.exe under Wine and cjpeg -quality 90 on the same
# pixels, and prints both rates and their ratio. Usage: bench/jpeg_bench.sh [runs]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
runs="${1:-15}"
configure_and_build i686 >/dev/null
trap 'wineserver -k 2>/dev/null || true; stop_display; rm -rf "$work"' EXIT
work="$(mktemp -d)"
ensure_display
ensure_wineprefix
ppm="$work/shot.ppm"
ours="$(wine "$BUILD/i686/bench/jpeg_bench.exe" "--ppm=$(winepath -w "$ppm")" "--runs=$runs" | tr -d '\r')"
echo "$ours"
# cjpeg's time is that of the whole process: start, reading the PPM, encoding, writing.
times=()
for _ in $(seq "$runs"); do
    t0=$(date +%s%N)
    cjpeg -quality 90 -outfile "$work/cjpeg.jpg" "$ppm"
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
done
median_us=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "cjpeg: median $(awk -v u="$median_us" 'BEGIN {printf "%.2f", u/1000}') ms, MP/s $(awk -v u="$median_us" 'BEGIN {printf "%.1f", 1920*1080/u}'), size $(stat -c %s "$work/cjpeg.jpg") bytes"
our_rate=$(echo "$ours" | awk '/^ours:/ {print $NF}')
awk -v a="$our_rate" -v u="$median_us" 'BEGIN {printf "ratio ours/cjpeg: %.2f\n", a / (1920*1080/u)}'
