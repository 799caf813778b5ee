# GoogleTest: the system's own when CMake finds one (Debian's libgtest-dev
# natively), else built from the Debian source package with the project's
# own compiler (mingw-w64 for the Windows tests that run under Wine).
include(GoogleTest)
find_package(GTest QUIET)
if(GTest_FOUND)
  return()
endif()
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
# GoogleTest is built without link-time optimisation: its old CMake policies
# could not honour it, and it is not what the benchmarks measure.
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE OFF)
set(CMAKE_INTERPROCEDURAL_OPTIMIZATION_RELWITHDEBINFO OFF)
add_subdirectory(/usr/src/googletest googletest EXCLUDE_FROM_ALL)
