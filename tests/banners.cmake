# tests/banners.txt compiled into a test program as a string, for tests/banners.h to read.
file(READ ${CMAKE_SOURCE_DIR}/tests/banners.txt MARIGOLD_BANNERS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/banners.txt)
file(WRITE ${CMAKE_BINARY_DIR}/generated/banners_file.h.in
  "// Generated from tests/banners.txt at configure time.\n#pragma once\ninline constexpr char kBannersFile[] = R\"banners(@MARIGOLD_BANNERS@)banners\";\n")
configure_file(${CMAKE_BINARY_DIR}/generated/banners_file.h.in
  ${CMAKE_BINARY_DIR}/generated/banners_file.h @ONLY)
