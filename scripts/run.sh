#!/usr/bin/env bash
# Installs what the build needs, builds Scrivola Synth and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/release -j"${JOBS:-2}" --target scrivola-synth
exec build/release/ui/scrivola-synth "$@"
