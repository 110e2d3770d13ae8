#!/usr/bin/env bash
# Full-screen grab into the capture canvas under Wine on a 1920 x 1080 Xvfb of
# its own, beside ImageMagick's `import -window root` of the same display in
# the same run. Usage: bench/grab_bench.sh [runs]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-30}"
if [ "${QC_GRAB_BENCH_INNER:-}" != 1 ]; then
    source "$root/scripts/lib.sh"
    configure_and_build i686 >/dev/null
    ensure_wineprefix
    QC_GRAB_BENCH_INNER=1 exec "$root/scripts/on_display" 1920x1080x24 "$0" "$runs"
fi
source "$root/scripts/lib.sh"
# Wine's screen size is the one its running server started with: begin afresh
# on this display (this ends whatever else runs in the same Wine prefix).
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
start_wine_services
wine "$BUILD/i686/bench/grab_bench.exe" "--runs=$runs" | tr -d '\r'
# import's time is that of the whole process: start, grab, writing a raw file.
work="$(mktemp -d)"
times=()
for _ in $(seq "$runs"); do
    t0=$(date +%s%N)
    import -window root "$work/shot.rgb"
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
done
rm -rf "$work"
printf '%s\n' "${times[@]}" | sort -n | awk -v runs="$runs" '{a[NR]=$1/1000} END {
    m = a[int((NR+1)/2)]; p10 = a[int(0.1*(NR-1)+1.5)]; p90 = a[int(0.9*(NR-1)+1.5)];
    printf "import -window root: median %.2f ms, p10-p90 %.2f-%.2f ms, min-max %.2f-%.2f ms (%d runs)\n", m, p10, p90, a[1], a[NR], runs }'
