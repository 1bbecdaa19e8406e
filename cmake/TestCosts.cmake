# Read by ctest after the discovered tests. The longest tests start first, so that a first run (no
# timings kept yet, as from a fresh clone) does not end with one of them running alone on one core
# while the suites that run alone wait for it. Seconds as measured on two loaded cores.
set_tests_properties(DeepTree.ACopyMirrorsItWholeAndACutLeavesNoFolderBehind PROPERTIES COST 60)
set_tests_properties(DeepTree.IsScannedWholeAndADeleteJobRemovesItWhole PROPERTIES COST 45)
set_tests_properties(DeepTree.ReplacesRemovalTakesItWhole PROPERTIES COST 25)
set_tests_properties(MainWindowClipboard.FilesPutOnTheClipboardByAnotherProgram PROPERTIES COST 50)
# Tests that take pictures from the screen raise their window above all others and need it uncovered
# for a moment: two of them at once on the one display cover each other. They take turns, and so does
# the one whose menu must stay open (it closes when another window takes the foreground).
set_tests_properties(ConflictDialogAsk.LongPathIsShownWholeAndNothingOverlaps
                     ConflictDialogScreenshot.BothDialogsAsAQuestionShowsThem
                     DemoScreenshot.PicturesAndControlsLookClear
                     MainWindowJobs.CopyFromBeginCopiesTheTreeReportsAndHides
                     MainWindowJobs.PauseAndGoOnDuringALargeCopy
                     MainWindowLoops.AWaitingBeginStartsInsideNoMoveAndNoMenu
                     PROPERTIES RESOURCE_LOCK orv_screen)
# The random jobs' fixed seeds, in four parts of about 10 s each.
set_tests_properties(RandomJobs/FixedSeeds.KeepEveryPromise/0 RandomJobs/FixedSeeds.KeepEveryPromise/1
                     RandomJobs/FixedSeeds.KeepEveryPromise/2 RandomJobs/FixedSeeds.KeepEveryPromise/3
                     PROPERTIES COST 12)
