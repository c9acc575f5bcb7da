# CTest fixtures that run a pyftpdlib FTP server for the tests that need one.
#
#   orvane_ftp_server_fixture(NAME)
#     Adds the tests NAME_start (FIXTURES_SETUP NAME) and NAME_stop (FIXTURES_CLEANUP NAME).
#     The server (scripts/test-ftp-server) listens on a free 127.0.0.1 port; its state lives in
#     ${CMAKE_BINARY_DIR}/test-servers/NAME: "port", "root/" (with in/box), "commands.log".
#
#   orvane_use_ftp_server(TEST FIXTURE)
#     Makes TEST require the fixture and run with ORVANE_FTP_STATE (the state folder; a Wine
#     path on drive Z: in the Windows build) in its environment.

function(orvane_ftp_server_fixture name)
  if(NOT ORVANE_TESTS)
    return()
  endif()
  set(state ${CMAKE_BINARY_DIR}/test-servers/${name})
  add_test(NAME ${name}_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ftp-server start ${state})
  add_test(NAME ${name}_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ftp-server stop ${state})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 30)
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 30)
  set_property(GLOBAL PROPERTY ORVANE_FTP_STATE_${name} ${state})
endfunction()

function(orvane_use_ftp_server test fixture)
  if(NOT TEST ${test})
    return()
  endif()
  get_property(state GLOBAL PROPERTY ORVANE_FTP_STATE_${fixture})
  if(NOT state)
    message(FATAL_ERROR "orvane_use_ftp_server: no fixture ${fixture}")
  endif()
  set(prefix "")
  if(WIN32)
    set(prefix "Z:")
  endif()
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ORVANE_FTP_STATE=${prefix}${state}")
endfunction()

#   orvane_ftp_proxy_fixture(NAME)
#     Debian's ftp-proxy in front of a pyftpdlib server of its own (scripts/test-ftp-proxy); its
#     state lives in ${CMAKE_BINARY_DIR}/test-servers/NAME: "proxy_port", "server_host" and the
#     server's state in "server/".
#
#   orvane_use_ftp_proxy(TEST FIXTURE)
#     Makes TEST require the fixture and run with ORVANE_FTP_PROXY_STATE in its environment.

function(orvane_ftp_proxy_fixture name)
  if(NOT ORVANE_TESTS)
    return()
  endif()
  set(state ${CMAKE_BINARY_DIR}/test-servers/${name})
  add_test(NAME ${name}_start COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ftp-proxy start ${state})
  add_test(NAME ${name}_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-ftp-proxy stop ${state})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT 30)
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 30)
  set_property(GLOBAL PROPERTY ORVANE_FTP_PROXY_STATE_${name} ${state})
endfunction()

function(orvane_use_ftp_proxy test fixture)
  if(NOT TEST ${test})
    return()
  endif()
  get_property(state GLOBAL PROPERTY ORVANE_FTP_PROXY_STATE_${fixture})
  if(NOT state)
    message(FATAL_ERROR "orvane_use_ftp_proxy: no fixture ${fixture}")
  endif()
  set(prefix "")
  if(WIN32)
    set(prefix "Z:")
  endif()
  set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "ORVANE_FTP_PROXY_STATE=${prefix}${state}")
endfunction()
