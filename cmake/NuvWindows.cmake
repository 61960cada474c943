# The Windows build, cross compiled with MinGW-w64 on Linux and tested under
# Wine.

# GoogleTest built from the sources the Debian googletest package installs:
# there is no Windows build of it to find.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

# Test programs run under Wine, in a prefix of the build's own, so that CTest
# and the discovery of test cases work as on Linux. Test cases are listed
# when the tests run, not when they are built: a build needs no Wine.
# Static libraries only, so that nothing but system DLLs is needed.
set(ZLIB_USE_STATIC_LIBS ON)

find_program(NUV_WINE NAMES wine wine64 NAMES_PER_DIR NO_CMAKE_FIND_ROOT_PATH)
if(NUV_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
      ${NUV_WINE})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# What the Windows build holds: the core, the framework with its headless
# backend, the plug-in, the host, the command-line tool, the sample
# generator, the core's tests and those of the framework and the dialogs
# on the headless backend.
set(NUV_FOLDERS src/platform src/common src/support src/framework src/rc_compiler src/image
    src/legacy src/toolcfg src/workbook src/exchange src/diff src/verify src/plugin resources
    apps/drive apps/nuv apps/host samples tests)
# The test suites that run under Wine. Not here: the resource compiler's
# (a tool of the build machine), the plug-in's (it loads nuv.so with
# dlopen; nuvhost.exe loads nuv.dll, see tests/wine/package_zip.sh), Qt's,
# and the scripts run with sh or python3 (cli, guide; the command-line
# halves of diff, newfmt and verify).
set(NUV_TEST_FOLDERS common image platform platform_process support legacy toolcfg workbook
    exchange verify diff newfmt framework support_ui legacy_ui wine drive win32)
