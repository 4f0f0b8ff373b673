#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>

#include <cstdio>

int main(int argc, char** argv) {
  // Plain line ends on standard output: ctest reads the list of cases
  // (--gtest_list_tests) with CMake, which takes a carriage return for part
  // of a name.
  _setmode(_fileno(stdout), _O_BINARY);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
