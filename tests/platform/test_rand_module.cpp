#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "qm_module.h"
#include "qm_rand.h"

TEST(Rand, OriginalSequence) {
  QmRand r;
  const int after_seed_1[] = {41, 18467, 6334, 26500, 19169};
  for (int v : after_seed_1) EXPECT_EQ(r.next(), v);
  r.seed(1);
  EXPECT_EQ(r.next(), 41);
  r.seed(0);
  EXPECT_EQ(r.next(), 38);
  EXPECT_EQ(r.next(), 7719);
  for (int i = 0; i < 100000; ++i) {
    int v = r.next();
    ASSERT_TRUE(v >= 0 && v <= QmRand::kMax);
  }
}

static void marker_in_test_program() {}

TEST(ModuleDir, FolderOfTheModuleAndItsOverride) {
  unsetenv("QM_KERNEL_DIR");
  // The test program and the base library are built into the same folder.
  std::string own = qm_module_dir(reinterpret_cast<const void*>(&qm_module_dir));
  std::string test = qm_module_dir(reinterpret_cast<const void*>(&marker_in_test_program));
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.front(), '/');
  EXPECT_EQ(own.back(), '/');
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  ASSERT_GT(n, 0);
  std::string exe(self, static_cast<size_t>(n));
  EXPECT_EQ(own, exe.substr(0, exe.rfind('/') + 1));
  EXPECT_EQ(test, own);
  int local = 0;
  EXPECT_EQ(qm_module_dir(&local), "");

  setenv("QM_KERNEL_DIR", "/opt/quillmark", 1);
  EXPECT_EQ(qm_module_dir(reinterpret_cast<const void*>(&qm_module_dir)), "/opt/quillmark/");
  setenv("QM_KERNEL_DIR", "", 1);
  EXPECT_EQ(qm_module_dir(reinterpret_cast<const void*>(&qm_module_dir)), own);
  unsetenv("QM_KERNEL_DIR");
}
