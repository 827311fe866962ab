#!/usr/bin/env bash
# Runs a test program as an ordinary user when started as root, so that tests of permission
# failures do not skip: permissions do not bind root. A program the user cannot reach (a clone
# in root's private home) is run from a copy in a folder of its own.
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null || ! id nobody >/dev/null 2>&1; then
  exec "$@"
fi
cd /tmp || exit 1
if runuser -u nobody -- test -x "$1"; then
  exec runuser -u nobody -- "$@"
fi
copy=$(mktemp -d)
chmod 755 "$copy"
cp "$1" "$copy/"
chmod 755 "$copy/$(basename "$1")"
program="$copy/$(basename "$1")"
shift
runuser -u nobody -- "$program" "$@"
status=$?
rm -rf "$copy"
exit $status
