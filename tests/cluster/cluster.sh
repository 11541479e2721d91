#!/usr/bin/env bash
# Starts the test run's three-node cluster afresh, or stops it. Its ports come
# from the build folder, so test runs of several checkouts do not meet.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
case "$1" in
  start)
    "$ROOT/scripts/cluster" reset
    "$ROOT/scripts/cluster" start
    "$ROOT/scripts/cluster" status ;;
  stop)
    "$ROOT/scripts/cluster" stop ;;
esac
