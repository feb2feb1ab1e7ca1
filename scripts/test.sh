#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit tests, the checks of the shipped art,
# the art generator's regeneration and the end-to-end scenarios under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
ctest --preset default
