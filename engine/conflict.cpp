#include "engine/conflict.h"

#include "engine/JobHost.h"

namespace {

ConflictDecision Settle(StandingAnswer& standing, ConflictAnswer answer)
{
    standing.stored = answer.decision;
    standing.standing = answer.useForRest;
    return answer.decision;
}

} // namespace

ConflictDecision ObtainFileDecision(JobHost& host, StandingAnswers& answers, const std::string& path,
                                    const std::string& comparison)
{
    if (answers.file.standing)
        return answers.file.stored;
    return Settle(answers.file, host.AskFileExists(path, comparison));
}

ConflictDecision ObtainFolderDecision(JobHost& host, StandingAnswers& answers, const std::string& path)
{
    if (answers.folder.standing)
        return answers.folder.stored;
    return Settle(answers.folder, host.AskFolderExists(path));
}
