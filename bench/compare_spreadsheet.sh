#!/usr/bin/env bash
# Runs "import a CSV file and save the plan" side by side with a spreadsheet program's headless
# conversion of the same CSV file to its own format, interleaved, and opens the saved plans;
# prints the median wall time and peak memory of each, and their ratios.
#
#   bench/compare_spreadsheet.sh [BUILD_FOLDER] [RUNS]
#
# BUILD_FOLDER defaults to build-bench (configure it with -DCMAKE_BUILD_TYPE=Release), RUNS to 5.
# ROWS="10000 100000" chooses the CSV sizes. Outside CI the spreadsheet program is installed
# when it is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
runs=${2:-5}
rows_list=${ROWS:-10000 100000}
bench="$build/bench/bench_bulkfiles"
timer=/usr/bin/time
[ -x "$bench" ] || { echo "No $bench: build the benchmarks first" >&2; exit 1; }

if ! command -v soffice >/dev/null; then
    if [ "${CI:-}" = true ]; then
        echo "No spreadsheet program in CI; nothing to compare" >&2
        exit 0
    fi
    apt-get update -qq && apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui
fi
if [ ! -x "$timer" ]; then
    apt-get install -y -qq time
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" "$work/ods"
chmod 700 "$XDG_RUNTIME_DIR"
# A profile of its own, so that neither the user's settings nor a running instance interfere.
profile="file://$work/office-profile"

# Runs a command under the timer and prints "seconds peak_kib".
measure() {
    local log="$work/time.log"
    "$timer" -f '%e %M' -o "$log" "$@" >/dev/null 2>"$work/stderr.log" || {
        cat "$work/stderr.log" >&2
        return 1
    }
    tail -n 1 "$log"
}

# The middle value of the numbers given (the mean of the two middle ones for an even count).
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

ours_import() { measure "$bench" import-save "$1" "$work/plan$2.tv"; }
theirs_convert() {
    # Comma-separated, double quotes, UTF-8: the same reading of the file as ours.
    measure soffice "-env:UserInstallation=$profile" --headless --infilter=CSV:44,34,76,1 \
        --convert-to ods --outdir "$work/ods" "$1"
}

# The targets: CSV import and save at most 0.15 of the spreadsheet's time and 100 MiB at 10,000
# rows, 0.3 of its time and 250 MiB at 100,000; a plan of 100,000 cards opens within 3 s.
import_target() {
    case $1 in
    10000) echo "<=0.15x, <=100 MiB" ;;
    100000) echo "<=0.3x, <=250 MiB" ;;
    *) echo "-" ;;
    esac
}
open_target() { [ "$1" = 100000 ] && echo "<=3 s" || echo "-"; }

printf '%-28s %10s %10s %12s %12s %8s %8s  %s\n' "step" "ours s" "sheet s" "ours MiB" \
    "sheet MiB" "time x" "mem x" "target"
declare -A import_seconds
for rows in $rows_list; do
    csv="$work/rows$rows.csv"
    "$bench" csv "$rows" "$csv" 2>/dev/null
    # One untimed run each: the spreadsheet program builds its profile on its first start.
    ours_import "$csv" "$rows" >/dev/null
    theirs_convert "$csv" >/dev/null
    our_times=() our_peaks=() their_times=() their_peaks=()
    for ((run = 1; run <= runs; ++run)); do
        result=$(ours_import "$csv" "$rows")
        our_times+=("${result% *}") our_peaks+=("${result#* }")
        result=$(theirs_convert "$csv")
        their_times+=("${result% *}") their_peaks+=("${result#* }")
    done
    ours_s=$(median "${our_times[@]}")
    import_seconds[$rows]=$ours_s
    ours_k=$(median "${our_peaks[@]}")
    theirs_s=$(median "${their_times[@]}")
    theirs_k=$(median "${their_peaks[@]}")
    printf '%-28s %10s %10s %12s %12s %8s %8s  %s\n' "CSV import+save $rows x 30" "$ours_s" \
        "$theirs_s" "$(mib "$ours_k")" "$(mib "$theirs_k")" "$(ratio "$ours_s" "$theirs_s")" \
        "$(ratio "$ours_k" "$theirs_k")" "$(import_target "$rows")"
done

# Opening the saved plans; the spreadsheet program has no part in this.
for rows in $rows_list; do
    open_times=() open_peaks=()
    for ((run = 1; run <= runs; ++run)); do
        result=$(measure "$bench" open "$work/plan$rows.tv")
        open_times+=("${result% *}") open_peaks+=("${result#* }")
    done
    printf '%-28s %10s %10s %12s %12s %8s %8s  %s\n' "open plan of $rows cards" \
        "$(median "${open_times[@]}")" "-" "$(mib "$(median "${open_peaks[@]}")")" "-" "-" "-" \
        "$(open_target "$rows")"
done

# The cost should grow with the cards and no faster.
if [ -n "${import_seconds[10000]:-}" ] && [ -n "${import_seconds[100000]:-}" ]; then
    echo "CSV import+save, 100000 rows against 10000: time x$(ratio "${import_seconds[100000]}" \
        "${import_seconds[10000]}") (target: linear, about x10)"
fi
echo "Medians of $runs runs each, wall time and peak resident memory of the whole process;"
echo "x columns: ours divided by the spreadsheet program's."
