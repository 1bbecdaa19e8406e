# End-to-end suites: the built program driven from outside (tests/driver) on real trees, under a Wine
# prefix and a virtual display of their own. One test per suite, each run alone: they copy gigabytes
# and time pauses, which the other tests' timing must not share. A suite the machine cannot run
# reports itself skipped.
find_program(ORV_PYTHON python3)
if(ORV_PYTHON)
  foreach(suite operations filters conflicts pause faults shell)
    add_test(NAME e2e_${suite}
             COMMAND ${ORV_PYTHON} ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.py ${CMAKE_BINARY_DIR} ${suite})
    set_tests_properties(e2e_${suite} PROPERTIES RUN_SERIAL TRUE TIMEOUT 900 SKIP_RETURN_CODE 77)
  endforeach()
endif()
