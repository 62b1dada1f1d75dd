// Fuzz target for the native-format reader: the input is a whole file,
// loaded into a fresh drawing. The first input byte chooses whether the rest
// is taken as it is or framed as a valid header, a compressed block holding
// the rest as literals and the end record, so that the object readers behind
// the decoder are reached too, and whether a drawing that loaded is saved
// again. Every load must end with a result (never a crash, a hang, a leak or
// a read outside the data), and a drawing that loaded must save.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace {

std::string temp_path(const char* tag) {
  return std::string("/tmp/fuzz_kzf_") + tag + "_" + std::to_string(getpid());
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<uint8_t> file;
  const uint8_t* rest = data + 1;
  const size_t n = size - 1;
  if (data[0] & 1) {
    static const char kHeader[] = "(KZF V01.00)";
    file.assign(kHeader, kHeader + 12);
    file.insert(file.end(), kzf_lz::kMarker, kzf_lz::kMarker + 7);
    // Literal runs of 15: token 0x0F and a zero extension byte.
    for (size_t at = 0; at < n; at += 15) {
      const size_t k = std::min<size_t>(15, n - at);
      file.push_back(uint8_t(k == 15 ? 0x0F : k));
      if (k == 15) file.push_back(0);
      file.insert(file.end(), rest + at, rest + at + k);
    }
    file.push_back(kzf_lz::kBlockEndToken);
    file.push_back(kzf_lz::kBlockClose);
    static const char kEnd[] = "\r\n(EndOfKZF)\r\n";
    file.insert(file.end(), kEnd, kEnd + 14);
  } else {
    file.assign(rest, rest + n);
  }
  static const std::string in = temp_path("in"), out = temp_path("out");
  // The two scratch files go when the fuzzer ends its run.
  static const bool cleanup = std::atexit([] {
    std::remove(in.c_str());
    std::remove(out.c_str());
  }) == 0;
  (void)cleanup;
  if (!write_file(in, file)) return 0;
  MB_Drawing drawing;
  MB_File_IO reader;
  reader.drawing(&drawing);
  if (reader.load_kzf(in.c_str()) && (data[0] & 2)) {
    MB_File_IO writer;
    writer.drawing(&drawing);
    std::string path = out;
    if (!writer.save_kzf(&path[0])) std::abort();
  }
  return 0;
}
