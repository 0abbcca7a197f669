#!/usr/bin/env bash
# Builds the libFuzzer targets with clang 14 under AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for the given number of seconds (default 60),
# seeded from fuzz/corpus and tests/storage/data. Exits non-zero on a crash, hang or leak.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
# Configured afresh each run, so that no option cached by an earlier run carries over.
CC=clang-14 CXX=clang++-14 cmake --fresh -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVROLO_FUZZ=ON -DTAVROLO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target fuzz_plan_file fuzz_csv_import

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp
run() {
    local target=$1 seeds=$2 pattern=$3
    local corpus=$build/corpus/$target
    # Each run starts from the seeds alone, so that its length does not grow from run to run.
    rm -rf "$corpus"
    mkdir -p "$corpus"
    find "$seeds" "$root/tests/storage/data" -maxdepth 1 -type f -name "$pattern" \
        -exec cp {} "$corpus/" \; 2>/dev/null || true
    echo "== Fuzzing $target for $seconds s"
    (cd "$build" && "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "$corpus" 2>&1 \
        | grep -v "^#[0-9]*.*\(NEW\|REDUCE\|pulse\)\|^libpng \|^Suppressions used\|^  count \|^ *[0-9]* *[0-9]* libfontconfig\|^------\|^$")
}
run fuzz_plan_file "$root/fuzz/corpus/plan_file" "*.tv"
run fuzz_csv_import "$root/fuzz/corpus/csv_import" "*.csv"
