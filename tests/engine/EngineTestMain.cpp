// The engine tests, or the child process one of them starts.
#include "CopyKillChild.h"
#include "CutKillChild.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], kCopyUntilKilled) == 0)
        return CopyUntilKilled(argv[2], argv[3], argv[4], argv[5]);
    if (argc == 5 && std::strcmp(argv[1], kCopyInFlightUntilKilled) == 0)
        return CopyInFlightUntilKilled(argv[2], argv[3], argv[4]);
    if (argc == 6 && std::strcmp(argv[1], kCutUntilKilled) == 0)
        return CutUntilKilled(argv[2], argv[3], argv[4], argv[5]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
