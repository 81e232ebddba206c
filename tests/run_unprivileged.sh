#!/usr/bin/env bash
# Runs a test program as the unprivileged user "nobody", so that the tests
# that check permission errors also run as a user who owns none of the files
# (run by anyone else, the program is already unprivileged and runs as it
# is). The program gets a scratch folder of its own as TMPDIR and HOME: the
# caller's TMPDIR may be private. Exits 77 (skipped) when it cannot.
set -u
program=$(readlink -f "$1"); shift
run_as=()
base_folders=("${TMPDIR:-/tmp}")
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || { echo "setpriv missing"; exit 77; }
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  base_folders+=(/tmp /var/tmp /dev/shm)
fi
if ! "${run_as[@]}" test -x "$program"; then
  echo "nobody cannot reach $program"; exit 77
fi
scratch=
for base in "${base_folders[@]}"; do
  scratch=$("${run_as[@]}" mktemp -d "$base/tessa-unprivileged-XXXXXX" 2>/dev/null) && break
done
[ -n "$scratch" ] || { echo "no temporary folder the program can write"; exit 77; }
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" && env HOME="$scratch" TMPDIR="$scratch" "${run_as[@]}" "$program" "$@"
