# GoogleTest from the Debian source package, built with the project's own compiler
# (natively, or with mingw-w64 for the Windows tests that run under Wine).
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
