# Windows-side tests: GoogleTest compiled from Debian's sources, every test run under Wine
# inside the build tree's test bed (private prefix, persistent wineserver, Xvfb display). The
# 64-bit tree runs every test under wine64; the 32-bit tree (the shipped image's code) runs those
# marked I686 on the emulated 32-bit Wine, whose programs start slower.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_test(NAME winebed.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/winebed.sh start ${VS_WINE_BED})
add_test(NAME winebed.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/winebed.sh stop ${VS_WINE_BED})
set_tests_properties(winebed.start PROPERTIES FIXTURES_SETUP winebed TIMEOUT 180)
set_tests_properties(winebed.stop PROPERTIES FIXTURES_CLEANUP winebed TIMEOUT 60)

# vs_add_windows_test(name SOURCES ... [LIBS ...] [LOCKS ...] [TIMEOUT s] [I686])
# LOCKS names shared state of the prefix (installed packages, App Paths, processes named
# outlook.exe) that tests must not change at the same time. I686: the test also runs in the
# 32-bit tree; there it gets twice the time. Elsewhere the 32-bit tree defines the program but
# neither builds nor runs it.
function(vs_add_windows_test name)
  cmake_parse_arguments(ARG "I686" "TIMEOUT" "SOURCES;LIBS;LOCKS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 180)
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    if(NOT ARG_I686)
      add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
      target_link_libraries(${name} PRIVATE test_support ${ARG_LIBS})
      return()
    endif()
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * 2")
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
