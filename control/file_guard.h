// The control's file safety in one place: which files no write of the
// control (or of its container) may replace, and how a failed open, save,
// export or print is told. The user sees a message box naming the file and
// the reason; a container reads the same failures back (quill_file_failures)
// to report them itself.
#pragma once

#include <qm_file.h>

#include <functional>
#include <string>
#include <vector>

// What a container may put under protection besides what the view has open.
enum class Quill_Guarded { kDrawing, kScript };

// Protects a file the container works from (the drawing it was given, the
// script it runs) for the rest of the process.
void quill_guard_file(const std::string& path, Quill_Guarded kind);

// What a write puts in its file: the drawing in a native format (a save),
// or anything else (a picture, a plot, a markup, a page).
enum class Quill_Write { kOther, kNativeDrawing };

// Why `target` must not be written, naming the file it is (the view's open
// drawing, the base drawing of its open markup, a guarded file), however
// spelled: "./", links and hard links included. Empty when it may be. One
// write onto the open drawing is allowed, as in every editor: its save in a
// native format over the native file it was opened from, by a name that
// resolves to that same path (a hard link of another name stays refused,
// since the new file renamed over it would leave the drawing's own file as
// it was).
std::string quill_write_refusal(const std::string& target, Quill_Write what = Quill_Write::kOther);

// While one lives, every file written on the thread is checked at the
// moment its writer resolves it (qm_file.h), by quill_write_refusal: a link
// made after an earlier check by name cannot lead a write onto a protected
// file. `what` is what the writes put in their files, as for
// quill_write_refusal.
class Quill_Write_Check : public QmWriteCheck {
 public:
  explicit Quill_Write_Check(Quill_Write what = Quill_Write::kOther);
};

// What the user was told went wrong with a file.
struct Quill_File_Failure {
  std::string path;    // as the control was given it
  std::string reason;  // in words
};

enum class Quill_File_Action { kOpen, kWrite };

// Shows the failure in a message box (the action, the file and the reason)
// and keeps it for the container.
void quill_report_file_failure(Quill_File_Action action, const std::string& path, const std::string& reason);
// Keeps a failure the user was already told of in the control's own words.
void quill_note_file_failure(const std::string& path, const std::string& reason);
const std::vector<Quill_File_Failure>& quill_file_failures();
void quill_clear_file_failures();

// Writes `target` through `write` unless it is refused, by name first, then
// under a Quill_Write_Check; a refusal or a failed write is reported. `write` answers false on failure and may give
// its reason; else the reason is the system's (errno) when there is one.
// True when the file was written.
bool quill_write_file(const std::string& target, const std::function<bool(std::string& why)>& write,
                      Quill_Write what = Quill_Write::kOther);
