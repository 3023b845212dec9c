# Windows-side tests: GoogleTest compiled from Debian's sources, every test run under wine64
# inside the build tree's test bed (private prefix, persistent wineserver, Xvfb display).
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_test(NAME winebed.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/winebed.sh start ${VS_WINE_BED})
add_test(NAME winebed.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/winebed.sh stop ${VS_WINE_BED})
set_tests_properties(winebed.start PROPERTIES FIXTURES_SETUP winebed TIMEOUT 180)
set_tests_properties(winebed.stop PROPERTIES FIXTURES_CLEANUP winebed TIMEOUT 60)

# vs_add_windows_test(name SOURCES ... [LIBS ...] [LOCKS ...] [TIMEOUT s])
# LOCKS names shared state of the prefix (installed packages, App Paths, processes named
# outlook.exe) that tests must not change at the same time.
function(vs_add_windows_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 180)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED winebed
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "VS_TEST_WATCHDOG_SECONDS=${ARG_TIMEOUT};VS_TEST_ARTIFACTS=${CMAKE_BINARY_DIR}/artifacts")
  if(ARG_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
  endif()
endfunction()
