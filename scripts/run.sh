#!/usr/bin/env bash
# Installs what building and running the program needs, builds Scrivola
# Synth and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSCRIVOLA_BUILD_TESTS=OFF \
    -DSCRIVOLA_BUILD_BENCH=OFF > /dev/null
cmake --build build/release -j"${JOBS:-2}" --target scrivola-synth
exec build/release/ui/scrivola-synth "$@"
