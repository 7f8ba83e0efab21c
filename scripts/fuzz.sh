#!/usr/bin/env bash
# The long runs of the fuzzers: builds the AddressSanitizer +
# UndefinedBehaviorSanitizer configuration, plays a million random user
# events (or as many as asked) against the real window on the offscreen
# platform, then reads and renders a million mutated performance files (or
# PERFORMANCE_FILES). Short seeded runs of both are part of the test suite.
#
#   scripts/fuzz.sh [EVENTS] [SEED]
#
# The seed defaults to the time, so every run explores afresh; it is printed
# first, and a failing run is repeated exactly by passing it back.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

EVENTS=${1:-1000000}
SEED=${2:-$(date +%s)}
BUILD=${FUZZ_BUILD_DIR:-${SCRIVOLA_BUILD_ROOT:-build}/asan}
JOBS=${JOBS:-2}

# shellcheck source=sanitizers.sh
source scripts/sanitizers.sh
export QT_QPA_PLATFORM=offscreen

echo "== building $BUILD (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCRIVOLA_SANITIZER=address \
    -DSCRIVOLA_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target scrivola_gesture_fuzz scrivola_performance_fuzz >/dev/null

echo "== $EVENTS events, seed $SEED"
"$BUILD/tests/fuzz/scrivola_gesture_fuzz" --events "$EVENTS" --seed "$SEED" --exit-children 10

FILES=${PERFORMANCE_FILES:-1000000}
echo "== $FILES mutated performance files, seed $SEED"
# The files are written to memory when /dev/shm is there.
"$BUILD/tests/fuzz/scrivola_performance_fuzz" --data "$ROOT/tests/performance/data" \
    --files "$FILES" --seed "$SEED" --dir "$( [ -d /dev/shm ] && echo /dev/shm || echo /tmp )"
