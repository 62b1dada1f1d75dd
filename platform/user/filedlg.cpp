// The common open and save dialogs. Each dialog is logged with what the
// caller asked, and answered from the queue of scripted answers (a path, or
// a cancel); when none is queued it is cancelled headless, and on a display
// it is a window the user answers (dialog_window.cpp).
#include "platform/user/user_internal.h"

#include <commdlg.h>
#include <qm_display.h>
#include <qm_user.h>

#include <cstring>

namespace qmuser {

namespace {

struct FileDialogs {
  std::vector<QmFileDialog> log;
  std::deque<std::pair<bool, std::string>> answers;  // (chosen, path)
};

FileDialogs& dialogs() {
  static FileDialogs d;
  return d;
}

std::string text_or_empty(LPCSTR s) { return s ? s : ""; }

// A filter list: pairs of texts, ended by an empty text.
std::string filter_list(LPCSTR filter) {
  if (!filter || !filter[0]) return "";
  const char* end = filter;
  while (end[0] || end[1]) ++end;
  return std::string(filter, static_cast<size_t>(end - filter));
}

// Where the name and its extension start in a path.
void locate_name(const std::string& path, WORD& name, WORD& extension) {
  const size_t slash = path.find_last_of("/\\");
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  name = static_cast<WORD>(start);
  extension = static_cast<WORD>(dot != std::string::npos && dot >= start ? dot + 1 : 0);
}

BOOL run(LPOPENFILENAMEA ofn, bool save) {
  if (!ofn) return FALSE;
  if (ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A && ofn->lStructSize != sizeof(OPENFILENAMEA)) return FALSE;
  if (ofn->hwndOwner && !IsWindow(ofn->hwndOwner)) return FALSE;
  QmFileDialog d{};
  d.save = save;
  d.struct_size = ofn->lStructSize;
  d.owner = ofn->hwndOwner;
  d.filter = filter_list(ofn->lpstrFilter);
  d.custom_filter = ofn->lpstrCustomFilter != nullptr;
  d.filter_index = ofn->nFilterIndex;
  if (ofn->lpstrFile && ofn->nMaxFile > 0) {
    d.initial_file.assign(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  }
  d.max_file = ofn->nMaxFile;
  d.file_title = ofn->lpstrFileTitle != nullptr;
  d.initial_dir = text_or_empty(ofn->lpstrInitialDir);
  d.title = text_or_empty(ofn->lpstrTitle);
  d.flags = ofn->Flags;
  d.default_ext = text_or_empty(ofn->lpstrDefExt);
  d.hook = ofn->lpfnHook != nullptr;
  d.template_name = ofn->lpTemplateName != nullptr;

  FileDialogs& all = dialogs();
  bool chosen = false;
  DWORD type = d.filter_index;
  if (!all.answers.empty()) {
    chosen = all.answers.front().first;
    d.path = all.answers.front().second;
    all.answers.pop_front();
  } else if (qm_user_display()) {
    // The log keeps the type the program asked for; the caller learns the
    // one the user chose.
    QmFileDialog shown = d;
    chosen = run_file_window(shown, d.path);
    type = shown.filter_index;
  }
  // The path and its NUL must fit the caller's buffer.
  if (chosen && ofn->lpstrFile && d.path.size() < ofn->nMaxFile) {
    std::memcpy(ofn->lpstrFile, d.path.c_str(), d.path.size() + 1);
    locate_name(d.path, ofn->nFileOffset, ofn->nFileExtension);
    ofn->nFilterIndex = type;
  } else {
    chosen = false;
  }
  d.chosen = chosen;
  all.log.push_back(d);
  return chosen ? TRUE : FALSE;
}

}  // namespace

void clear_file_dialogs() {
  dialogs().log.clear();
  dialogs().answers.clear();
}

}  // namespace qmuser

using namespace qmuser;

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return run(ofn, false); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return run(ofn, true); }

void qm_user_push_file_dialog_answer(const char* path) {
  dialogs().answers.emplace_back(path != nullptr, path ? path : "");
}

const std::vector<QmFileDialog>& qm_user_file_dialogs() { return dialogs().log; }

void qm_user_clear_file_dialogs() { clear_file_dialogs(); }
