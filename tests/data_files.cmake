# The data files every tier of tests reads (tests/banners.txt, tests/hotspots.txt), compiled
# into a test program as strings, for tests/banners.h and tests/hotspots.h to read; and the
# include folders the test programs share.
foreach(data banners hotspots)
  file(READ ${CMAKE_SOURCE_DIR}/tests/${data}.txt MARIGOLD_DATA)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${data}.txt)
  file(WRITE ${CMAKE_BINARY_DIR}/generated/${data}_file.h.in
    "// Generated from tests/${data}.txt at configure time.\n#pragma once\ninline constexpr char k${data}File[] = R\"data(@MARIGOLD_DATA@)data\";\n")
  configure_file(${CMAKE_BINARY_DIR}/generated/${data}_file.h.in
    ${CMAKE_BINARY_DIR}/generated/${data}_file.h @ONLY)
endforeach()
add_library(marigold_test_support INTERFACE)
target_include_directories(marigold_test_support INTERFACE ${CMAKE_SOURCE_DIR}/tests
                           ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(marigold_test_support INTERFACE marigold_core marigold_gtest)
# The test programs unoptimised: their speed never matters, their compile time does (a fifth
# less). The code they test keeps the shipped program's flags.
target_compile_options(marigold_test_support INTERFACE $<$<CONFIG:Release>:-O0>)
