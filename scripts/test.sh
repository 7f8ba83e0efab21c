#!/usr/bin/env bash
# Installs what the build and the tests need, checks the C++ formatting, builds Scrivola
# Synth with warnings as errors and runs the whole test suite: the
# ThreadSanitizer build of the threaded tests, the AddressSanitizer +
# UndefinedBehaviorSanitizer build of the whole suite, and finally the release
# build's whole suite, whose CTest summary closes the output.
#
#   scripts/test.sh           everything
#   scripts/test.sh --quick   the formatting and the release build's suite
#
# The builds go to build/tsan, build/asan and build/release, or under
# $SCRIVOLA_BUILD_ROOT instead of build/ when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

QUICK=0
if [ "${1:-}" = "--quick" ]; then QUICK=1; fi

bash scripts/install-deps.sh

JOBS=${JOBS:-2}
export CTEST_OUTPUT_ON_FAILURE=1
# shellcheck source=sanitizers.sh
source scripts/sanitizers.sh

# configure_and_build <dir> <build-type> [cmake options...]
configure_and_build() {
    local dir=$1 type=$2
    shift 2
    echo "== building $dir ($type)"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" -DSCRIVOLA_WERROR=ON \
        -DSCRIVOLA_BUILD_TESTS=ON -DSCRIVOLA_BUILD_BENCH=ON "$@" \
        > "$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j"$JOBS" > "$dir.build.log" 2>&1 ||
        { tail -n 80 "$dir.build.log"; return 1; }
}

BUILD_ROOT=${SCRIVOLA_BUILD_ROOT:-build}
mkdir -p "$BUILD_ROOT"
status=0

echo "== clang-format"
cxx_files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z '*.cpp' '*.h'
    else
        find . -path './build*' -prune -o -path './.git' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
    fi
}
cxx_files | xargs -0 clang-format --dry-run --Werror || { echo "FAIL: run clang-format -i on the files above"; status=1; }

if [ "$QUICK" = 0 ]; then
    configure_and_build "$BUILD_ROOT/tsan" RelWithDebInfo -DSCRIVOLA_SANITIZER=thread \
        -DSCRIVOLA_BUILD_BENCH=OFF
    echo "== ThreadSanitizer: the audio and window-thread tests"
    ctest --test-dir "$BUILD_ROOT/tsan" -L threads -j"$JOBS" --timeout 300 || status=1

    configure_and_build "$BUILD_ROOT/asan" RelWithDebInfo -DSCRIVOLA_SANITIZER=address \
        -DSCRIVOLA_BUILD_BENCH=OFF
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer: whole suite"
    ctest --test-dir "$BUILD_ROOT/asan" -j"$JOBS" --timeout 600 || status=1
fi

configure_and_build "$BUILD_ROOT/release" Release
echo "== whole suite"
ctest --test-dir "$BUILD_ROOT/release" -j"$JOBS" --timeout 600 || status=1
exit $status
