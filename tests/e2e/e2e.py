"""Runs one end-to-end suite against a build:  python3 tests/e2e/e2e.py BUILD_DIR SUITE
Exit code 0 when every check passed, 1 when one failed (or the suite could not run in CI for a reason
not allowed there), 77 when the suite was skipped."""
import sys

import harness
import suite_conflicts
import suite_faults
import suite_filters
import suite_operations
import suite_pause
import suite_shell

SUITES = {
    "operations": suite_operations.run,
    "filters": suite_filters.run,
    "conflicts": suite_conflicts.run,
    "pause": suite_pause.run,
    "faults": suite_faults.run,
    "shell": suite_shell.run,
}

if __name__ == "__main__":
    sys.exit(harness.main(SUITES))
