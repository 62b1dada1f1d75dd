// Downloads of file URLs (no network): the file is written whole or the
// target is left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <urlmon.h>

#include <dirent.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_temp.h"

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_all(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary);
  out << data;
}

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The names in a folder that start with a prefix.
int count_starting(const std::string& dir, const std::string& prefix) {
  int n = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) n += std::string(e->d_name).rfind(prefix, 0) == 0 ? 1 : 0;
    closedir(d);
  }
  return n;
}

class UrlDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = qm_test_temp("urlmon");
    mkdir(dir_.c_str(), 0755);
    source_ = dir_ + "/source.dwg";
    target_ = dir_ + "/1.dwg";
  }
  void TearDown() override {
    std::remove(source_.c_str());
    std::remove(target_.c_str());
    rmdir(dir_.c_str());
  }
  std::string dir_, source_, target_;
};

TEST_F(UrlDownload, AFileUrlIsCopiedByteForByte) {
  std::string data("drawing\0\r\n\xff bytes", 17);
  for (int i = 0; i < 5000; ++i) data += static_cast<char>(i * 7);
  write_all(source_, data);
  write_all(target_, "old");
  ASSERT_EQ(URLDownloadToFileA(nullptr, ("file://" + source_).c_str(), target_.c_str(), 0, nullptr), S_OK);
  EXPECT_EQ(qm_download_last_error(), "");
  EXPECT_EQ(read_all(target_), data);
  EXPECT_EQ(count_starting(dir_, "1.dwg"), 1) << "no temporary file is left beside it";
}

TEST_F(UrlDownload, AFailedDownloadLeavesTheTargetAsItWas) {
  write_all(target_, "kept");
  struct Case {
    std::string url;
    HRESULT expected;
  } cases[] = {
      {"file://" + dir_ + "/missing.dwg", INET_E_RESOURCE_NOT_FOUND},
      {"ftp://example.invalid/a.dwg", INET_E_UNKNOWN_PROTOCOL},
      {"gopher://example.invalid/a.dwg", INET_E_UNKNOWN_PROTOCOL},
      {dir_ + "/source.dwg", INET_E_UNKNOWN_PROTOCOL},
      // Only regular files are fetched: a folder would come as an empty
      // file, a device might never end.
      {"FILE://" + dir_, INET_E_RESOURCE_NOT_FOUND},
      {"file:///dev/zero", INET_E_RESOURCE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(URLDownloadToFileA(nullptr, c.url.c_str(), target_.c_str(), 0, nullptr), c.expected);
    EXPECT_FALSE(qm_download_last_error().empty()) << "a failure has a reason";
    EXPECT_EQ(read_all(target_), "kept");
    EXPECT_EQ(count_starting(dir_, "1.dwg"), 1);
  }
  std::remove(target_.c_str());
  EXPECT_NE(URLDownloadToFileA(nullptr, ("file://" + dir_ + "/missing.dwg").c_str(), target_.c_str(), 0, nullptr),
            S_OK);
  EXPECT_FALSE(exists(target_)) << "no partial file is made";
}

TEST_F(UrlDownload, BadArgumentsAndAnUnwritableTarget) {
  write_all(source_, "x");
  const std::string url = "file://" + source_;
  EXPECT_EQ(URLDownloadToFileA(nullptr, nullptr, target_.c_str(), 0, nullptr), E_INVALIDARG);
  EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), nullptr, 0, nullptr), E_INVALIDARG);
  EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), target_.c_str(), 1, nullptr), E_INVALIDARG);
  int caller = 0;
  EXPECT_EQ(URLDownloadToFileA(reinterpret_cast<LPUNKNOWN>(&caller), url.c_str(), target_.c_str(), 0, nullptr),
            E_NOTIMPL);
  EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), (dir_ + "/no/such/folder/1.dwg").c_str(), 0, nullptr),
            E_ACCESSDENIED);
  EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), dir_.c_str(), 0, nullptr), E_ACCESSDENIED)
      << "a folder is not replaced by a download";
  EXPECT_FALSE(exists(target_));
}

}  // namespace
