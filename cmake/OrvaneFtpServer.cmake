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
  orvane_script_fixture(${name} ${PROJECT_SOURCE_DIR}/scripts/test-ftp-server)
endfunction()

function(orvane_use_ftp_server test fixture)
  orvane_use_fixture(${test} ${fixture} ORVANE_FTP_STATE=)
endfunction()

#   orvane_ftp_proxy_fixture(NAME)
#     Debian's ftp-proxy in front of a pyftpdlib server of its own (scripts/test-ftp-proxy); its
#     state lives in ${CMAKE_BINARY_DIR}/test-servers/NAME: "proxy_port", "server_host" and the
#     server's state in "server/".
#
#   orvane_use_ftp_proxy(TEST FIXTURE)
#     Makes TEST require the fixture and run with ORVANE_FTP_PROXY_STATE in its environment.

function(orvane_ftp_proxy_fixture name)
  orvane_script_fixture(${name} ${PROJECT_SOURCE_DIR}/scripts/test-ftp-proxy)
endfunction()

function(orvane_use_ftp_proxy test fixture)
  orvane_use_fixture(${test} ${fixture} ORVANE_FTP_PROXY_STATE=)
endfunction()
