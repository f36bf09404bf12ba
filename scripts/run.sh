#!/usr/bin/env bash
# Installs the dependencies, builds the program (and the pictures and help pages it
# finds beside itself, nothing else) and starts it. The data file and the
# configuration file are made beside the executable (build/bin) on the first start.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target jotterly jotterly_runtime_files -j"$(nproc 2>/dev/null || echo 2)"
exec build/bin/jotterly
