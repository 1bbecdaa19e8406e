#include "cli/ExitCode.h"

int ExitCodeFor(const JobTally& tally)
{
    int code = kExitNothingMatched;
    if (tally.filesDone > 0)
        code |= kExitFilesDone;
    if (tally.filesSkipped > 0)
        code |= kExitSkipped;
    if (tally.filesFailed > 0)
        code |= kExitFailed;
    // Failures and nothing done at all: the job as a whole did not happen, whatever it met.
    if (tally.refused || (tally.filesFailed > 0 && tally.filesDone == 0 && tally.filesSkipped == 0))
        code |= kExitFatal;
    if (tally.interrupted)
        code |= kExitInterrupted;
    return code;
}
