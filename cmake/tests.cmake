# GoogleTest for the test programs; without it only the programs are built. The native build
# takes Debian's prebuilt library (libgtest-dev) when it is there. The Windows builds compile
# it from the sources Debian's googletest package installs, unoptimised: the tests' speed
# never depends on it, and its one big file is a quarter of a build's time at -Os.
set(MARIGOLD_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(marigold_tests OFF)
if(NOT WIN32)
  find_package(GTest QUIET)
endif()
add_library(marigold_gtest INTERFACE)
if(TARGET GTest::gtest_main)
  target_link_libraries(marigold_gtest INTERFACE GTest::gtest_main)
  set(marigold_tests ON)
elseif(EXISTS ${MARIGOLD_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${MARIGOLD_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -O0)
  target_compile_options(gtest_main PRIVATE -O0)
  set_target_properties(gtest gtest_main PROPERTIES UNITY_BUILD OFF)
  if(WIN32)
    # The win32 thread model's standard library has no std::mutex: GoogleTest gets the one
    # piece it builds on it from tests/gtest_win32.
    target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/gtest_win32)
    target_sources(gtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/gtest_win32/notification.cpp)
  endif()
  target_link_libraries(marigold_gtest INTERFACE gtest_main)
  set(marigold_tests ON)
endif()
if(marigold_tests)
  include(CTest)
endif()
