#!/usr/bin/env bash
# Starts or stops the test run's private server. The seed database holds the
# schema and the demo data; each test binary copies it into a database of its own.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
case "$1" in
  start)
    "$ROOT/scripts/db" reset
    "$ROOT/scripts/db" start
    SOCK="$("$ROOT/scripts/db" socket)"
    DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so
    [ -e "$DRIVER" ] || DRIVER="$(dpkg -L odbc-mariadb 2>/dev/null | grep 'libmaodbc.so$' | head -1)"
    cat >"$ZEL_DB_DIR/odbc.ini" <<INI
[ZelTest]
Description=Zel Purchasing test database
Driver=$DRIVER
Socket=$SOCK
Database=zel_seed
INI
    : >"$ZEL_DB_DIR/odbcinst.ini"
    ;;
  stop)
    "$ROOT/scripts/db" stop ;;
esac
