// Where the control may write, and how its file failures are told.
#include "control/file_guard.h"

#include <qm_file.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "control/control_texts.h"
#include "control/quill_view.h"
#include "database/mb_names.h"

namespace {

struct Guarded_File {
  std::string path;
  Quill_Guarded kind;
};

std::vector<Guarded_File>& guarded() {
  static std::vector<Guarded_File> files;
  return files;
}

std::vector<Quill_File_Failure>& failures() {
  static std::vector<Quill_File_Failure> list;
  return list;
}

bool same_file(const std::string& a, const std::string& b) {
  return !a.empty() && !b.empty() && qm_same_file(a.c_str(), b.c_str());
}

// The path a name resolves to, links followed; "" when it names nothing.
std::string resolved(const std::string& path) {
  char* real = realpath(qm_map_path(path.c_str()).c_str(), nullptr);
  if (!real) return "";
  std::string out = real;
  std::free(real);
  return out;
}

bool native_name(const std::string& path) {
  return is_file_ext(path.c_str(), "qlf") || is_file_ext(path.c_str(), "kzf");
}

// True when the write is the open drawing's save over its own native file.
bool saves_in_place(const std::string& target, const std::string& opened, Quill_Write what) {
  if (what != Quill_Write::kNativeDrawing || !native_name(target) || !native_name(opened)) return false;
  const std::string file = resolved(opened);
  return !file.empty() && resolved(target) == file;
}

}  // namespace

void quill_guard_file(const std::string& path, Quill_Guarded kind) {
  if (!path.empty()) guarded().push_back({path, kind});
}

std::string quill_write_refusal(const std::string& target, Quill_Write what) {
  // The open drawing's own file: its base document is itself, and a
  // container may guard it as the drawing it was given.
  std::string own;
  if (CQuillView* v = CQuillView::current()) {
    const std::string opened = static_cast<const char*>(v->opened_path());
    const std::string base = static_cast<const char*>(v->base_document());
    if (saves_in_place(target, opened, what)) own = opened;
    if (own.empty() && same_file(target, opened)) return std::string(quill::kReasonOpenDrawing) + opened;
    if (!same_file(base, own) && same_file(target, base)) return std::string(quill::kReasonMarkupBase) + base;
  }
  for (const Guarded_File& g : guarded()) {
    if (!same_file(target, g.path)) continue;
    if (g.kind == Quill_Guarded::kDrawing && same_file(g.path, own)) continue;
    return std::string(g.kind == Quill_Guarded::kScript ? quill::kReasonRunningScript : quill::kReasonOpenDrawing) +
           g.path;
  }
  return "";
}

Quill_Write_Check::Quill_Write_Check(Quill_Write what)
    : QmWriteCheck([what](const std::string& resolved) { return quill_write_refusal(resolved, what); }) {}

void quill_note_file_failure(const std::string& path, const std::string& reason) {
  failures().push_back({path, reason});
}

void quill_report_file_failure(Quill_File_Action action, const std::string& path, const std::string& reason) {
  quill_note_file_failure(path, reason);
  const char* lead = action == Quill_File_Action::kOpen ? quill::kTextOpenFailed : quill::kTextWriteFailed;
  const std::string text = std::string(lead) + "\r\n" + path + "\r\n" + reason;
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONERROR);
}

const std::vector<Quill_File_Failure>& quill_file_failures() { return failures(); }

void quill_clear_file_failures() { failures().clear(); }

bool quill_write_file(const std::string& target, const std::function<bool(std::string& why)>& write, Quill_Write what) {
  std::string why = quill_write_refusal(target, what);
  if (!why.empty()) {
    quill_report_file_failure(Quill_File_Action::kWrite, target, why);
    return false;
  }
  // A folder takes no file, whatever the writer of the extension would say.
  const DWORD attributes = ::GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    quill_report_file_failure(Quill_File_Action::kWrite, target, qm_file_error(target.c_str(), EISDIR));
    return false;
  }
  Quill_Write_Check check(what);
  errno = 0;
  if (write(why)) return true;
  const int err = errno;
  if (why.empty() && !check.refusal().empty()) why = check.refusal();
  if (why.empty()) why = err ? qm_file_error(target.c_str(), err) : quill::kReasonNotWritten;
  quill_report_file_failure(Quill_File_Action::kWrite, target, why);
  return false;
}
