#!/usr/bin/env bash
# scripts/install-deps.sh against a stand-in dpkg-query that notes its calls: with everything
# installed it asks dpkg once and says nothing; with a package removed (its configuration left)
# and one dpkg does not know, as a user whom sudo refuses, it names just those two before sudo
# speaks, and fails. id, dpkg-query and sudo are stand-ins on PATH.
#   install_deps_test.sh <source folder>
set -euo pipefail
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\necho 1000\n' >"$fake/id"
# dpkg-query -W -f=FORMAT NAME...: FORMAT's ${Package} and ${Status} filled for each name; the
# names in FAKE_REMOVED are removed, those in FAKE_UNKNOWN unknown.
cat >"$fake/dpkg-query" <<'EOF'
#!/bin/bash
echo "$*" >>"$FAKE_CALLS"
format='${Status}'
code=0
for name; do
    if [[ $name == -f=* ]]; then
        format=${name#-f=}
        continue
    fi
    [[ $name == -* ]] && continue
    status="install ok installed"
    if [[ " ${FAKE_UNKNOWN:-} " == *" $name "* ]]; then
        echo "dpkg-query: no packages found matching $name" >&2
        code=1
        continue
    fi
    [[ " ${FAKE_REMOVED:-} " == *" $name "* ]] && status="deinstall ok config-files"
    line=${format//'${Package}'/$name}
    printf '%b' "${line//'${Status}'/$status}"
done
exit $code
EOF
printf '#!/bin/sh\necho "SUDO REFUSED" >&2\nexit 1\n' >"$fake/sudo"
chmod +x "$fake/id" "$fake/dpkg-query" "$fake/sudo"
export FAKE_CALLS=$fake/calls
fail() { echo "FAIL: $*"; exit 1; }

said=$(PATH="$fake:$PATH" bash "$1/scripts/install-deps.sh" 2>&1) || fail "an up-to-date start failed: $said"
[ -z "$said" ] || fail "an up-to-date start said: $said"
calls=$(wc -l <"$FAKE_CALLS")
[ "$calls" -eq 1 ] || fail "an up-to-date start asked dpkg $calls times"

status=0
said=$(PATH="$fake:$PATH" FAKE_REMOVED=libsdl2-dev FAKE_UNKNOWN=jq bash "$1/scripts/install-deps.sh" 2>&1) ||
    status=$?
echo "$said"
[ "$status" -ne 0 ] || fail "a refused sudo ended with status 0"
echo "$said" | grep -qx "Missing packages: libsdl2-dev jq" || fail "not just the two missing packages named"
named=$(echo "$said" | grep -n "Missing packages" | head -1 | cut -d: -f1 || true)
refused=$(echo "$said" | grep -n "SUDO REFUSED" | head -1 | cut -d: -f1 || true)
[ -n "$named" ] && [ -n "$refused" ] && [ "$named" -lt "$refused" ] ||
    fail "the missing packages were not named before sudo spoke"
echo "PASS"
