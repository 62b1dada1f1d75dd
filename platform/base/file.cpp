// Windows-style path mapping and text-mode stdio streams. A text stream is a
// glibc cookie stream over a binary FILE*; the cookie translates line ends.
// The outer stream is unbuffered (the inner one buffers), so that ftell and
// fseek on the outer stream see byte offsets of the file itself.
#include "qm_file.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

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
  // GBK text is converted before backslashes are mapped: a GBK trail byte
  // may be 0x5C. Many GBK names are also well-formed UTF-8, so a UTF-8
  // reading that names nothing gives way to a GBK reading that does.
  if (!qm_is_utf8(given)) return exists(given) ? given : map_spelling(qm_gbk_to_utf8(given));
  std::string mapped = map_spelling(given);
  if (is_ascii(given) || exists(mapped)) return mapped;
  std::string as_gbk = map_spelling(qm_gbk_to_utf8(given));
  return exists(as_gbk) ? as_gbk : mapped;
}

namespace {

// A text-mode stream over a binary one.
enum Direction { kNone, kRead, kWrite };
struct TextCookie {
  FILE* raw;
  Direction last = kNone;
};

// The C library requires a seek between reading and writing on one stream.
void switch_direction(TextCookie* t, Direction dir) {
  if (t->last != kNone && t->last != dir) fseek(t->raw, 0, SEEK_CUR);
  t->last = dir;
}

ssize_t text_read(void* cookie, char* buf, size_t size) {
  auto* t = static_cast<TextCookie*>(cookie);
  switch_direction(t, kRead);
  size_t n = 0;
  while (n < size) {
    int c = getc_unlocked(t->raw);
    if (c == EOF) break;
    if (c == '\r') {
      int next = getc_unlocked(t->raw);
      if (next == '\n')
        c = '\n';
      else if (next != EOF)
        ungetc(next, t->raw);
    }
    buf[n++] = static_cast<char>(c);
  }
  if (n == 0 && ferror(t->raw)) return -1;
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

}  // namespace

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

bool qm_replace_file(const char* path, const void* data, size_t size) {
  if (!path || (!data && size > 0)) {
    errno = EINVAL;
    return false;
  }
  const std::string target = qm_map_path(path);
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  const std::string temp = target + ".~part";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  ok = std::fclose(f) == 0 && ok;
  if (ok && exists) chmod(temp.c_str(), st.st_mode & 07777);
  ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    const int saved = errno;
    std::remove(temp.c_str());
    errno = saved;
  }
  return ok;
}

FILE* qm_fopen(const char* path, const char* mode) {
  if (!path || !mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
    errno = EINVAL;
    return nullptr;
  }
  bool plus = strchr(mode + 1, '+') != nullptr;
  bool binary = strchr(mode + 1, 'b') != nullptr;
  char raw_mode[4] = {mode[0], 'b', 0, 0};
  if (plus) raw_mode[2] = '+';

  std::string mapped = qm_map_path(path);
  FILE* raw = fopen(mapped.c_str(), raw_mode);
  if (!raw || binary) return raw;

  char text_mode[3] = {mode[0], 0, 0};
  if (plus) text_mode[1] = '+';
  auto* cookie = new TextCookie{raw};
  cookie_io_functions_t io = {text_read, text_write, text_seek, text_close};
  FILE* f = fopencookie(cookie, text_mode, io);
  if (!f) {
    fclose(raw);
    delete cookie;
    return nullptr;
  }
  setvbuf(f, nullptr, _IONBF, 0);
  return f;
}
