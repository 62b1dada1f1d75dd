// The common dialogs as windows on a display, for a user to answer when no
// scripted answer is queued: the open and save dialogs list a folder's
// entries and take a typed name or path; the colour dialog offers the basic
// colours, the font dialog a face, a size and a style.
#include <commctrl.h>
#include <commdlg.h>
#include <fnmatch.h>
#include <qm_display.h>
#include <qm_user.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/user/user_internal.h"

namespace qmuser {

namespace fs = std::filesystem;

HWND make_dialog_window(const char* class_name, WNDPROC proc, const std::string& caption, int width, int height,
                        HWND owner, DialogWindowState* data) {
  // Registered again when a reset forgot it; an existing class stays.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = class_name;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassA(&wc);
  RECT over = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &over);
  const int x = std::max<int>(0, (over.left + over.right - width) / 2);
  const int y = std::max<int>(0, (over.top + over.bottom - height) / 2);
  HWND h = CreateWindowExA(0, class_name, caption.c_str(), WS_POPUP, x, y, width, height, owner, nullptr, nullptr, nullptr);
  if (h) SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  return h;
}

HWND add_control(HWND dialog, const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, int id) {
  return CreateWindowExA(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, dialog,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

DialogWindowState* dialog_command(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  auto* state = reinterpret_cast<DialogWindowState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (state && msg == WM_CLOSE) {
    state->done = true;
    *result = 0;
    return nullptr;
  }
  if (!state || msg != WM_COMMAND) {
    *result = DefWindowProcA(h, msg, w, l);
    return nullptr;
  }
  *result = 0;
  return state;
}

bool run_dialog_window(HWND dialog, HWND owner, HWND focus, const std::function<bool()>& done) {
  QmModalState modal = qm_user_begin_modal(owner, dialog);
  ShowWindow(dialog, SW_SHOW);
  HWND had_focus = GetFocus();
  if (HWND first = focus ? focus : GetNextDlgTabItem(dialog, nullptr, FALSE)) qm_user_focus_dialog_item(first);
  const bool alive = qm_user_run_modal(dialog, dialog, done);
  if (IsWindow(dialog)) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
    DestroyWindow(dialog);
  }
  qm_user_end_modal(modal);
  if (had_focus && IsWindow(had_focus)) SetFocus(had_focus);
  return alive;
}

std::string window_text(HWND h) {
  std::string t(static_cast<size_t>(GetWindowTextLengthA(h)), '\0');
  GetWindowTextA(h, t.data(), static_cast<int>(t.size()) + 1);
  return t;
}

namespace {

enum { kFolderLabel = 100, kEntries, kNameLabel, kName, kTypeLabel, kTypes };

struct FileWindow : DialogWindowState {
  QmFileDialog* ask = nullptr;  // its filter index follows the type chosen
  fs::path folder;
  std::string path;  // what was chosen
  bool chosen = false;
};

// The filter's texts: names and pattern lists by turns.
std::vector<std::string> filter_texts(const QmFileDialog& d) {
  std::vector<std::string> texts;
  for (size_t at = 0; at <= d.filter.size() && !d.filter.empty();) {
    const size_t end = d.filter.find('\0', at);
    texts.push_back(d.filter.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return texts;
}

// The patterns of the file type chosen ("*.shx;*.shp").
std::vector<std::string> patterns_of(const QmFileDialog& d) {
  const std::vector<std::string> texts = filter_texts(d);
  const size_t pair = d.filter_index > 0 ? d.filter_index - 1 : 0;
  std::vector<std::string> patterns;
  if (2 * pair + 1 >= texts.size()) return patterns;
  const std::string& list = texts[2 * pair + 1];
  for (size_t at = 0; at <= list.size();) {
    const size_t end = std::min(list.find(';', at), list.size());
    if (end > at) patterns.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  return patterns;
}

bool matches(const std::vector<std::string>& patterns, const std::string& name) {
  if (patterns.empty()) return true;
  for (const std::string& p : patterns)
    if (fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  return false;
}

// Shows the folder's entries: up, the folders (with a '/'), then the files
// the filter lets through, each sorted by name.
void show_folder(HWND dialog, FileWindow& f, const fs::path& folder) {
  std::error_code ec;
  fs::path where = fs::weakly_canonical(folder, ec);
  if (ec || !fs::is_directory(where, ec)) return;
  f.folder = where;
  std::vector<std::string> folders, files;
  const std::vector<std::string> patterns = patterns_of(*f.ask);
  for (fs::directory_iterator it(where, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code kind;
    if (it->is_directory(kind))
      folders.push_back(name + "/");
    else if (matches(patterns, name))
      files.push_back(name);
  }
  std::sort(folders.begin(), folders.end());
  std::sort(files.begin(), files.end());
  HWND list = GetDlgItem(dialog, kEntries);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (where.has_parent_path() && where != where.root_path()) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("../"));
  for (const auto* names : {&folders, &files})
    for (const std::string& n : *names) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.c_str()));
  SetWindowTextA(GetDlgItem(dialog, kFolderLabel), where.string().c_str());
}

// What OK does with the name typed (or picked): a folder is opened, a file
// is chosen once the dialog's flags allow it.
void accept(HWND dialog, FileWindow& f, std::string typed) {
  if (typed.empty()) return;
  const QmFileDialog& d = *f.ask;
  fs::path path = fs::path(typed).is_absolute() ? fs::path(typed) : f.folder / typed;
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    show_folder(dialog, f, path);
    SetWindowTextA(GetDlgItem(dialog, kName), "");
    return;
  }
  if (d.save && !d.default_ext.empty() && !path.has_extension()) path += "." + d.default_ext;
  path = path.lexically_normal();
  const std::string title = d.title.empty() ? (d.save ? "Save As" : "Open") : d.title;
  const bool exists = fs::exists(path, ec);
  if (!d.save && (d.flags & OFN_FILEMUSTEXIST) && !exists) {
    MessageBoxA(dialog, (path.string() + "\nFile not found.\nCheck the file name and try again.").c_str(), title.c_str(),
                MB_OK | MB_ICONWARNING);
    return;
  }
  if (d.save && (d.flags & OFN_OVERWRITEPROMPT) && exists &&
      MessageBoxA(dialog, (path.string() + " already exists.\nDo you want to replace it?").c_str(), title.c_str(),
                  MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  f.path = path.string();
  f.chosen = f.done = true;
}

LRESULT CALLBACK file_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  FileWindow* f = static_cast<FileWindow*>(dialog_command(h, msg, w, l, &result));
  if (!f) return result;
  HWND list = GetDlgItem(h, kEntries);
  const int sel = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  std::string picked;
  if (sel >= 0) {
    picked.resize(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0)));
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(picked.data()));
  }
  switch (LOWORD(w)) {
    case kTypes:
      // Another file type lists the folder's files of that type.
      if (HIWORD(w) == CBN_SELCHANGE) {
        const LRESULT type = SendMessageA(GetDlgItem(h, kTypes), CB_GETCURSEL, 0, 0);
        if (type >= 0) f->ask->filter_index = static_cast<DWORD>(type) + 1;
        show_folder(h, *f, f->folder);
      }
      return 0;
    case kEntries:
      if (HIWORD(w) == LBN_SELCHANGE && !picked.empty() && picked.back() != '/')
        SetWindowTextA(GetDlgItem(h, kName), picked.c_str());
      if (HIWORD(w) == LBN_DBLCLK && !picked.empty()) accept(h, *f, picked);
      return 0;
    case IDOK: {
      const std::string typed = window_text(GetDlgItem(h, kName));
      accept(h, *f, typed.empty() ? picked : typed);
      return 0;
    }
    case IDCANCEL: f->done = true; return 0;
    default: return 0;
  }
}

// ---- Colour and font ----

struct Chooser : DialogWindowState {
  bool ok = false;
};

LRESULT CALLBACK chooser_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  Chooser* c = static_cast<Chooser*>(dialog_command(h, msg, w, l, &result));
  if (c && LOWORD(w) == IDCANCEL) c->done = true;
  if (c && LOWORD(w) == IDOK) c->ok = c->done = true;
  return result;
}

void add_ok_cancel(HWND h, int right, int top) {
  add_control(h, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, right - 160, top, 75, 26, IDOK);
  add_control(h, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, right - 75, top, 75, 26, IDCANCEL);
}

struct NamedColor {
  const char* name;
  COLORREF color;
};

const NamedColor kBasicColors[] = {
    {"Black", RGB(0, 0, 0)},         {"Maroon", RGB(128, 0, 0)},     {"Green", RGB(0, 128, 0)},
    {"Olive", RGB(128, 128, 0)},     {"Navy", RGB(0, 0, 128)},       {"Purple", RGB(128, 0, 128)},
    {"Teal", RGB(0, 128, 128)},      {"Gray", RGB(128, 128, 128)},   {"Silver", RGB(192, 192, 192)},
    {"Red", RGB(255, 0, 0)},         {"Lime", RGB(0, 255, 0)},       {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},        {"Fuchsia", RGB(255, 0, 255)},  {"Aqua", RGB(0, 255, 255)},
    {"White", RGB(255, 255, 255)},
};

}  // namespace

bool run_color_window(HWND owner, bool has_initial, COLORREF initial, COLORREF& chosen) {
  Chooser c;
  HWND h = make_dialog_window("QmChooserWindow", chooser_proc, "Color", 240, 300, owner, &c);
  if (!h) return false;
  HWND list = add_control(h, WC_LISTBOXA, "", WS_BORDER | WS_VSCROLL | WS_TABSTOP, 10, 10, 220, 240, 100);
  for (const NamedColor& n : kBasicColors) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.name));
  int sel = 0;
  for (size_t i = 0; i < sizeof kBasicColors / sizeof kBasicColors[0]; ++i)
    if (has_initial && kBasicColors[i].color == (initial & 0x00FFFFFF)) sel = static_cast<int>(i);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
  add_ok_cancel(h, 230, 264);
  run_dialog_window(h, owner, list, [&] {
    if (c.done) sel = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    return c.done;
  });
  if (!c.ok || sel < 0) return false;
  chosen = kBasicColors[sel].color;
  return true;
}

bool run_font_window(HWND owner, const std::string& face, int point_size, LONG weight, bool italic, QmFontAnswer& a) {
  Chooser c;
  HWND h = make_dialog_window("QmChooserWindow", chooser_proc, "Font", 300, 170, owner, &c);
  if (!h) return false;
  add_control(h, WC_STATICA, "&Font:", SS_LEFT, 10, 14, 60, 16, 100);
  HWND face_edit = add_control(h, WC_EDITA, face.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, 75, 10, 215, 24, 101);
  add_control(h, WC_STATICA, "&Size:", SS_LEFT, 10, 46, 60, 16, 102);
  const std::string size_text = std::to_string(point_size / 10) + (point_size % 10 ? "." + std::to_string(point_size % 10) : "");
  HWND size_edit = add_control(h, WC_EDITA, size_text.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, 75, 42, 60, 24, 103);
  HWND bold = add_control(h, WC_BUTTONA, "&Bold", BS_AUTOCHECKBOX | WS_TABSTOP, 75, 76, 80, 20, 104);
  HWND slant = add_control(h, WC_BUTTONA, "&Italic", BS_AUTOCHECKBOX | WS_TABSTOP, 165, 76, 80, 20, 105);
  SendMessageA(bold, BM_SETCHECK, weight >= FW_BOLD ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(slant, BM_SETCHECK, italic ? BST_CHECKED : BST_UNCHECKED, 0);
  add_ok_cancel(h, 290, 134);
  // Read before the window goes.
  std::string typed_face, typed_size;
  bool is_bold = false, is_italic = false;
  run_dialog_window(h, owner, face_edit, [&] {
    if (!c.done) return false;
    typed_face = window_text(face_edit), typed_size = window_text(size_edit);
    is_bold = SendMessageA(bold, BM_GETCHECK, 0, 0) == BST_CHECKED;
    is_italic = SendMessageA(slant, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return true;
  });
  if (!c.ok) return false;
  // A size that is no number of points keeps the one there was.
  char* end = nullptr;
  const double points = std::strtod(typed_size.c_str(), &end);
  a.point_size = end != typed_size.c_str() && points > 0 && points <= 1638 ? static_cast<int>(points * 10 + 0.5) : point_size;
  a.face = typed_face.empty() ? face : typed_face;
  a.weight = is_bold ? FW_BOLD : FW_NORMAL;
  a.italic = is_italic;
  a.ok = true;
  return true;
}

bool run_file_window(QmFileDialog& d, std::string& path) {
  FileWindow f;
  f.ask = &d;
  const std::string caption = d.title.empty() ? (d.save ? "Save As" : "Open") : d.title;
  HWND h = make_dialog_window("QmFileDialogWindow", file_proc, caption, 380, 350, d.owner, &f);
  if (!h) return false;
  add_control(h, WC_STATICA, "", SS_LEFT, 10, 8, 360, 16, kFolderLabel);
  add_control(h, WC_LISTBOXA, "", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 10, 28, 360, 200, kEntries);
  add_control(h, WC_STATICA, "File &name:", SS_LEFT, 10, 243, 80, 16, kNameLabel);
  // The name (or path) typed has the focus first.
  HWND name = add_control(h, WC_EDITA, "", ES_AUTOHSCROLL | WS_TABSTOP, 90, 238, 280, 24, kName);
  // The file types of the filter, the one asked for chosen.
  add_control(h, WC_STATICA, "Files of &type:", SS_LEFT, 10, 273, 80, 16, kTypeLabel);
  HWND types = add_control(h, WC_COMBOBOXA, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 90, 268, 280, 160, kTypes);
  const std::vector<std::string> texts = filter_texts(d);
  for (size_t i = 0; i < texts.size(); i += 2)
    SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i].c_str()));
  if (d.filter_index == 0 || 2 * (d.filter_index - 1) >= texts.size()) d.filter_index = texts.empty() ? 0 : 1;
  if (d.filter_index > 0) SendMessageA(types, CB_SETCURSEL, d.filter_index - 1, 0);
  add_control(h, WC_BUTTONA, d.save ? "&Save" : "&Open", BS_DEFPUSHBUTTON | WS_TABSTOP, 214, 314, 75, 26, IDOK);
  add_control(h, WC_BUTTONA, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 295, 314, 75, 26, IDCANCEL);
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  fs::path start = d.initial_dir.empty() ? here : fs::path(d.initial_dir);
  std::string initial = d.initial_file;
  if (fs::path(initial).has_parent_path()) {
    if (d.initial_dir.empty()) start = fs::path(initial).parent_path();
    initial = fs::path(initial).filename().string();
  }
  f.folder = here;
  show_folder(h, f, start);
  SetWindowTextA(name, initial.c_str());
  run_dialog_window(h, d.owner, name, [&f] { return f.done; });
  path = f.path;
  return f.chosen;
}

}  // namespace qmuser
