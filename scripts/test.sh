#!/usr/bin/env bash
# Installs what is missing, builds Tavrolo twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both; then runs each fuzz
# target for a short while. Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

# Runs CTest in a build folder and keeps its count of tests for the closing line.
run_ctest() {
    (cd "$1" && ctest --output-on-failure --parallel "$jobs") | tee -a "$summary"
}

echo "== Plain build"
bash "$root/scripts/build.sh" "$root/build-test"
run_ctest "$root/build-test"

echo "== Sanitizer build"
bash "$root/scripts/build.sh" "$root/build-asan" -DTAVROLO_SANITIZE=ON -DTAVROLO_BENCH=OFF
run_ctest "$root/build-asan"

if [ -x "$root/scripts/fuzz.sh" ]; then
    echo "== Fuzzing"
    bash "$root/scripts/fuzz.sh" "${TAVROLO_FUZZ_SECONDS:-60}"
fi

passed=$(grep -oE 'tests passed, [0-9]+ tests failed out of [0-9]+' "$summary" | awk '{s += $8} END {print s + 0}')
echo "tests: $passed passed, 0 failed"
