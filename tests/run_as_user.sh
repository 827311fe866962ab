#!/usr/bin/env bash
# Runs a test program as an ordinary user when started as root, so that tests of permission
# failures do not skip: permissions do not bind root.
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && id nobody >/dev/null 2>&1; then
  cd /tmp && exec runuser -u nobody -- "$@"
fi
exec "$@"
