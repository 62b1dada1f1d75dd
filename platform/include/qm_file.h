// The file layer between the product's Windows-style names and Linux.
//
// Path mapping: "\" becomes "/", and when the mapped name does not exist as
// given, each component is looked up in its folder without regard to ASCII
// case (the exact name wins; among several case-variants the byte-wise
// smallest is taken, so the choice does not depend on the folder's order).
// From the first component that exists in no case on, the rest of the path
// is kept as given, so a file about to be created lands in the resolved
// folder under the name the caller chose. Ordinary Linux paths, relative or
// absolute, map to themselves.
// Linux file names are UTF-8: a path that is not well-formed UTF-8 is GBK
// and converted first (unless a file has exactly those bytes as its name),
// and a non-ASCII UTF-8 path that names nothing gives way to its GBK reading
// when that names a file (many GBK names are well-formed UTF-8 too). A
// "\\U+XXXX" escape in a GBK name (qm_text.h) is the character it stands for.
//
// Names of files being written keep their last component exactly as given
// (only the folders above it are resolved), so a write never lands on a file
// whose name differs from the one asked for; a name that exists byte for
// byte is used as it is.
//
// qm_fopen opens like the original C runtime: a mode without 'b' opens in
// text mode, where "\n" is written as CR LF and CR LF is read as "\n" (a lone
// CR stays); with 'b' the file is binary. Mode letters: r, w or a first, then
// any of '+', 'b', 't' (other characters, such as blanks, are ignored). The
// text stream is a real FILE* (fopencookie), so every stdio call works on it;
// ftell and fseek use byte offsets in the file, as the original runtime does.
// Reading ("r", "r+") opens regular files only: a pipe, a device or a
// folder fails at once (errno EISDIR for a folder, EINVAL otherwise), so no
// reader ever blocks on one or reads without end. Writing ("w", "a") never
// blocks either: a pipe without a reader fails with ENXIO.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

std::string qm_map_path(const char* path);
std::string qm_map_new_path(const char* path);
// A name a user gave (on the command line, say) is a Linux name: one that
// exists byte for byte is that file, and a well-formed UTF-8 name is used as
// given, with only "\" read as "/" (never resolved without regard to case,
// never read as GBK). Only a name that is not well-formed UTF-8 maps as a
// kernel-side name does. The result maps to itself through the functions
// above when it exists.
std::string qm_map_user_path(const char* path);
FILE* qm_fopen(const char* path, const char* mode);
// As qm_fopen, for every mode only a regular file reached without a
// symbolic link as its last component: a link fails with ELOOP, a folder
// with EISDIR, a pipe or a device with EINVAL (ENXIO for a pipe nobody
// reads). To write, the file must also have no other name: one with more
// than one hard link fails with EMLINK, untouched. For files that others could plant in a shared folder, a log say.
FILE* qm_fopen_regular(const char* path, const char* mode);
// True when the (mapped) path names a regular file.
bool qm_is_regular_file(const char* path);
// Reads the whole of a regular file (binary) into `out`; false for a
// missing file, anything but a regular file, a read error or a file larger
// than max_bytes (`out` is then empty).
bool qm_read_file(const char* path, std::string& out, size_t max_bytes);
// True when both (mapped) paths name one existing file (the same inode),
// whatever their spelling, links included.
bool qm_same_file(const char* a, const char* b);
// Why an open of `path` (or a write to it) failed with `err`, in words for
// a message: what the path names when that is the reason ("is a directory",
// "is a pipe, not a regular file"), else the system's text for the error
// ("No such file or directory", "No space left on device").
std::string qm_file_error(const char* path, int err);

// A check on the files written on the calling thread while it lives: every
// QmFileWriter opened then resolves its target once (folders and links), asks
// the check about exactly that file, and replaces exactly that file, so no
// link made between the check and the write can redirect it. The check
// answers why the file must not be written, or "" when it may; a refused
// open fails with EPERM. Checks nest: the innermost holds.
class QmWriteCheck {
 public:
  using Check = std::function<std::string(const std::string& resolved)>;
  explicit QmWriteCheck(Check check);
  ~QmWriteCheck();
  QmWriteCheck(const QmWriteCheck&) = delete;
  QmWriteCheck& operator=(const QmWriteCheck&) = delete;

  // Why the last writer refused under this check was refused ("" when none was).
  const std::string& refusal() const { return refusal_; }

 private:
  friend class QmFileWriter;
  Check check_;
  std::string refusal_;
  QmWriteCheck* saved_;  // the check that held when this one began
};

// Writes a file as a whole or not at all. The data goes to a temporary file
// created beside the target (exclusively, under a unique name, never through
// a symbolic link); commit() flushes it to the disk and renames it over the
// target, keeping an existing target's permissions. The target is resolved
// once, when the writer opens, and the new file replaces what was resolved. Until then, and after a
// failure, the target is as it was; a writer destroyed without commit()
// removes its temporary file and nothing else. The target is the new-file
// name of the path (see above); a symbolic link there is followed, so the
// link keeps pointing at the new file. A target that exists but cannot be
// replaced (a device, a pipe) is written in place.
class QmFileWriter {
 public:
  QmFileWriter() = default;
  ~QmFileWriter();
  QmFileWriter(const QmFileWriter&) = delete;
  QmFileWriter& operator=(const QmFileWriter&) = delete;

  // Starts writing `path`; mode "w" (text, see qm_fopen) or "wb". False with
  // errno set when the temporary file cannot be made or the target is a
  // folder.
  bool open(const char* path, const char* mode);
  FILE* stream() const { return stream_; }
  // The file that commit() replaces.
  const std::string& target() const { return target_; }
  // Completes the file. False with errno set when a write, the flush or the
  // rename failed; the temporary file is then gone and the target untouched.
  bool commit();
  // Abandons the new file: the temporary file is removed.
  void discard();

 private:
  FILE* stream_ = nullptr;
  FILE* raw_ = nullptr;  // the binary stream under a text-mode stream_
  std::string target_, temp_;
  bool in_place_ = false;
  int target_mode_ = -1;  // permissions to give the new file
};
