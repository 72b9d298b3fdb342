#!/usr/bin/env bash
# Builds Tavrix, lays out a demo folder (program, Tavrix.ini, delivered scripts, generated inventories)
# and runs the batch: with a display it shows the window, without one it runs UPDATEONLY and prints
# the computer list and one detail tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target tavrix tavrix-report tavrix-genfleet

demo="$root/demo"
rm -rf "$demo"
mkdir -p "$demo/dstrb" "$demo/csv"
cp "$build/app/tavrix" "$build/app/tavrix-report" "$demo/"
cp "$root"/dstrb/*.sq? "$demo/dstrb/"
"$build/tools/tavrix-genfleet" "$demo/csv" "${TAVRIX_DEMO_COMPUTERS:-40}" 7

runmode=""
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then runmode="UPDATEONLY"; fi
cat > "$demo/Tavrix.ini" <<INI
[Tavrix Section]
LOG_DIR=*/log
LOG_FILE=Tavrix.log
MDB_DIR=*/db
MDB_NAME=Tavrix.mdb
CSV_DIR=*/csv
DSTRB_DIR=*/dstrb
RUNMODE=$runmode
CSV_SAVE_DIR=*/save
FLEET_COUNTS=ON
INI

cd "$demo"
./tavrix
echo "== run log ($demo/log/Tavrix.log)"
cat "$demo/log/Tavrix.log"
if [ "$runmode" = "UPDATEONLY" ]; then
  echo "== computer list"
  ./tavrix-report list
  first_rno="$(./tavrix-report list | awk -F'\t' 'NR==1{print $6}')"
  echo "== detail tree of RNO $first_rno"
  ./tavrix-report tree "$first_rno"
fi
