#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix (never the user's ~/.wine).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../scripts/wine-env.sh"
# Make sure the server this program talks to was not started by it: a server started by a test
# would hold the test's output pipes open after it ends. A no-op when a server already runs.
wineserver -p </dev/null >/dev/null 2>&1 || true
exec wine "$@"
