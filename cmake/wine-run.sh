#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix (never the user's ~/.wine).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../scripts/wine-env.sh"
# Wine may start lasting helper processes (wineserver, services, the desktop process) from the
# program it runs, and they inherit its output. Were that ctest's pipe, ctest would wait for them
# until its timeout. So the program writes to a file, which is shown once the program has ended.
wineserver -p </dev/null >/dev/null 2>&1 || true
out=$(mktemp "${TMPDIR:-/tmp}/orv-wine.XXXXXX")
wine "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
