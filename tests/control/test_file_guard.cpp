// The control's write guard at the moment of writing: a file it protects is
// never replaced, even when a link to it appears between the check by name
// and the write.
#include <gtest/gtest.h>
#include <qm_file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "control/file_guard.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_temp.h"

namespace {

TEST(FileGuard, ALinkFlippedDuringWritesNeverLeadsOntoAProtectedFile) {
  const std::string folder = qm_test_temp("file_guard");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  const std::string kept = folder + "/d.kzf", target = folder + "/race.png";
  write_all(kept, "drawing");
  quill_guard_file(kept, Quill_Guarded::kDrawing);

  // The worst moment, every time: the link appears after the check by name,
  // just before the writer opens.
  const auto planted = [&](std::string&) {
    if (symlink(kept.c_str(), target.c_str()) != 0) return false;
    QmFileWriter w;
    if (!w.open(target.c_str(), "wb")) return false;
    std::fputs("picture", w.stream());
    return w.commit();
  };
  EXPECT_FALSE(quill_write_file(target, planted));
  EXPECT_EQ(read_all(kept), "drawing");
  ASSERT_EQ(unlink(target.c_str()), 0);

  // Then a link flipped by a thread while the writes go on.
  std::atomic<bool> stop{false};
  std::thread flipper([&] {
    while (!stop) {
      if (symlink(kept.c_str(), target.c_str()) == 0) std::this_thread::yield();
      unlink(target.c_str());
    }
  });
  const auto write = [&](std::string&) {
    QmFileWriter w;
    if (!w.open(target.c_str(), "wb")) return false;
    std::fputs("picture", w.stream());
    return w.commit();
  };
  for (int round = 0; round < 3000; ++round) quill_write_file(target, write);
  stop = true;
  flipper.join();
  EXPECT_EQ(read_all(kept), "drawing");

  quill_clear_file_failures();
  unlink(target.c_str());
  unlink(kept.c_str());
  rmdir(folder.c_str());
}

}  // namespace
