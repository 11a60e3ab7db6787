#!/usr/bin/env bash
# check-exports.sh MODULE SYMBOL...: the module's dynamic symbol table defines exactly these symbols. Anything more
# (the C++ runtime's weak template instances, type info) can bind to another module's copies in the same host.
set -euo pipefail
module=$1
shift
actual=$(nm -D --defined-only -P "$module" | awk '{print $1}' | LC_ALL=C sort | tr '\n' ' ')
expected=$(printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' ')
if [ "$actual" != "$expected" ]; then
  echo "$module exports: $actual"
  echo "expected only:    $expected"
  exit 1
fi
echo "$module exports only: $actual"
