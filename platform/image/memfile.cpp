// The memory stream: an owned buffer grows geometrically; a caller's buffer
// is a fixed window.
#include "xmemfile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

CxMemFile::CxMemFile(BYTE* buffer, DWORD size) {
  if (buffer) {
    buffer_ = buffer;
    size_ = capacity_ = size;
    open_ = true;
  }
}

CxMemFile::~CxMemFile() { Close(); }

bool CxMemFile::Open() {
  if (open_) return false;
  buffer_ = nullptr;
  size_ = capacity_ = position_ = 0;
  owned_ = true;
  open_ = true;
  return true;
}

bool CxMemFile::Close() {
  if (owned_) free(buffer_);
  buffer_ = nullptr;
  size_ = capacity_ = position_ = 0;
  owned_ = false;
  bool was_open = open_;
  open_ = false;
  return was_open;
}

bool CxMemFile::Reserve(size_t needed) {
  if (needed <= capacity_) return true;
  if (!owned_ || needed > static_cast<size_t>(std::numeric_limits<long>::max())) return false;
  size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
  while (capacity < needed) capacity = capacity > (std::numeric_limits<size_t>::max() >> 1) ? needed : capacity * 2;
  BYTE* grown = static_cast<BYTE*>(realloc(buffer_, capacity));
  if (!grown) return false;
  buffer_ = grown;
  capacity_ = capacity;
  return true;
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count) {
  if (!open_ || !buffer || size == 0 || position_ >= size_) return 0;
  size_t available = (size_ - position_) / size;
  if (count > available) count = available;
  memcpy(buffer, buffer_ + position_, count * size);
  position_ += count * size;
  return count;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count) {
  if (!open_ || !buffer || size == 0 || count > std::numeric_limits<size_t>::max() / size) return 0;
  size_t bytes = size * count;
  if (bytes == 0 || bytes > std::numeric_limits<size_t>::max() - position_) return 0;
  size_t end = position_ + bytes;
  if (!Reserve(end)) {
    if (owned_) return 0;
    count = (capacity_ - std::min(position_, capacity_)) / size;  // a caller's buffer takes what fits
    if (count == 0) return 0;
    bytes = count * size;
    end = position_ + bytes;
  }
  if (position_ > size_) memset(buffer_ + size_, 0, position_ - size_);
  memcpy(buffer_ + position_, buffer, bytes);
  position_ = end;
  if (end > size_) size_ = end;
  return count;
}

bool CxMemFile::Seek(long offset, int origin) {
  if (!open_) return false;
  long base;
  switch (origin) {
    case SEEK_SET:
      base = 0;
      break;
    case SEEK_CUR:
      base = static_cast<long>(position_);
      break;
    case SEEK_END:
      base = static_cast<long>(size_);
      break;
    default:
      return false;
  }
  if ((offset < 0 && base < -offset) || (offset > 0 && base > std::numeric_limits<long>::max() - offset)) return false;
  position_ = static_cast<size_t>(base + offset);
  return true;
}

long CxMemFile::Tell() const { return static_cast<long>(position_); }
long CxMemFile::Size() const { return static_cast<long>(size_); }
bool CxMemFile::Eof() const { return position_ >= size_; }

long CxMemFile::GetC() {
  BYTE c;
  return Read(&c, 1, 1) == 1 ? static_cast<long>(c) : -1;
}

bool CxMemFile::PutC(BYTE c) { return Write(&c, 1, 1) == 1; }

BYTE* CxMemFile::GetBuffer(bool detach) {
  BYTE* data = buffer_;
  if (detach && owned_) {
    buffer_ = nullptr;
    size_ = capacity_ = position_ = 0;
  }
  return data;
}
