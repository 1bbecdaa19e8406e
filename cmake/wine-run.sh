#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix (never the user's ~/.wine).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/../scripts/wine-env.sh"
exec wine "$@"
