// The profile store: an INI-style file of sections and entries (see
// qm_profile.h).
#include "qm_profile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "qm_file.h"

namespace {

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string escape(const std::string& v) {
  std::string out;
  for (unsigned char c : v) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

bool unescape(const std::string& in, std::string* out) {
  out->clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      *out += in[i];
      continue;
    }
    if (++i >= in.size()) return false;
    switch (in[i]) {
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case 't': *out += '\t'; break;
      case 'x': {
        if (i + 2 >= in.size()) return false;
        const int h = qm_hex_digit(in[i + 1]), l = qm_hex_digit(in[i + 2]);
        if (h < 0 || l < 0) return false;
        *out += static_cast<char>(h * 16 + l);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

}  // namespace

int qm_hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string qm_config_folder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/quillmark";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.config/quillmark";
}

QmProfileStore::QmProfileStore(std::string path) : path_(std::move(path)) {
  if (path_.empty()) return;
  // Only a regular file of a sensible size is read: a pipe would block, a
  // device never end, and a huge file cost memory and time for nothing.
  struct stat st;
  if (stat(path_.c_str(), &st) != 0) {
    intact_ = errno == ENOENT;
    if (!intact_) problem_ = std::strerror(errno);
    return;
  }
  intact_ = false;
  if (!S_ISREG(st.st_mode)) {
    problem_ = qm_file_error(path_.c_str(), S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    return;
  }
  if (uint64_t(st.st_size) > kMaxFileBytes) {
    problem_ = "is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
    return;
  }
  std::string text;
  errno = 0;
  if (!qm_read_file(path_.c_str(), text, kMaxFileBytes)) {
    problem_ = qm_file_error(path_.c_str(), errno ? errno : EIO);
    return;
  }
  intact_ = Load(text);
  if (!intact_) problem_ = "has lines that cannot be read";
}

bool QmProfileStore::Get(const std::string& section, const std::string& entry, std::string* value) const {
  auto s = values_.find(lower(section));
  if (s == values_.end()) return false;
  auto e = s->second.entries.find(lower(entry));
  if (e == s->second.entries.end()) return false;
  *value = e->second.value;
  return true;
}

void QmProfileStore::Set(const std::string& section, const std::string& entry, const std::string& value) {
  const std::string s_key = lower(section), e_key = lower(entry);
  Section& s = values_[s_key];
  if (s.name.empty()) s.name = section;
  const bool known = s.entries.count(e_key) > 0;
  Entry& e = s.entries[e_key];
  if (known && e.value == value) return;  // its line stays as written
  if (e.name.empty()) e.name = entry;
  e.value = value;
  const std::string text = escape(e.name) + "=" + escape(value);
  // The entry's line is rewritten where it stands (the last one, which is
  // the one read), keeping its line end; a new entry goes after the last
  // line of its section, a new section at the end of the file.
  size_t last_of_section = lines_.size();
  for (size_t i = lines_.size(); i-- > 0;) {
    Line& l = lines_[i];
    if (l.section != s_key || l.kind == Line::kOther) continue;
    if (l.kind == Line::kEntry && l.key == e_key) {
      const bool crlf = l.text.size() >= 2 && l.text.compare(l.text.size() - 2, 2, "\r\n") == 0;
      l.text = text + (crlf ? "\r\n" : "\n");
      return;
    }
    if (last_of_section == lines_.size()) last_of_section = i;
  }
  if (!lines_.empty() && !lines_.back().text.empty() && lines_.back().text.back() != '\n') lines_.back().text += "\n";
  if (last_of_section == lines_.size()) {
    lines_.push_back({"[" + escape(s.name) + "]\n", s_key, Line::kHeader, std::string()});
    last_of_section = lines_.size() - 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last_of_section + 1),
                Line{text + "\n", s_key, Line::kEntry, e_key});
}

void QmProfileStore::RemoveSection(const std::string& section) {
  const std::string key = lower(section);
  values_.erase(key);
  // Its header and entries go; comments and lines not understood stay.
  std::vector<Line> kept;
  for (Line& l : lines_)
    if (l.section != key || l.kind == Line::kOther) kept.push_back(std::move(l));
  lines_ = std::move(kept);
}

std::vector<std::string> QmProfileStore::Entries(const std::string& section) const {
  std::vector<std::string> r;
  auto s = values_.find(lower(section));
  if (s != values_.end())
    for (auto& e : s->second.entries) r.push_back(e.first);
  return r;
}

std::vector<std::string> QmProfileStore::Sections() const {
  std::vector<std::string> r;
  for (auto& s : values_) r.push_back(s.first);
  return r;
}

std::string QmProfileStore::Text() const {
  std::string out;
  for (const Line& l : lines_) out += l.text;
  return out;
}

bool QmProfileStore::Load(const std::string& text) {
  values_.clear();
  lines_.clear();
  bool intact = true;
  std::string section;  // lower-cased
  bool in_section = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    end = end == std::string::npos ? text.size() : end + 1;
    Line raw{text.substr(pos, end - pos), section, Line::kOther, std::string()};
    pos = end;
    std::string line = raw.text;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') {
      lines_.push_back(std::move(raw));
      continue;
    }
    if (line[0] == '[') {
      std::string name;
      in_section = line.back() == ']' && unescape(line.substr(1, line.size() - 2), &name);
      intact = intact && in_section;
      if (in_section) {
        section = lower(name);
        Section& s = values_[section];
        if (s.name.empty()) s.name = name;
        raw.section = section;
        raw.kind = Line::kHeader;
      } else {
        section = std::string();
      }
      lines_.push_back(std::move(raw));
      continue;
    }
    const size_t eq = line.find('=');
    std::string key, value;
    // A damaged line is kept as it is; the rest of the file still counts.
    if (!in_section || eq == std::string::npos || !unescape(line.substr(0, eq), &key) ||
        !unescape(line.substr(eq + 1), &value)) {
      intact = false;
      lines_.push_back(std::move(raw));
      continue;
    }
    Entry& e = values_[section].entries[lower(key)];
    if (e.name.empty()) e.name = key;
    e.value = value;
    raw.kind = Line::kEntry;
    raw.key = lower(key);
    lines_.push_back(std::move(raw));
  }
  return intact;
}

bool QmProfileStore::Empty() const {
  for (const Line& l : lines_)
    if (l.text.find_first_not_of(" \t\r\n") != std::string::npos) return false;
  return true;
}

bool QmProfileStore::Save(std::string* error) const {
  if (path_.empty()) return true;
  const std::string dir = path_.substr(0, path_.find_last_of('/'));
  if (!dir.empty() && dir != path_) {
    // Each missing folder of the path, parents first.
    for (size_t i = 1; i <= dir.size(); ++i)
      if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0755);
  }
  // Written whole beside the file and renamed over it; a symbolic link is
  // followed, so a link to the file stays a link and its target changes.
  QmFileWriter writer;
  const std::string text = Text();
  bool ok = writer.open(path_.c_str(), "wb");
  ok = ok && std::fwrite(text.data(), 1, text.size(), writer.stream()) == text.size();
  ok = ok && writer.commit();
  if (!ok && error) *error = path_ + ": " + qm_file_error(path_.c_str(), errno ? errno : EIO);
  return ok;
}
