# Testing a cross-built program: GoogleTest from Debian's sources (package
# googletest), built with the same compiler, and one Wine session around the
# whole test run. CMAKE_CROSSCOMPILING_EMULATOR (tools/wine-run) runs each
# test program, and the discovery of its cases, under Wine.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Starting Wine is slow, so the session is started once (discovery may
# already have done it) and stopped after the last test.
add_test(NAME wine_session_start COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start)
add_test(NAME wine_session_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# The first discovery may have to create the Wine prefix.
set(VELKORN_DISCOVERY_OPTIONS DISCOVERY_TIMEOUT 300)
set(VELKORN_TEST_PROPERTIES FIXTURES_REQUIRED wine)
