// The folder browser: a window stands for the browser so that the caller's
// callback can talk to it as it would to the real one (selection, caption,
// status text, OK button). The answer comes from the queue of scripted
// folders; with none queued it is cancelled headless, and on a display the
// window shows for the user: the folders of the selection to walk with the
// mouse and keys, the path of the selection to read or type.
#include <commctrl.h>
#include <qm_display.h>
#include <qm_user.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/user/user_internal.h"

struct QmItemIdList {
  std::string path;
};

namespace qmuser {
namespace {

namespace fs = std::filesystem;

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

// ---- The browser on a display ----

enum { kTitle = 100, kStatus, kFolders, kPathLabel, kPath, kOpen };

struct FolderWindow : DialogWindowState {
  LPBROWSEINFOA bi = nullptr;
  fs::path root;       // the top the user cannot leave ("" for none)
  fs::path listed;     // whose folders the list shows
  fs::path selected;   // the selection
  std::string path;    // what was chosen
  bool ready = false;  // the callback has been told the browser is there
  bool chosen = false;
};

FolderWindow* folder_window(HWND h) {
  return static_cast<FolderWindow*>(reinterpret_cast<DialogWindowState*>(GetWindowLongPtrA(h, GWLP_USERDATA)));
}

// A folder as the user may reach it: an existing folder at or below the
// root; "" otherwise.
fs::path reachable(const FolderWindow& f, const fs::path& typed) {
  std::error_code ec;
  fs::path where = fs::weakly_canonical(typed.is_absolute() ? typed : f.listed / typed, ec);
  if (ec || !fs::is_directory(where, ec)) return {};
  if (!f.root.empty()) {
    const fs::path rel = where.lexically_relative(f.root);
    if (rel.empty() || *rel.begin() == "..") return {};
  }
  return where;
}

// The selection changes to `path`: shown in the path field and told to the
// caller's callback (which may change the status text or the OK button)
// once it knows the browser.
void select_folder(HWND h, FolderWindow& f, const fs::path& path) {
  SetWindowTextA(GetDlgItem(h, kPath), path.string().c_str());
  f.selected = path;
  if (f.ready && f.bi->lpfn) {
    QmItemIdList item{path.string()};
    f.bi->lpfn(h, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&item), f.bi->lParam);
  }
}

// Lists the folders of `folder` (up first, unless at the root), which
// becomes the selection.
void open_folder(HWND h, FolderWindow& f, const fs::path& folder) {
  f.listed = folder;
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code kind;
    if (it->is_directory(kind)) names.push_back(it->path().filename().string() + "/");
  }
  std::sort(names.begin(), names.end());
  HWND list = GetDlgItem(h, kFolders);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (folder != folder.root_path() && folder != f.root)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("../"));
  for (const std::string& n : names) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
  select_folder(h, f, folder);
}

// The folder the list's highlighted entry names; "" for none.
fs::path highlighted(HWND h, const FolderWindow& f) {
  HWND list = GetDlgItem(h, kFolders);
  const int sel = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (sel < 0) return {};
  std::string name(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0)), '\0');
  SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(name.data()));
  return name == "../" ? f.listed.parent_path() : f.listed / name.substr(0, name.size() - 1);
}

// OK: the folder in the path field (picked or typed) is chosen once the
// caller's callback lets OK be pressed for it.
void accept_folder(HWND h, FolderWindow& f) {
  const std::string typed = window_text(GetDlgItem(h, kPath));
  const fs::path folder = reachable(f, typed);
  if (folder.empty()) {
    MessageBoxA(h, (typed + "\nThe folder cannot be found, or cannot be chosen here.").c_str(), "Browse for Folder",
                MB_OK | MB_ICONWARNING);
    return;
  }
  if (folder != f.selected) select_folder(h, f, folder);
  if (!browsers().ok_enabled) return;
  f.path = folder.string();
  f.chosen = f.done = true;
}

LRESULT CALLBACK browser_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  Browsers& all = browsers();
  FolderWindow* f = folder_window(h);
  if (all.current) {
    const char* text = reinterpret_cast<const char*>(l);
    switch (msg) {
      case BFFM_SETSELECTIONA:
        // Only paths are known here; an item list selection is not kept.
        if (w && text) {
          all.current->selection = text;
          if (f) {
            // The selection it has already is not told again, so a callback
            // that selects in answer to a change does not go round.
            const fs::path folder = reachable(*f, text);
            if (!folder.empty() && folder != f->selected) open_folder(h, *f, folder);
          }
        }
        return 0;
      case BFFM_SETSTATUSTEXTA:
        all.current->status = text ? text : "";
        if (f) SetWindowTextA(GetDlgItem(h, kStatus), all.current->status.c_str());
        return 0;
      case BFFM_ENABLEOK:
        all.ok_enabled = l != 0;
        if (f) EnableWindow(GetDlgItem(h, IDOK), l != 0);
        return 0;
      default: break;
    }
  }
  LRESULT result = 0;
  if (!dialog_command(h, msg, w, l, &result)) return result;
  switch (LOWORD(w)) {
    case kFolders:
      if (HIWORD(w) == LBN_SELCHANGE) {
        const fs::path folder = highlighted(h, *f);
        if (!folder.empty()) select_folder(h, *f, folder);
      } else if (HIWORD(w) == LBN_DBLCLK) {
        const fs::path folder = reachable(*f, highlighted(h, *f));
        if (!folder.empty()) open_folder(h, *f, folder);
      }
      return 0;
    case kOpen: {
      // The folder typed, else the one highlighted, is walked into.
      const fs::path folder = reachable(*f, window_text(GetDlgItem(h, kPath)));
      if (!folder.empty()) open_folder(h, *f, folder);
      SetFocus(GetDlgItem(h, kFolders));
      return 0;
    }
    case IDOK: accept_folder(h, *f); return 0;
    case IDCANCEL: f->done = true; return 0;
    default: return 0;
  }
}

// The browser window, laid out for the user: the title, the status text
// when asked for, the folders, the selection's path, Open, OK and Cancel.
HWND make_browser_window(LPBROWSEINFOA bi, FolderWindow& f) {
  HWND h = make_dialog_window(kBrowserClass, browser_proc, "Browse for Folder", 360, 380, bi->hwndOwner, &f);
  if (!h) return nullptr;
  add_control(h, WC_STATICA, bi->lpszTitle ? bi->lpszTitle : "", SS_LEFT, 10, 10, 340, 32, kTitle);
  add_control(h, WC_STATICA, "", SS_LEFT, 10, 44, 340, 16, kStatus);
  add_control(h, WC_LISTBOXA, "", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 10, 64, 340, 220, kFolders);
  add_control(h, WC_STATICA, "&Folder:", SS_LEFT, 10, 301, 50, 16, kPathLabel);
  add_control(h, WC_EDITA, "", ES_AUTOHSCROLL | WS_TABSTOP, 62, 296, 288, 24, kPath);
  add_control(h, WC_BUTTONA, "&Open", BS_PUSHBUTTON | WS_TABSTOP, 10, 340, 75, 26, kOpen);
  add_control(h, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 194, 340, 75, 26, IDOK);
  add_control(h, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 275, 340, 75, 26, IDCANCEL);
  std::error_code ec;
  f.bi = bi;
  if (bi->pidlRoot) f.root = fs::weakly_canonical(bi->pidlRoot->path, ec);
  // Where the browse starts, unless the callback selects a folder: the root,
  // else the working folder.
  const fs::path start = f.root.empty() ? fs::current_path(ec) : f.root;
  f.listed = start;
  open_folder(h, f, start);
  return h;
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
  QmFolderDialog d{};
  d.owner = bi->hwndOwner;
  d.root = bi->pidlRoot ? bi->pidlRoot->path : "";
  d.title = bi->lpszTitle ? bi->lpszTitle : "";
  d.flags = bi->ulFlags;
  all.current = &d;
  all.ok_enabled = true;
  const bool by_user = all.answers.empty() && qm_user_display();
  FolderWindow window;
  HWND browser = nullptr;
  if (by_user) {
    browser = make_browser_window(bi, window);
  } else {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = browser_proc;
    wc.lpszClassName = kBrowserClass;
    RegisterClassA(&wc);
    browser = CreateWindowExA(0, kBrowserClass, "", WS_POPUP, 0, 0, 0, 0, bi->hwndOwner, nullptr, nullptr, nullptr);
  }
  if (!browser) {
    all.current = nullptr;
    return nullptr;
  }
  if (bi->lpfn) bi->lpfn(browser, BFFM_INITIALIZED, 0, bi->lParam);
  d.initial_selection = d.selection;
  if (by_user) {
    window.ready = true;
    select_folder(browser, window, window.selected);
  }
  bool chosen = false;
  char caption[MAX_PATH] = "";
  if (by_user) {
    // The caption is read before the window goes.
    run_dialog_window(browser, bi->hwndOwner, GetDlgItem(browser, kFolders), [&] {
      if (window.done) GetWindowTextA(browser, caption, sizeof caption);
      return window.done;
    });
    chosen = window.chosen;
    d.path = window.path;
  } else if (!all.answers.empty()) {
    chosen = all.answers.front().first;
    d.path = all.answers.front().second;
    all.answers.pop_front();
  }
  LPITEMIDLIST result = nullptr;
  if (chosen && !by_user) {
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
  if (!by_user) GetWindowTextA(browser, caption, sizeof caption);
  d.caption = caption;
  d.chosen = chosen;
  if (IsWindow(browser)) DestroyWindow(browser);
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
