# CTest fixtures that run an orvane-server for the tests that need one.
#
#   orvane_server_fixture(NAME [OPTIONS server-option...])
#     Adds the tests NAME_start (FIXTURES_SETUP NAME) and NAME_stop (FIXTURES_CLEANUP NAME).
#     The server listens on a free 127.0.0.1 port with a fresh data folder and the /test/
#     switches on; its state lives in ${CMAKE_BINARY_DIR}/test-servers/NAME: the file "url"
#     (http://127.0.0.1:PORT, no line end), "data/" (forwards.db, files/, outbox/) and
#     "server.log" (one line per request).
#
#   orvane_use_server(TEST FIXTURE)
#     Makes TEST require the fixture and run with ORVANE_SERVER_URL_FILE (path of the "url"
#     file) and ORVANE_SERVER_DATA (the data folder) in its environment. In the Windows build
#     both are Wine paths on drive Z: with forward slashes, which Win32 file functions accept.
#     Tests of one fixture share one server: give each its own product identifier, and take
#     RESOURCE_LOCK <fixture> (or a fixture of its own) when it flips the /test/ switches.
#
# The Windows build starts the native server, ${PROJECT_SOURCE_DIR}/build/native/server/
# orvane-server, which scripts/check builds first.
#
# Example:
#   orvane_server_fixture(upload_server)
#   orvane_use_server(upload_test upload_server)

function(orvane_server_fixture name)
  cmake_parse_arguments(ARG "" "" "OPTIONS" ${ARGN})
  if(WIN32)
    set(binary ${PROJECT_SOURCE_DIR}/build/native/server/orvane-server)
  else()
    set(binary $<TARGET_FILE:orvane-server>)
  endif()
  orvane_script_fixture(${name} ${PROJECT_SOURCE_DIR}/scripts/test-server ${binary} ${ARG_OPTIONS})
endfunction()

function(orvane_use_server test fixture)
  orvane_use_fixture(${test} ${fixture} ORVANE_SERVER_URL_FILE=url ORVANE_SERVER_DATA=data)
endfunction()
