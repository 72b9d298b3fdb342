#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each, one after the other
# on one core, for SECONDS (default 60). Prints each target's executions and crashes; exits non-zero
# when any target crashed. Working corpora and crash artefacts live in a temporary folder; the
# artefacts are kept when a target crashed. A target stops at its first crash.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
targets=(fuzz_cp932 fuzz_csv_line fuzz_profile fuzz_script_lines fuzz_create_table fuzz_jet_dialect fuzz_import)

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
install() {
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "$@" >/dev/null
}
command -v clang++ >/dev/null || install clang
# libFuzzer's runtime comes with the compiler-rt package of the clang version.
probe="$(mktemp -d)"
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
  install "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
fi
rm -rf "$probe"

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTAVRIX_FUZZ=ON -DTAVRIX_BUILD_UI=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}" tavrix-genfleet >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/tavrix-fuzz.XXXXXX")"
artifacts="$work/artifacts"
mkdir -p "$artifacts"
# The targets write a database or a file per input: in memory (/dev/shm) a sync costs nothing.
scratch="$work/tmp"
[ -w /dev/shm ] && scratch="$(mktemp -d /dev/shm/tavrix-fuzz.XXXXXX)"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
# Extra seeds made at run time: the delivered scripts, and a generated fleet of three computers.
"$build/tools/tavrix-genfleet" "$work/fleet" 3 7 >/dev/null

seeds() {  # extra seed files of a target
  case "$1" in
    fuzz_script_lines) ls "$root"/dstrb/*.sq? ;;
    fuzz_import) ls "$work"/fleet/*.csv ;;
  esac
}
dictionary() {
  case "$1" in
    fuzz_csv_line | fuzz_import) echo "-dict=$root/fuzz/csv.dict" ;;
    fuzz_script_lines | fuzz_create_table | fuzz_jet_dialect) echo "-dict=$root/fuzz/sql.dict" ;;
  esac
}

crashed=0
printf '%-20s %12s %8s\n' target executions crashes
for t in "${targets[@]}"; do
  corpus="$work/corpus/$t"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/${t#fuzz_}"/* "$corpus"/
  for f in $(seeds "$t"); do cp "$f" "$corpus"/; done
  status=0
  # The fuzzers' own temporary folders go under the work folder, removed with it.
  TMPDIR="$scratch" "$build/fuzz/$t" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$t-" $(dictionary "$t") "$corpus" >"$work/$t.log" 2>&1 || status=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t.log" | tail -1)"
  crashes="$(find "$artifacts" -name "$t-*" | wc -l)"
  if [ "$status" -ne 0 ] && [ "$crashes" -eq 0 ]; then crashes=1; fi
  printf '%-20s %12s %8s\n' "$t" "${execs:-?}" "$crashes"
  if [ "$crashes" -ne 0 ]; then
    crashed=1
    cp "$work/$t.log" "$artifacts/"
    grep -m3 -E 'ERROR|runtime error|invariant broken' "$work/$t.log" | sed 's/^/    /' || true
  fi
done

if [ "$crashed" -ne 0 ]; then
  rm -rf "$work/corpus" "$work/tmp" "$work/fleet" "$work"/*.log
  echo "crash artefacts and logs: $artifacts"
  exit 1
fi
rm -rf "$work"
