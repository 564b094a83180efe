#!/usr/bin/env bash
# Installs what is missing, builds Kelvra in release mode and starts it on the
# sample pictures it ships.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKELVRA_TESTS=OFF -DKELVRA_BENCH=OFF >/dev/null
cmake --build build -j2 --target kelvra
exec build/kelvra "$PWD/samples/sunset.jpg"
