// Paths in the tests' temporary folder that belong to one test process, so
// that tests run side by side (ctest -j, two builds at once) never share a
// file.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

inline std::string qm_test_temp(const std::string& name) {
  return testing::TempDir() + "qm" + std::to_string(getpid()) + "_" + name;
}
