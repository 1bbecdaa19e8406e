// The random jobs' tests, or the child process of a job that one of them kills in its middle.
#include "tests/random/CaseRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 7 && std::strcmp(argv[1], randomjobs::kJobUntilKilled) == 0)
        return randomjobs::CaseRunner::RunUntilKilled(argv[2], argv[3], argv[4], argv[5],
                                                      static_cast<DWORD>(std::strtoul(argv[6], nullptr, 10)));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
