// Fuzz target for the TrueType family-name reader. The first two input bytes
// are the language asked for and the third the size of the output buffer;
// the rest is the font file, written to a temporary file because the reader
// takes a path. The name must end inside the buffer, and a failure must
// leave the buffer untouched.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "database/fonts/mb_ttf_name.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_ttf_name." + std::to_string(getpid()) +
         ".ttf";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static const std::string path = TempPath();
  const uint16_t language = static_cast<uint16_t>(data[0] | data[1] << 8);
  const size_t out_size = data[2];
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data + 3, 1, size - 3, f);
  std::fclose(f);
  // Exactly out_size bytes on the heap, so that a write past them is caught.
  char* out = static_cast<char*>(std::malloc(out_size ? out_size : 1));
  std::memset(out, 0x7f, out_size);
  bool ok = get_ttf_name_by_path(path.c_str(), language, out, out_size);
  if (ok) {
    check(out_size > 0 && std::memchr(out, 0, out_size) != nullptr);
  } else {
    for (size_t i = 0; i < out_size; ++i) check(out[i] == '\x7f');
  }
  std::free(out);
  std::remove(path.c_str());
  return 0;
}
