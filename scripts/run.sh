#!/usr/bin/env bash
# Installs what is missing, builds the colouring book and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
exec build/default/zuvela
