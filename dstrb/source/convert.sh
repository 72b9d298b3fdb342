#!/usr/bin/env bash
# Writes the delivered script files: every UTF-8 source here becomes ../<same name> in CP932 with CR LF.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for source in "$here"/*.sql "$here"/*.squ; do
  sed 's/$/\r/' "$source" | iconv -f UTF-8 -t CP932 > "$here/../$(basename "$source")"
done
