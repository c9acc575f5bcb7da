# Build conventions shared by every directory.
#
# A source whose name ends in _win is built only for Windows, one ending in _posix only natively;
# every other source is portable and built on both. Listing all of them keeps each
# CMakeLists.txt a plain inventory of its folder.

function(orvane_filter_sources out)
  set(kept)
  foreach(src IN LISTS ARGN)
    if(src MATCHES "_win\\.(cpp|h|rc|def)$" AND NOT WIN32)
      continue()
    endif()
    if(src MATCHES "_posix\\.(cpp|h)$" AND WIN32)
      continue()
    endif()
    list(APPEND kept ${src})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

function(orvane_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0601)
  endif()
endfunction()

# orvane_library(NAME SOURCES src... [LIBS lib...])
function(orvane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  orvane_filter_sources(sources ${ARG_SOURCES})
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  orvane_defaults(${name})
endfunction()

# orvane_test(NAME SOURCES src... [LIBS lib...] [TIMEOUT s] [RESOURCE_LOCK name]): a GoogleTest
# program registered with CTest; tests sharing a lock (the registry, say) never run at once.
# Windows test programs run under Wine through the toolchain's emulator.
function(orvane_test name)
  if(NOT ORVANE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS" ${ARGN})
  orvane_filter_sources(sources ${ARG_SOURCES})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  orvane_defaults(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  # Screenshots are read from the one shared display with the window raised to the top; a window
  # that another test shows meanwhile (a host window, a message box, another program) can still
  # come to lie over it, so these tests run alone.
  if("base_screenshots" IN_LIST ARG_LIBS)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
  endif()
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()

# orvane_fuzzer(NAME SOURCES src... [LIBS lib...]): a libFuzzer target, built by the fuzz preset.
function(orvane_fuzzer name)
  if(NOT ORVANE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  orvane_defaults(${name})
  set_property(GLOBAL APPEND PROPERTY ORVANE_FUZZERS ${name})
endfunction()
