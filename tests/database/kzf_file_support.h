// Helpers for file-pass tests: a temporary file per test, byte vectors to
// and from it, a reader opened over given bytes, and the payload of a saved
// file's compressed block.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"

namespace kzf_file_test {

using Bytes = std::vector<uint8_t>;

inline Bytes bytes_of(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void append_double(Bytes& b, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  for (int i = 0; i < 8; ++i) b.push_back(uint8_t(bits >> (8 * i)));
}

inline void append_long(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

class Temp_File {
 public:
  Temp_File() {
    char name[] = "/tmp/qm_kzf_XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) ::close(fd);
    path_ = name;
  }
  ~Temp_File() { std::remove(path_.c_str()); }
  char* path() { return &path_[0]; }

  void write(const Bytes& b) {
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (!b.empty()) std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
  }
  Bytes read() const {
    Bytes b;
    FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return b;
    int c;
    while ((c = std::fgetc(f)) != EOF) b.push_back(uint8_t(c));
    std::fclose(f);
    return b;
  }

 private:
  std::string path_;
};

// Opens io for reading over the bytes (through a file).
inline MB_Result open_reader(MB_File_IO& io, Temp_File& file, const Bytes& b) {
  file.write(b);
  io.file_name(file.path());
  io.set_file_mode(MB_File_IO::MODE_READ);
  return io.open();
}

// Opens io for writing; close() then gives the file bytes.
inline MB_Result open_writer(MB_File_IO& io, Temp_File& file) {
  io.file_name(file.path());
  io.set_file_mode(MB_File_IO::MODE_WRITE);
  return io.open();
}

inline const Bytes& header_bytes() {
  static const Bytes b = bytes_of("(KZF V01.00)");
  return b;
}
inline const Bytes& end_bytes() {
  static const Bytes b = bytes_of("\r\n(EndOfKZF)\r\n");
  return b;
}

// The uncompressed object stream of a saved file: between the header and
// the end record, through the compressed block.
inline bool payload(const Bytes& file, Bytes& out) {
  const size_t h = header_bytes().size(), e = end_bytes().size();
  out.clear();
  if (file.size() < h + e) return false;
  if (file.size() == h + e) return true;
  if (file.size() < h + 7 + e || std::memcmp(file.data() + h, kzf_lz::kMarker, 7) != 0) return false;
  size_t used = 0;
  MB_Result r = kzf_decompress(file.data() + h + 7, file.size() - h - 7 - e, 100, out, &used);
  return r == MB_SUCCESS && used == file.size() - h - 7 - e;
}

// The whole file one write pass makes: the header, what `write` writes
// through the io (uncompressed, with a scratch drawing), the end record.
template <class Write>
Bytes write_pass(Write write) {
  Temp_File f;
  MB_File_IO io;
  MB_Drawing scratch;
  io.drawing(&scratch);
  EXPECT_EQ(open_writer(io, f), MB_SUCCESS);
  write(io);
  EXPECT_EQ(io.close(), MB_SUCCESS);
  return f.read();
}

// What one write pass puts between the header and the end record; empty
// when the file is shorter than those two.
template <class Write>
Bytes write_pass_body(Write write) {
  const Bytes file = write_pass(write);
  const size_t h = header_bytes().size(), e = end_bytes().size();
  if (file.size() < h + e) return Bytes();
  return Bytes(file.begin() + long(h), file.end() - long(e));
}

// A whole save of the drawing, as the file's bytes.
inline Bytes save(MB_Drawing& d) {
  Temp_File f;
  MB_File_IO io;
  io.drawing(&d);
  EXPECT_TRUE(io.save_kzf(f.path()));
  return f.read();
}

// A whole load of the bytes into the drawing; the pass's result in *result.
inline bool load(const Bytes& b, MB_Drawing& d, MB_Result* result = nullptr) {
  Temp_File f;
  f.write(b);
  MB_File_IO io;
  io.drawing(&d);
  bool ok = io.load_kzf(f.path());
  if (result) *result = io.result();
  return ok;
}

// A file of the header, the object stream uncompressed and the end record.
inline Bytes uncompressed_file(const Bytes& body) {
  Bytes b = header_bytes();
  b.insert(b.end(), body.begin(), body.end());
  b.insert(b.end(), end_bytes().begin(), end_bytes().end());
  return b;
}

// The objects of one class in a list, in order.
template <class T>
std::vector<T*> objects_of(MB_Object_List& list) {
  std::vector<T*> out;
  for (MB_Object* o = list.head(); o; o = o->next()) {
    if (T* t = dynamic_cast<T*>(o)) out.push_back(t);
  }
  return out;
}

// Loads every prefix of the file, then the file with one byte replaced at
// each offset (twice over, bytes from a fixed seed): a prefix loads only when
// at most the last line end is missing, and nothing crashes or hangs.
// check(drawing) looks at what each prefix left; use(drawing) is handed
// every drawing, the damaged ones too.
template <class F, class G = void (*)(MB_Drawing&)>
void load_damaged(const Bytes& file, uint32_t seed, F check, G use = [](MB_Drawing&) {}) {
  for (size_t cut = 0; cut < file.size(); ++cut) {
    MB_Drawing part;
    MB_Result r;
    const bool whole_record = cut + 2 >= file.size();
    EXPECT_EQ(load(Bytes(file.begin(), file.begin() + long(cut)), part, &r), whole_record) << cut;
    if (!whole_record) {
      EXPECT_NE(r, MB_SUCCESS) << cut;
    }
    check(part);
    use(part);
  }
  uint32_t x = seed;
  for (int round = 0; round < 2; ++round) {
    for (size_t at = 0; at < file.size(); ++at) {
      Bytes m = file;
      x = x * 1103515245u + 12345u;
      m[at] = uint8_t(x >> 16);
      MB_Drawing out;
      load(m, out);
      use(out);
    }
  }
}

}  // namespace kzf_file_test
