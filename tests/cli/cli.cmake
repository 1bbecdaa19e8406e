# The console program driven as a script drives it (tests/cli/cli_script.py), in the project's Wine
# prefix; each case in a fresh folder of its own. Its Ctrl+C case gives a helper a pseudo-terminal.
find_program(ORV_PYTHON python3)
if(ORV_PYTHON)
  add_test(NAME cli_script COMMAND ${ORV_PYTHON} ${CMAKE_SOURCE_DIR}/tests/cli/cli_script.py ${CMAKE_BINARY_DIR})
  set_tests_properties(cli_script PROPERTIES TIMEOUT 600 COST 50)
endif()
