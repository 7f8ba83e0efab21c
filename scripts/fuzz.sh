#!/usr/bin/env bash
# The long run of the gesture fuzzer: builds the AddressSanitizer +
# UndefinedBehaviorSanitizer configuration and plays a million random user
# events (or as many as asked) against the real window on the offscreen
# platform. A short seeded run of the same fuzzer is part of the test suite.
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
cmake --build "$BUILD" -j"$JOBS" --target scrivola_gesture_fuzz >/dev/null

echo "== $EVENTS events, seed $SEED"
"$BUILD/tests/fuzz/scrivola_gesture_fuzz" --events "$EVENTS" --seed "$SEED" --exit-children 10
