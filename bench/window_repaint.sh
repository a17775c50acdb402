#!/usr/bin/env bash
# Full repaint of the main window, with the image cache and with every image
# decoded at each draw, in one run of the Google Benchmark program; the
# median of five repetitions of each, printed as one JSON row for
# scripts/bench. Usage: bench/window_repaint.sh <build>/bench/qvr_window_repaint_bench
set -euo pipefail
program=${1:?the repaint benchmark program}
out=$(mktemp /tmp/qvr-repaint.XXXXXX.json)
trap 'rm -f "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out" --benchmark_out_format=json >&2
python3 - "$out" <<'PY'
import json, sys

unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
median = {b["run_name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]
          if b.get("aggregate_name") == "median"}
cached, uncached = median["RepaintWithImageCache"], median["RepaintDecodingEveryImage"]
cached_ms = cached["real_time"] * unit[cached["time_unit"]]
uncached_ms = uncached["real_time"] * unit[uncached["time_unit"]]
ratio = uncached_ms / cached_ms
print(json.dumps({
    "metric": "Full repaint of the main window, image cache vs decoding at each paint",
    "measured": "cached %.2f ms, decoding %.1f ms (%.1f× faster); %d images, median of 5"
                % (cached_ms, uncached_ms, ratio, cached["images"]),
    "goal": "cached ≤ 1 ms and ≥ 20× faster",
    "met": cached_ms <= 1 and ratio >= 20}, ensure_ascii=False))
PY
