#!/usr/bin/env bash
# Our JPEG encoder (i686 build, under Wine) beside libjpeg-turbo's own API
# (a native program built here against Debian's libjpeg-turbo, with its AVX2
# code and forced to SSE2), on the same screenshot-like and photo-like pixels,
# quality 90, 4:4:4, taking turns in one run. Also checks each of our files at
# q 50/75/90/100 with djpeg and prints its size, PSNR and hash.
# Usage: bench/jpeg_bench.sh [rounds] [runs-per-round]
# QC_JPEG_BENCH_BEFORE=<another build's jpeg_bench.exe> times that one too, in
# the same turns, as "before" (for a before-and-after figure from one run).
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
rounds="${1:-5}"
runs="${2:-10}"

# The bench's own needs: the library's headers and a native compiler.
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
need=()
for p in libjpeg62-turbo-dev gcc libjpeg-turbo-progs; do have_pkg "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

configure_and_build i686 >/dev/null
work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null || true; stop_display; rm -rf "$work"' EXIT
gcc -O2 -Wall -o "$work/turbo_bench" "$ROOT/bench/native/turbo_bench.c" -ljpeg
ensure_display
ensure_wineprefix
exe="$BUILD/i686/bench/jpeg_bench.exe"
wdir="$(winepath -w "$work")"

echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), avx2: $(grep -qw avx2 /proc/cpuinfo && echo yes || echo no)"
mkdir -p "$work/check"
wine "$exe" "--check-dir=$wdir\\check" | tr -d '\r' | while read -r line; do
    set -- $line
    file="$work/check/$2-$3.jpg"
    if djpeg -outfile /dev/null "$file" 2>/dev/null && [ "$(head -c 4 "$file" | od -An -tx1 | tr -d ' ')" = ffd8ffe0 ]; then
        echo "$line djpeg=ok"
    else
        echo "$line djpeg=FAILED"
    fi
done

wine "$exe" --runs=1 "--ppm-dir=$wdir" >/dev/null
log="$work/times"
for r in $(seq "$rounds"); do
    wine "$exe" "--runs=$runs" | tr -d '\r' >>"$log"
    wine "$exe" "--runs=$runs" --sse2 | tr -d '\r' >>"$log"
    if [ -n "${QC_JPEG_BENCH_BEFORE:-}" ]; then
        wine "$QC_JPEG_BENCH_BEFORE" "--runs=$runs" | tr -d '\r' | sed 's/^ours-/before-/' >>"$log"
    fi
    for pic in screenshot photo; do
        "$work/turbo_bench" "$work/$pic.ppm" "turbo-avx2-$pic" "$runs" 90 >>"$log"
        JSIMD_FORCESSE2=1 "$work/turbo_bench" "$work/$pic.ppm" "turbo-sse2-$pic" "$runs" 90 >>"$log"
    done
done

# Median, 10th and 90th percentile of every label over all rounds; ratios are
# the peer's median over ours, so above 1 means we are faster.
awk -v rounds="$rounds" -v runs="$runs" '
function stats(label,   n, i, j, t, a) {
    n = split(all[label], a, " ")
    for (i = 2; i <= n; ++i) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; --j) a[j + 1] = a[j]; a[j + 1] = t }
    med[label] = a[int((n + 1) / 2)]; p10[label] = a[int(0.1 * (n - 1) + 1.5)]; p90[label] = a[int(0.9 * (n - 1) + 1.5)]
}
{ for (i = 2; i <= NF; ++i) if ($i ~ /^size=/) size[$1] = substr($i, 6); else all[$1] = all[$1] " " $i }
END {
    printf "JPEG encode, 1920x1080, q90 4:4:4, %d rounds x %d runs, ms: median (p10-p90), size\n", rounds, runs
    for (label in all) stats(label)
    for (p = 1; p <= 2; ++p) {
        pic = p == 1 ? "screenshot" : "photo"
        for (k = 1; k <= 5; ++k) {
            l = (k == 1 ? "ours-" : k == 2 ? "ours-sse2-" : k == 3 ? "turbo-avx2-" : k == 4 ? "turbo-sse2-" : "before-") pic
            if (!(l in all)) continue
            printf "  %-22s %7.2f (%.2f-%.2f)  %s bytes\n", l, med[l], p10[l], p90[l], size[l]
        }
        printf "  %s ratio: %.2f against libjpeg-turbo AVX2, %.2f against SSE2; our SSE2 build: %.2f and %.2f\n", pic,
            med["turbo-avx2-" pic] / med["ours-" pic], med["turbo-sse2-" pic] / med["ours-" pic],
            med["turbo-avx2-" pic] / med["ours-sse2-" pic], med["turbo-sse2-" pic] / med["ours-sse2-" pic]
        if (("before-" pic) in all) printf "  %s: before over now %.2f\n", pic, med["before-" pic] / med["ours-" pic]
    }
}' "$log"
