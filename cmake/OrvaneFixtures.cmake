# CTest fixtures: a helper process (a server, a proxy) started before the tests that need it and
# stopped after them. The fixture-specific functions in OrvaneServer.cmake and
# OrvaneFtpServer.cmake are built on these two.
#
#   orvane_script_fixture(NAME SCRIPT [ARG...])
#     Adds the tests NAME_start (FIXTURES_SETUP NAME), running `SCRIPT start STATE ARG...`, and
#     NAME_stop (FIXTURES_CLEANUP NAME), running `SCRIPT stop STATE`. STATE is the fixture's own
#     folder, ${CMAKE_BINARY_DIR}/test-servers/NAME, where the script leaves what tests read;
#     the global property ORVANE_FIXTURE_STATE_NAME holds it for set-up steps of one's own.
#
#   orvane_use_fixture(TEST FIXTURE [VARIABLE=PATH...])
#     Makes TEST require FIXTURE and run with each VARIABLE set to PATH inside the fixture's
#     folder (the folder itself when PATH is empty). In the Windows build the paths are Wine
#     paths on drive Z:, which Win32 file functions accept. Does nothing when TEST was not added
#     (a Windows-only test in the native build).

function(orvane_script_fixture name script)
  if(NOT ORVANE_TESTS)
    return()
  endif()
  set(state ${CMAKE_BINARY_DIR}/test-servers/${name})
  add_test(NAME ${name}_start COMMAND ${script} start ${state} ${ARGN})
  add_test(NAME ${name}_stop COMMAND ${script} stop ${state})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 30)
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 30)
  set_property(GLOBAL PROPERTY ORVANE_FIXTURE_STATE_${name} ${state})
endfunction()

function(orvane_use_fixture test fixture)
  if(NOT TEST ${test})
    return()
  endif()
  get_property(state GLOBAL PROPERTY ORVANE_FIXTURE_STATE_${fixture})
  if(NOT state)
    message(FATAL_ERROR "orvane_use_fixture: no fixture ${fixture} for ${test}")
  endif()
  if(WIN32)
    set(state "Z:${state}")
  endif()
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  foreach(assignment IN LISTS ARGN)
    string(REGEX MATCH "^([^=]+)=(.*)$" matched "${assignment}")
    if(NOT matched)
      message(FATAL_ERROR "orvane_use_fixture: expected VARIABLE=PATH, got ${assignment}")
    endif()
    set(path "${state}")
    if(CMAKE_MATCH_2)
      set(path "${state}/${CMAKE_MATCH_2}")
    endif()
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "${CMAKE_MATCH_1}=${path}")
  endforeach()
endfunction()
