// The folder browser: a hidden window stands for the browser so that the
// caller's callback can talk to it as it would to the real one (selection,
// caption, status text, OK button); the answer comes from the queue of
// scripted folders.
#include <qm_user.h>
#include <shlobj.h>

#include <cstring>
#include <deque>
#include <string>

#include "platform/user/user_internal.h"

struct QmItemIdList {
  std::string path;
};

namespace qmuser {
namespace {

const char kBrowserClass[] = "QmFolderBrowser";

struct Browsers {
  std::vector<QmFolderDialog> log;
  std::deque<std::pair<bool, std::string>> answers;  // (chosen, path)
  QmFolderDialog* current = nullptr;                 // of the browse running
  bool ok_enabled = true;
};

Browsers& browsers() {
  static Browsers b;
  return b;
}

LRESULT CALLBACK browser_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Browsers& all = browsers();
  if (all.current) {
    const char* text = reinterpret_cast<const char*>(l);
    switch (msg) {
      case BFFM_SETSELECTIONA:
        // Only paths are known here; an item list selection is not kept.
        if (w && text) all.current->selection = text;
        return 0;
      case BFFM_SETSTATUSTEXTA: all.current->status = text ? text : ""; return 0;
      case BFFM_ENABLEOK: all.ok_enabled = l != 0; return 0;
      default: break;
    }
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void clear_folder_dialogs() {
  browsers().log.clear();
  browsers().answers.clear();
}

}  // namespace qmuser

using namespace qmuser;

LPITEMIDLIST SHBrowseForFolderA(LPBROWSEINFOA bi) {
  if (!bi || (bi->hwndOwner && !IsWindow(bi->hwndOwner))) return nullptr;
  Browsers& all = browsers();
  if (all.current) return nullptr;  // one browser at a time, as it is modal
  WNDCLASSA wc = {};
  wc.lpfnWndProc = browser_proc;
  wc.lpszClassName = kBrowserClass;
  RegisterClassA(&wc);
  QmFolderDialog d{};
  d.owner = bi->hwndOwner;
  d.root = bi->pidlRoot ? bi->pidlRoot->path : "";
  d.title = bi->lpszTitle ? bi->lpszTitle : "";
  d.flags = bi->ulFlags;
  HWND browser = CreateWindowExA(0, kBrowserClass, "", WS_POPUP, 0, 0, 0, 0, bi->hwndOwner, nullptr, nullptr, nullptr);
  all.current = &d;
  all.ok_enabled = true;
  if (bi->lpfn) bi->lpfn(browser, BFFM_INITIALIZED, 0, bi->lParam);
  d.initial_selection = d.selection;
  bool chosen = false;
  if (!all.answers.empty()) {
    chosen = all.answers.front().first;
    d.path = all.answers.front().second;
    all.answers.pop_front();
  }
  LPITEMIDLIST result = nullptr;
  if (chosen) {
    QmItemIdList selected{d.path};
    if (bi->lpfn) bi->lpfn(browser, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&selected), bi->lParam);
    chosen = all.ok_enabled;
  }
  if (chosen) {
    result = new QmItemIdList{d.path};
    if (bi->pszDisplayName) {
      const size_t slash = d.path.find_last_of("/\\", d.path.size() > 1 ? d.path.size() - 2 : 0);
      std::string name = slash == std::string::npos ? d.path : d.path.substr(slash + 1);
      name = name.substr(0, MAX_PATH - 1);
      std::memcpy(bi->pszDisplayName, name.c_str(), name.size() + 1);
    }
    bi->iImage = 0;
  }
  char caption[MAX_PATH] = "";
  GetWindowTextA(browser, caption, sizeof caption);
  d.caption = caption;
  d.chosen = chosen;
  DestroyWindow(browser);
  all.current = nullptr;
  all.log.push_back(d);
  return result;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST item, LPSTR path) {
  if (!item || !path || item->path.size() >= MAX_PATH) return FALSE;
  std::memcpy(path, item->path.c_str(), item->path.size() + 1);
  return TRUE;
}

LPITEMIDLIST ILCreateFromPathA(LPCSTR path) {
  if (!path || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return nullptr;
  return new QmItemIdList{path};
}

void ILFree(LPITEMIDLIST item) { delete item; }

void qm_user_push_folder_answer(const char* path) {
  browsers().answers.emplace_back(path != nullptr, path ? path : "");
}

const std::vector<QmFolderDialog>& qm_user_folder_dialogs() { return browsers().log; }
