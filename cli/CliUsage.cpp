#include "cli/CliUsage.h"

std::string CliUsageText()
{
    return R"(Usage:
  orvandel-cli copy SOURCE... --to DEST [options]
  orvandel-cli cut  SOURCE... --to DEST [options]
  orvandel-cli trash|delete|crush SOURCE... [options]

Runs one job and waits for its end: the count of the sources first (totals on stderr), then the
job, its log lines on stdout as the window's log shows them. Relative paths are taken from the
current folder.

Options:
  --to DEST             destination folder (copy and cut only)
  --flat                do not create subfolders at the destination (copy and cut only)
  --masks "*.txt;*.doc" file name masks, separated by ; or / (default "*.*")
  --skip-ext "tmp;bak"  leave out files with these extensions ("." for none)
  --newer "YYYY-MM-DD HH:MM:SS"   only files modified at or after this time (a date alone: 00:00:00)
  --older "YYYY-MM-DD HH:MM:SS"   only files modified at or before this time
  --min-size SIZE       only files of at least SIZE bytes (512, 10KB, 2MB, 1GB)
  --max-size SIZE       only files of at most SIZE bytes
  --on-conflict ask|replace|skip|update|rename
                        what to do with a file already at the destination (default ask; with no
                        console input every question is answered Skip, and said so); a folder
                        already there is merged into (with rename: the new one is renamed)
  --verify              read every copy back before it takes its name
  --report FILE         write a CSV report (UTF-8): result,operation,source,destination,bytes,error
                        with one line per file done, failed or skipped, then a summary line
  --quiet               no log lines and no progress; errors still go to stderr
  --help                this text

Ctrl+C or Ctrl+Break cancels as the window's Cancel does (nothing partial is left); a second one
ends the program at once.

Exit code, a sum of:
   0  nothing matched: nothing to do
   1  files done
   2  some left as they were by an answer (skip, or update finding the destination as new)
   8  some failed
  16  fatal: the job did not happen (16 alone: bad arguments, nothing touched; with 8: the
      destination was refused, or every file failed)
  32  stopped by Ctrl+C or Ctrl+Break
)";
}
