#!/usr/bin/env bash
# Fails when a file of the core library includes a Qt header.
set -u
bad=0
while IFS= read -r f; do
  [ -n "$f" ] || continue
  if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]Q' "$f"; then
    echo "core file includes a Qt header: $f"; bad=1
  fi
done < "$1"
[ $bad = 0 ] && echo "core files checked: $(grep -c . "$1"), no Qt header"
exit $bad
