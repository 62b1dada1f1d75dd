// Values by section and entry, held in memory and read from and written to
// an INI-style file in UTF-8 when one is named:
//   [Section]
//   Entry=value
// Sections and entries are matched without regard to ASCII case and written
// as they were first spelled; values are escaped (\\, \n, \r, \t, \xHH) so
// that any bytes survive. The file's own lines are kept byte for byte, in
// their order, comments and lines not understood included: a change
// rewrites only the entry's line, a new entry goes at the end of its
// section, a new section at the end of the file. The class
// library's application profile and the COM stand-in's registry are such
// files.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

class QmProfileStore {
 public:
  // Largest file read; a larger one is refused whole.
  static constexpr size_t kMaxFileBytes = size_t(1) << 20;

  // In memory only (tests), or backed by that file. Only a regular file of
  // at most kMaxFileBytes is read: anything else (a pipe, a device, a
  // folder, a larger file) or a file that cannot be read reads as empty,
  // and a damaged line is skipped; intact() tells and problem() says why.
  explicit QmProfileStore(std::string path = "");
  const std::string& path() const { return path_; }
  // False when the file exists but could not be read, or a line of it did
  // not parse: saving would then lose what the store could not read.
  bool intact() const { return intact_; }
  // Why the file was not read whole ("" when it was, or does not exist).
  const std::string& problem() const { return problem_; }
  bool Get(const std::string& section, const std::string& entry, std::string* value) const;
  void Set(const std::string& section, const std::string& entry, const std::string& value);
  // Removes the section's header and entries; comments stay.
  void RemoveSection(const std::string& section);
  // True when the file would hold nothing but blank lines.
  bool Empty() const;
  // The entries of a section, and the sections, lower-cased and sorted.
  std::vector<std::string> Entries(const std::string& section) const;
  std::vector<std::string> Sections() const;
  // Writes the file (beside it, then renamed over it; through a symbolic
  // link to its target), making its missing folders; false with the reason
  // when it cannot.
  bool Save(std::string* error = nullptr) const;
  // The text of the file format, and the store read back from it (false
  // when a line did not parse).
  std::string Text() const;
  bool Load(const std::string& text);

 private:
  std::string path_;
  bool intact_ = true;
  std::string problem_;
  struct Entry {
    std::string name;  // as first spelled
    std::string value;
  };
  struct Section {
    std::string name;  // as first spelled
    std::map<std::string, Entry> entries;  // by lower-cased name
  };
  std::map<std::string, Section> values_;  // by lower-cased name
  struct Line {
    std::string text;     // as read or made, with its line end
    std::string section;  // lower-cased name of the section it is in
    enum Kind { kOther, kHeader, kEntry } kind;
    std::string key;  // lower-cased entry name of an entry line
  };
  std::vector<Line> lines_;  // the file's text, line by line
};

// The user's configuration folder of the toolkit: $XDG_CONFIG_HOME/quillmark
// when that is an absolute path, else ~/.config/quillmark.
std::string qm_config_folder();

// The value of a hexadecimal digit, or -1.
int qm_hex_digit(char c);
