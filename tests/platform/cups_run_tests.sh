#!/usr/bin/env bash
# Runs the CUPS printer tests against a private cupsd (cups_test_server.sh):
#   cups_run_tests.sh TEST_BINARY ARTIFACT_DIR [gtest options ...]
# Starts the server in a fresh folder under /tmp, runs TEST_BINARY with CUPS_SERVER set to it, an empty HOME
# (so no lpoptions of the user's count), LPDEST and PRINTER unset, and ZUVELA_CUPS_DIR /
# ZUVELA_CUPS_SERVER_SCRIPT / ZUVELA_CUPS_ARTIFACTS telling it where things are; then stops the server and keeps
# the printed pages and the server's logs in ARTIFACT_DIR. Exits with the test binary's status.
set -uo pipefail

[ $# -ge 2 ] || { sed -n '2,7p' "$0" >&2; exit 2; }
binary=$1
artifacts=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
server_script="$here/cups_test_server.sh"

mkdir -p "$artifacts" || exit 1
rm -rf "${artifacts:?}"/*
server_dir=$(mktemp -d /tmp/zuvela-cups.XXXXXX) || exit 1

finish() {
    "$server_script" stop "$server_dir"
    cp -r "$server_dir/log" "$artifacts/" 2>/dev/null
    cp "$server_dir"/*.pdf "$artifacts/" 2>/dev/null
    rm -rf "$server_dir"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

line=$("$server_script" start "$server_dir") || { echo "cups_run_tests: the test server did not start"; exit 1; }
case "$line" in
CUPS_SERVER=*) export "${line?}" ;;
*) echo "cups_run_tests: unexpected answer from the server script: $line"; exit 1 ;;
esac
echo "cups_run_tests: $line"

export HOME="$server_dir/home"
mkdir -p "$HOME"
unset LPDEST PRINTER
export ZUVELA_CUPS_DIR="$server_dir" ZUVELA_CUPS_SERVER_SCRIPT="$server_script" ZUVELA_CUPS_ARTIFACTS="$artifacts"
export PATH="$PATH:/usr/sbin:/sbin"

"$binary" "$@"
