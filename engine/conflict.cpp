#include "engine/conflict.h"

#include "engine/JobHost.h"

namespace {

ConflictAnswer Settle(StandingAnswer& standing, ConflictAnswer answer)
{
    standing.stored = answer;
    standing.standing = answer.useForRest;
    return answer;
}

} // namespace

ConflictAnswer ObtainFileDecision(JobHost& host, StandingAnswers& answers, const std::string& path,
                                    const std::string& comparison)
{
    if (answers.file.standing)
        return answers.file.stored;
    return Settle(answers.file, host.AskFileExists(path, comparison));
}

ConflictAnswer ObtainFolderDecision(JobHost& host, StandingAnswers& answers, const std::string& path)
{
    if (answers.folder.standing)
        return answers.folder.stored;
    return Settle(answers.folder, host.AskFolderExists(path));
}
