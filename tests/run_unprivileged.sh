#!/usr/bin/env bash
# Runs a test program as the unprivileged user "nobody", for the tests that
# check permission errors (root may write and remove everything, so those
# tests skip themselves when run as root). Exits 77 (skipped) when it cannot.
set -u
program=$1; shift
if [ "$(id -u)" -ne 0 ]; then
  echo "not root: these tests already ran unprivileged"; exit 77
fi
command -v setpriv >/dev/null || { echo "setpriv missing"; exit 77; }
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
if ! "${as_nobody[@]}" test -x "$program"; then
  echo "nobody cannot reach $program"; exit 77
fi
cd /tmp
exec env HOME=/tmp "${as_nobody[@]}" "$program" "$@"
