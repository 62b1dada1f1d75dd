// Where tests find their data files: the repository's own (the kernel's shape
// font under fonts/) and the shared test fonts beside the repository, which a
// fresh clone may lack. A test that needs a shared file skips, naming it.
#pragma once

#include <sys/stat.h>

#include <string>

namespace test_data {

// A file of the repository's fonts/ folder.
inline std::string repo_font(const std::string& name) { return std::string(QM_SOURCE_DIR) + "/fonts/" + name; }

// A file of the shared test fonts.
inline std::string shared_font(const std::string& name) {
  return std::string(QM_SHARED_DIR) + "/testdata/fonts/" + name;
}

inline bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace test_data

// Ends the current test as skipped when the file is not there.
#define QM_SKIP_WITHOUT(path)                                             \
  do {                                                                    \
    const std::string qm_needed_ = (path);                                \
    if (!test_data::exists(qm_needed_)) GTEST_SKIP() << "missing " << qm_needed_; \
  } while (0)
