// A whole file's bytes, read or written in one call (an unreadable file reads
// as empty).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void write_all(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
