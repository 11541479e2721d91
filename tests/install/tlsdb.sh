#!/usr/bin/env bash
# A second private server for the tests of encrypted connections, with a
# certificate made for it; schema only.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export ZEL_DB_SEED=none ZEL_DB_NAME=zel_tls
case "$1" in
  start) "$ROOT/scripts/db" reset; "$ROOT/scripts/db" start --tls ;;
  stop) "$ROOT/scripts/db" stop ;;
esac
