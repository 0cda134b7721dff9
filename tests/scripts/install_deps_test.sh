#!/usr/bin/env bash
# scripts/install-deps.sh as a user whom sudo refuses: the missing packages are named before sudo
# speaks, and the script fails. id, dpkg-query and sudo are stand-ins on PATH.
#   install_deps_test.sh <source folder>
set -euo pipefail
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\necho 1000\n' >"$fake/id"
printf '#!/bin/sh\nexit 1\n' >"$fake/dpkg-query"
printf '#!/bin/sh\necho "SUDO REFUSED" >&2\nexit 1\n' >"$fake/sudo"
chmod +x "$fake/id" "$fake/dpkg-query" "$fake/sudo"
status=0
said=$(PATH="$fake:$PATH" bash "$1/scripts/install-deps.sh" 2>&1) || status=$?
echo "$said"
[ "$status" -ne 0 ] || { echo "FAIL: a refused sudo ended with status 0"; exit 1; }
named=$(echo "$said" | grep -n "libsdl2-dev" | head -1 | cut -d: -f1 || true)
refused=$(echo "$said" | grep -n "SUDO REFUSED" | head -1 | cut -d: -f1 || true)
[ -n "$named" ] && [ -n "$refused" ] && [ "$named" -lt "$refused" ] ||
    { echo "FAIL: the missing packages were not named before sudo spoke"; exit 1; }
echo "PASS"
