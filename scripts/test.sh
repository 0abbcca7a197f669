#!/usr/bin/env bash
# Installs what is missing, builds Tavrolo twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both; then runs each fuzz
# target for a short while. Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
# Compiler cache entries name paths relative to the checkout and leave the build folder out
# of the hash, so a fresh clone elsewhere still finds them.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
jobs=$(nproc)
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

echo "== Formatting"
format=$(command -v clang-format-14 || command -v clang-format)
find "$root" \( -path "$root/build*" -o -path "$root/.git" \) -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 "$format" --dry-run --Werror
echo "Every source file is formatted."

# Runs CTest in a build folder and keeps its count of tests for the closing line. A test
# without a time limit of its own gets two minutes.
run_ctest() {
    (cd "$1" && ctest --output-on-failure --parallel "$jobs" --timeout 120) | tee -a "$summary"
}

# Every run configures afresh: options cached by an earlier run must not carry over. The
# libraries are built shared, so that the test programs do not each carry a copy of them.
echo "== Plain build"
bash "$root/scripts/build.sh" "$root/build-test" --fresh -DBUILD_SHARED_LIBS=ON
run_ctest "$root/build-test"

echo "== Sanitizer build"
bash "$root/scripts/build.sh" "$root/build-asan" --fresh -DBUILD_SHARED_LIBS=ON -DTAVROLO_SANITIZE=ON \
    -DTAVROLO_BENCH=OFF
run_ctest "$root/build-asan"

echo "== Fuzzing"
bash "$root/scripts/fuzz.sh" "${TAVROLO_FUZZ_SECONDS:-60}"

passed=$(grep -oE 'tests passed, [0-9]+ tests failed out of [0-9]+' "$summary" | awk '{s += $8} END {print s + 0}')
echo "tests: $passed passed, 0 failed"
