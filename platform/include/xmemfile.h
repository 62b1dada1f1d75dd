// CxMemFile: a growable byte stream in memory, the stream images are encoded
// into and decoded from. It either owns its buffer (grown with realloc, so a
// detached buffer is released with free) or reads and writes a caller's fixed
// buffer, which it never grows or frees. Reads past the end return fewer
// bytes; a seek before the start fails; a write past the end of an owned
// buffer fills the gap with zeros.
#pragma once

#include <windows.h>

#include <cstddef>

class CxMemFile {
 public:
  // With a buffer: a stream over those `size` bytes, owned by the caller.
  explicit CxMemFile(BYTE* buffer = nullptr, DWORD size = 0);
  ~CxMemFile();
  CxMemFile(const CxMemFile&) = delete;
  CxMemFile& operator=(const CxMemFile&) = delete;

  // Makes an empty owned stream; false when a stream is already open.
  bool Open();
  bool Close();

  size_t Read(void* buffer, size_t size, size_t count);
  size_t Write(const void* buffer, size_t size, size_t count);
  bool Seek(long offset, int origin);
  long Tell() const;
  long Size() const;
  bool Eof() const;
  long GetC();
  bool PutC(BYTE c);

  // The data; with `detach` the caller takes it over (release with free) and
  // the stream becomes empty.
  BYTE* GetBuffer(bool detach = true);

 private:
  bool Reserve(size_t needed);

  BYTE* buffer_ = nullptr;
  size_t size_ = 0;      // bytes of data
  size_t capacity_ = 0;  // bytes allocated (owned) or available (caller's)
  size_t position_ = 0;
  bool owned_ = false;
  bool open_ = false;
};
