#!/usr/bin/env bash
# Installs what is missing, builds Tavrolo twice (plain, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both; then runs each fuzz
# target for a short while. Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Plain build"
bash "$root/scripts/build.sh" "$root/build-test"
(cd "$root/build-test" && ctest --output-on-failure --parallel "$jobs")

echo "== Sanitizer build"
bash "$root/scripts/build.sh" "$root/build-asan" -DTAVROLO_SANITIZE=ON -DTAVROLO_BENCH=OFF
(cd "$root/build-asan" && ctest --output-on-failure --parallel "$jobs")

if [ -x "$root/scripts/fuzz.sh" ]; then
    echo "== Fuzzing"
    bash "$root/scripts/fuzz.sh" "${TAVROLO_FUZZ_SECONDS:-60}"
fi
