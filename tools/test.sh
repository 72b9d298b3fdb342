#!/usr/bin/env bash
# Builds everything and runs the whole test suite. --sanitize builds with ASan and UBSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
build="$root/build-test"
flags=(-DCMAKE_BUILD_TYPE=Debug)
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-sanitize"
  flags+=(-DTAVRIX_SANITIZE=ON)
fi
cmake -S "$root" -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
