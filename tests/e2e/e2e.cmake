# End-to-end suites: the built program driven from outside (tests/driver) on real trees, under a Wine
# prefix and a virtual display of their own. One test per suite, one suite at a time (they share that
# prefix, and so its one program window); beside them the other tests run as usual, in their own
# prefix and display, each waiting for conditions rather than for time. A suite the machine cannot run
# reports itself skipped, with its reason (in CI it fails unless ORV_ALLOWED_SKIPS names the reason).
# They start first (three minutes in all, one after another), so that they end long before the tests
# of the program's life, which run alone at the end.
find_program(ORV_PYTHON python3)
if(ORV_PYTHON)
  foreach(suite operations filters conflicts pause faults shell)
    add_test(NAME e2e_${suite}
             COMMAND ${ORV_PYTHON} ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.py ${CMAKE_BINARY_DIR} ${suite})
    set_tests_properties(e2e_${suite} PROPERTIES RESOURCE_LOCK orv_e2e TIMEOUT 900
                         COST 100 SKIP_RETURN_CODE 77)
  endforeach()
endif()
