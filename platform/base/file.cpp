// Windows-style path mapping and text-mode stdio streams. A text stream is a
// glibc cookie stream over a binary FILE*; the cookie translates line ends.
// A stream only read is buffered; one that is written is not. Either way
// ftell and fseek on the outer stream see byte offsets of the file itself.
#include "qm_file.h"

#include <windows.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "qm_text.h"

namespace {

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` equal to `name` without regard to ASCII case, or "".
std::string find_case_insensitive(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::string();
  std::string best;
  while (struct dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, name.c_str()) == 0 && (best.empty() || strcmp(e->d_name, best.c_str()) < 0))
      best = e->d_name;
  }
  closedir(d);
  return best;
}

// Whether a name holds a "\\U+XXXX" escape of the kernel's text.
bool has_escape(const std::string& name) {
  if (name.find("\\U+") == std::string::npos && name.find("\\u+") == std::string::npos) return false;
  return qm_gbk_text_to_utf16(name) != qm_gbk_to_utf16(name);
}

// Maps one spelling of a path: backslashes to slashes, then, unless the
// name exists as it is, each component without regard to case.

std::string map_spelling(std::string p) {
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.empty() || exists(p)) return p;

  std::string out;
  size_t pos = 0;
  if (p[0] == '/') {
    out = "/";
    pos = 1;
  }
  while (pos < p.size()) {
    size_t end = p.find('/', pos);
    if (end == std::string::npos) end = p.size();
    std::string comp = p.substr(pos, end - pos);
    if (!comp.empty() && comp != "." && comp != ".." && !exists(out + comp)) {
      std::string found = find_case_insensitive(out, comp);
      if (found.empty()) {
        out += p.substr(pos);  // nothing below a missing component exists
        return out;
      }
      comp = found;
    }
    out += comp;
    if (end < p.size()) out += '/';
    pos = end + 1;
  }
  return out;
}

bool is_ascii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string qm_map_path(const char* path) {
  if (!path) return std::string();
  const std::string given = path;
  if (exists(given)) return given;  // a name that exists byte for byte is that file
  // The kernel's text keeps a character GBK lacks as its "\\U+XXXX" escape
  // (qm_text.h): in a name, the escape is that character, unless the name
  // read with the escape's backslash as a folder's end names a file.
  if (has_escape(given)) {
    const std::string literal = map_spelling(given);
    if (exists(literal)) return literal;
    return map_spelling(qm_utf16_to_utf8(qm_gbk_text_to_utf16(given)));
  }
  // GBK text is converted before backslashes are mapped: a GBK trail byte
  // may be 0x5C. Many GBK names are also well-formed UTF-8, so a UTF-8
  // reading that names nothing gives way to a GBK reading that does.
  if (!qm_is_utf8(given)) return map_spelling(qm_gbk_to_utf8(given));
  std::string mapped = map_spelling(given);
  if (is_ascii(given) || exists(mapped)) return mapped;
  std::string as_gbk = map_spelling(qm_gbk_to_utf8(given));
  return exists(as_gbk) ? as_gbk : mapped;
}

namespace {

// A text-mode stream over a binary one. Reading goes through the cookie's
// own buffer of file bytes, so the translation works on blocks, not bytes.
enum Direction { kNone, kRead, kWrite };
constexpr size_t kTextBuffer = 16384;
struct TextCookie {
  FILE* raw;
  Direction last = kNone;
  char buf[kTextBuffer];
  size_t pos = 0, end = 0;  // file bytes read ahead and not yet handed on
};

// Gives back the bytes read ahead, leaving the binary stream where the
// reader stands.
bool drop_read_ahead(TextCookie* t) {
  const size_t ahead = t->end - t->pos;
  t->pos = t->end = 0;
  return ahead == 0 || fseeko(t->raw, -static_cast<off_t>(ahead), SEEK_CUR) == 0;
}

// The C library requires a seek between reading and writing on one stream.
void switch_direction(TextCookie* t, Direction dir) {
  if (t->last == kRead && dir != kRead)
    drop_read_ahead(t);
  else if (t->last != kNone && t->last != dir)
    fseek(t->raw, 0, SEEK_CUR);
  t->last = dir;
}

// Reads more file bytes behind those not yet handed on; false when none came.
bool fill(TextCookie* t) {
  if (t->pos > 0) {
    memmove(t->buf, t->buf + t->pos, t->end - t->pos);
    t->end -= t->pos;
    t->pos = 0;
  }
  const size_t got = fread(t->buf + t->end, 1, kTextBuffer - t->end, t->raw);
  t->end += got;
  return got > 0;
}

// Hands on one run of the file in which a CR LF, if any, comes first: the
// stream above buffers what it is given and finds its byte offset in the
// file by counting back from the cookie's, which holds only while no CR LF
// stands after the first byte of what it holds.
ssize_t text_read(void* cookie, char* out, size_t size) {
  auto* t = static_cast<TextCookie*>(cookie);
  switch_direction(t, kRead);
  if (size == 0) return 0;
  if (t->end - t->pos < 2) fill(t);
  if (t->pos == t->end) return ferror(t->raw) ? -1 : 0;
  size_t n = 0;
  if (t->buf[t->pos] == '\r' && t->end - t->pos >= 2 && t->buf[t->pos + 1] == '\n') {
    out[n++] = '\n';
    t->pos += 2;
  }
  while (n < size) {
    if (t->pos == t->end && !fill(t)) break;
    const size_t avail = std::min(t->end - t->pos, size - n);
    const char* from = t->buf + t->pos;
    const char* cr = static_cast<const char*>(memchr(from, '\r', avail));
    const size_t plain = cr ? static_cast<size_t>(cr - from) : avail;
    memcpy(out + n, from, plain);
    n += plain;
    t->pos += plain;
    if (!cr) continue;
    if (t->end - t->pos < 2) fill(t);  // what follows the CR decides
    if (t->end - t->pos >= 2 && t->buf[t->pos + 1] == '\n') break;
    out[n++] = '\r';  // a lone CR stays
    ++t->pos;
  }
  return static_cast<ssize_t>(n);
}

ssize_t text_write(void* cookie, const char* buf, size_t size) {
  auto* t = static_cast<TextCookie*>(cookie);
  switch_direction(t, kWrite);
  size_t start = 0;
  for (size_t i = 0; i < size; ++i) {
    if (buf[i] != '\n') continue;
    if (fwrite(buf + start, 1, i - start, t->raw) != i - start || fwrite("\r\n", 1, 2, t->raw) != 2) return -1;
    start = i + 1;
  }
  if (fwrite(buf + start, 1, size - start, t->raw) != size - start) return -1;
  return static_cast<ssize_t>(size);
}

int text_seek(void* cookie, off64_t* offset, int whence) {
  auto* t = static_cast<TextCookie*>(cookie);
  if (whence == SEEK_CUR) *offset -= static_cast<off64_t>(t->end - t->pos);
  t->pos = t->end = 0;
  if (fseeko(t->raw, *offset, whence) != 0) return -1;
  t->last = kNone;
  *offset = ftello(t->raw);
  return *offset < 0 ? -1 : 0;
}

int text_close(void* cookie) {
  auto* t = static_cast<TextCookie*>(cookie);
  int r = fclose(t->raw);
  delete t;
  return r;
}

// Wraps a binary stream in a text-mode one; the text stream owns it.
FILE* text_stream(FILE* raw, const char* mode) {
  auto* cookie = new TextCookie();
  cookie->raw = raw;
  cookie_io_functions_t io = {text_read, text_write, text_seek, text_close};
  FILE* f = fopencookie(cookie, mode, io);
  if (!f) {
    const int err = errno;
    fclose(raw);
    delete cookie;
    errno = err;
    return nullptr;
  }
  // A stream that is written stays unbuffered: its buffer would hold
  // newlines not yet widened, and ftell would count them short.
  if (strcmp(mode, "r") != 0) setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

// Opens the binary stream under qm_fopen without ever blocking: reading
// takes regular files only, and writing to a pipe needs a reader already.
// `regular_only` takes regular files only for every mode and never follows
// a symbolic link at the end of the name.
FILE* open_raw(const std::string& name, char what, bool plus, bool regular_only = false) {
  int flags = O_CLOEXEC | O_NONBLOCK | (plus ? O_RDWR : (what == 'r' ? O_RDONLY : O_WRONLY));
  if (regular_only) flags |= O_NOFOLLOW;
  // A file that must prove itself is truncated only once it has.
  if (what == 'w') flags |= O_CREAT | (regular_only ? 0 : O_TRUNC);
  if (what == 'a') flags |= O_CREAT | O_APPEND;
  const int fd = ::open(name.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat st;
  int err = 0;
  if (fstat(fd, &st) != 0)
    err = errno;
  else if ((what == 'r' || regular_only) && !S_ISREG(st.st_mode))
    err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  else if (regular_only && what != 'r' && st.st_nlink > 1)
    err = EMLINK;  // another name of a file that may be anyone's
  else if (regular_only && what == 'w' && ftruncate(fd, 0) != 0)
    err = errno;
  else if (fcntl(fd, F_SETFL, flags & ~O_NONBLOCK & ~O_CLOEXEC & ~O_CREAT & ~O_TRUNC) != 0)
    err = errno;
  if (err) {
    ::close(fd);
    errno = err;
    return nullptr;
  }
  char raw_mode[4] = {what, 'b', 0, 0};
  if (plus) raw_mode[2] = '+';
  FILE* f = fdopen(fd, raw_mode);
  if (!f) {
    err = errno;
    ::close(fd);
    errno = err;
  }
  return f;
}

}  // namespace

std::string qm_map_new_path(const char* path) {
  if (!path) return std::string();
  std::string name = path;
  if (exists(name)) return name;
  if (has_escape(name))
    name = qm_utf16_to_utf8(qm_gbk_text_to_utf16(name));
  else if (!qm_is_utf8(name))
    name = qm_gbk_to_utf8(name);
  for (char& c : name)
    if (c == '\\') c = '/';
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return name;
  return map_spelling(name.substr(0, slash)) + name.substr(slash);
}

std::string qm_map_user_path(const char* path) {
  if (!path) return std::string();
  std::string name = path;
  if (exists(name)) return name;
  if (!qm_is_utf8(name)) return qm_map_path(path);
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

bool qm_is_regular_file(const char* path) {
  if (!path) return false;
  struct stat st;
  return stat(qm_map_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool qm_read_file(const char* path, std::string& out, size_t max_bytes) {
  out.clear();
  FILE* f = qm_is_regular_file(path) ? qm_fopen(path, "rb") : nullptr;
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && uint64_t(size) <= max_bytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out.resize(size_t(size));
    ok = std::fread(&out[0], 1, out.size(), f) == out.size();
  }
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}

bool qm_same_file(const char* a, const char* b) {
  if (!a || !b) return false;
  struct stat sa, sb;
  return stat(qm_map_path(a).c_str(), &sa) == 0 && stat(qm_map_path(b).c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string qm_file_error(const char* path, int err) {
  // Errors an open gives for what the path names; any other error (a full
  // disk on a device, say) is its own reason.
  const bool kind_error = err == EISDIR || err == EINVAL || err == ENXIO || err == ENODEV || err == ESPIPE;
  struct stat st;
  if (err == ELOOP && path && lstat(qm_map_new_path(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    return "is a symbolic link";
  if (err == EMLINK && path && lstat(qm_map_new_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink > 1)
    return "has another name (a hard link)";
  if (kind_error && path && stat(qm_map_path(path).c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "is a directory";
    if (S_ISFIFO(st.st_mode)) return "is a pipe, not a regular file";
    if (S_ISSOCK(st.st_mode)) return "is a socket, not a regular file";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device, not a regular file";
  }
  return std::strerror(err);
}

namespace {

FILE* open_stream(const char* path, const char* mode, bool regular_only) {
  if (!path || !mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
    errno = EINVAL;
    return nullptr;
  }
  const bool plus = strchr(mode + 1, '+') != nullptr;
  const bool binary = strchr(mode + 1, 'b') != nullptr;
  const std::string mapped = mode[0] == 'r' ? qm_map_path(path) : qm_map_new_path(path);
  FILE* raw = open_raw(mapped, mode[0], plus, regular_only);
  if (!raw || binary) return raw;
  char text_mode[3] = {mode[0], 0, 0};
  if (plus) text_mode[1] = '+';
  return text_stream(raw, text_mode);
}

}  // namespace

FILE* qm_fopen(const char* path, const char* mode) { return open_stream(path, mode, false); }

FILE* qm_fopen_regular(const char* path, const char* mode) { return open_stream(path, mode, true); }

namespace {

// The permissions a new file gets: everyone's read and write, less the
// process's file-creation mask.
mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Makes a file's directory entry durable (a rename is only safe once the
// folder is on the disk too). Failure is not reported: the data is.
void sync_folder(const std::string& file) {
  const size_t slash = file.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
}

}  // namespace

namespace {

thread_local QmWriteCheck* t_write_check = nullptr;

// The file a write of `mapped` lands on: every link and "." or ".." of an
// existing path resolved, or, for a file still to be made, its folder
// resolved and the name kept as given (a dangling link stays itself: a
// rename replaces the link, never what it might point at later).
std::string resolved_target(const std::string& mapped) {
  if (char* real = realpath(mapped.c_str(), nullptr)) {
    std::string result(real);
    std::free(real);
    return result;
  }
  const size_t slash = mapped.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : mapped.substr(0, slash));
  const std::string name = slash == std::string::npos ? mapped : mapped.substr(slash + 1);
  char* real = realpath(folder.c_str(), nullptr);
  if (!real) return mapped;
  std::string result(real);
  std::free(real);
  return (result == "/" ? result : result + "/") + name;
}

// Opens a target that is not a regular file (a device, a pipe) to write in
// place, refusing one that became a regular file or a link since it was
// resolved, so that such a swap cannot make the write truncate another file.
FILE* open_in_place(const std::string& target, const char* mode) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) || fcntl(fd, F_SETFL, O_WRONLY) != 0) {
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  FILE* raw = fdopen(fd, "wb");
  if (!raw) {
    const int err = errno;
    ::close(fd);
    errno = err;
    return nullptr;
  }
  return strchr(mode + 1, 'b') ? raw : text_stream(raw, "w");
}

}  // namespace

QmWriteCheck::QmWriteCheck(Check check) : check_(std::move(check)), saved_(t_write_check) { t_write_check = this; }

QmWriteCheck::~QmWriteCheck() { t_write_check = saved_; }

QmFileWriter::~QmFileWriter() { discard(); }

bool QmFileWriter::open(const char* path, const char* mode) {
  discard();
  if (!path || !*path || !mode || mode[0] != 'w' || strchr(mode, '+')) {
    errno = EINVAL;
    return false;
  }
  const bool binary = strchr(mode + 1, 'b') != nullptr;
  target_ = resolved_target(qm_map_new_path(path));
  if (QmWriteCheck* check = t_write_check) {
    std::string why = check->check_ ? check->check_(target_) : std::string();
    if (!why.empty()) {
      check->refusal_ = std::move(why);
      errno = EPERM;
      return false;
    }
  }
  struct stat st;
  if (stat(target_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      errno = EISDIR;
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      in_place_ = true;
      stream_ = open_in_place(target_, mode);
      return stream_ != nullptr;
    }
    target_mode_ = st.st_mode & 07777;
  } else {
    target_mode_ = new_file_mode();
  }

  const size_t slash = target_.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  if (base.size() > 200) base.resize(200);  // the temporary name stays within NAME_MAX
  std::string name = folder + "." + base + ".XXXXXX";
  const int fd = mkostemp(&name[0], O_CLOEXEC);
  if (fd < 0) return false;
  temp_ = name;
  raw_ = fdopen(fd, "wb");
  if (!raw_) {
    const int err = errno;
    ::close(fd);
    discard();
    errno = err;
    return false;
  }
  stream_ = binary ? raw_ : text_stream(raw_, "w");
  if (!stream_) {
    const int err = errno;
    raw_ = nullptr;  // closed by text_stream
    discard();
    errno = err;
    return false;
  }
  return true;
}

bool QmFileWriter::commit() {
  if (!stream_) {
    errno = EBADF;
    return false;
  }
  int err = 0;
  if (fflush(stream_) != 0 || ferror(stream_)) err = errno ? errno : EIO;
  if (!in_place_) {
    if (!err && raw_ != stream_ && (fflush(raw_) != 0 || ferror(raw_))) err = errno ? errno : EIO;
    if (!err && fchmod(fileno(raw_), static_cast<mode_t>(target_mode_)) != 0) err = errno;
    if (!err && fsync(fileno(raw_)) != 0) err = errno;
  }
  if (fclose(stream_) != 0 && !err) err = errno ? errno : EIO;
  stream_ = raw_ = nullptr;
  if (!in_place_ && !err) {
    if (rename(temp_.c_str(), target_.c_str()) != 0)
      err = errno;
    else
      temp_.clear();
    if (!err) sync_folder(target_);
  }
  discard();
  errno = err;
  return err == 0;
}

void QmFileWriter::discard() {
  const int err = errno;
  if (stream_) fclose(stream_);
  stream_ = raw_ = nullptr;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
  in_place_ = false;
  errno = err;
}

DWORD GetFileAttributesA(LPCSTR path) {
  if (!path || !*path) return INVALID_FILE_ATTRIBUTES;
  const std::string mapped = qm_map_path(path);
  struct stat st;
  if (stat(mapped.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
  if (access(mapped.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}
