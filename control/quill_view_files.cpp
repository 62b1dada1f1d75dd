// Opening and saving the view's drawing by the file's extension.
#include <qm_file.h>
#include <urlmon.h>

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "api/api_extents.h"
#include "api/api_image.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "control/file_dialog_helper.h"
#include "control/file_guard.h"
#include "control/quill_view.h"
#include "control/wait_cursor.h"
#include "database/entities/mb_image.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "display/mb_draw_render.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"
#include "exchange/hpgl/penplot.h"
#include "exchange/markup/markupio.h"

namespace {

constexpr const char* kHttp = "http://";
constexpr long kExportSize = 500;  // pixels a side of a saved image

// The last n characters; the whole text when it is shorter.
std::string last(const std::string& s, size_t n) { return s.size() > n ? s.substr(s.size() - n) : s; }

// The path as given, without trailing blanks: its case is kept, so the
// file opened is the one named even beside a name differing only in case.
std::string trimmed(const char* path) {
  std::string p = path ? path : "";
  while (!p.empty() && std::isspace(static_cast<unsigned char>(p.back()))) p.pop_back();
  return p;
}

std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The file name of a path without its folders and extension.
std::string base_name(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Downloads an address, exactly as given, into a folder of its own made in
// the temporary folder (private to the user, under a name nobody could have
// prepared), as "1" and the address's last four characters lower-cased,
// made safe as a file name. The local path, or "" when it could not be
// fetched (the folder is then gone, and `why` says, in English, what went
// wrong); `folder` is the folder to remove once the drawing is done with.
std::string download(const std::string& url, std::string& folder, std::string& why) {
  folder.clear();
  why.clear();
  char temp[256];
  const DWORD n = ::GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) {
    why = "the temporary folder is unknown or its name is too long";
    return "";
  }
  std::string tail = lowered(last(url, 4));
  for (char& c : tail)
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
        static_cast<unsigned char>(c) < ' ')
      c = '_';
  std::string made = std::string(temp) + "quillmark.XXXXXX";
  if (!mkdtemp(&made[0])) {
    why = qm_file_error(temp, errno);
    return "";
  }
  const std::string local = made + "/1" + tail;
  if (::URLDownloadToFileA(nullptr, url.c_str(), local.c_str(), 0, nullptr) != S_OK) {
    why = qm_download_last_error();
    rmdir(made.c_str());
    return "";
  }
  folder = made;
  return local;
}

// Removes a download's private folder and what it holds; an empty name is
// no folder.
void remove_download(const std::string& folder) {
  if (folder.empty()) return;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        unlink((folder + "/" + e->d_name).c_str());
    closedir(d);
  }
  rmdir(folder.c_str());
}

// 0 when the path names a regular file that opens for reading, else the
// system's error (a pipe or a device fails at once, never blocking).
int open_error(const std::string& path) {
  FILE* f = qm_fopen(path.c_str(), "rb");
  if (!f) return errno ? errno : EINVAL;
  std::fclose(f);
  return 0;
}

// True when the path names a regular file the readers may open; otherwise
// the user is told: a missing file by the control's own message, anything
// else (a folder, a pipe, a device) with what it is.
bool readable_file(const std::string& p, const CString& given) {
  const int err = open_error(p);
  if (err == 0) return true;
  if (err == ENOENT) {
    AfxMessageBox(quill::kTextFileNotFound, MB_OK);
    // The container tells it too, with the reason in English beside the
    // control's own words.
    quill_note_file_failure(static_cast<const char*>(given),
                            std::string(quill::kTextFileNotFound) + " (" + qm_file_error(p.c_str(), ENOENT) + ")");
  } else {
    quill_report_file_failure(Quill_File_Action::kOpen, static_cast<const char*>(given), qm_file_error(p.c_str(), err));
  }
  return false;
}

// Why the outside loader read nothing, by its result.
std::string dxf_failure(int result, const std::string& p) {
  switch (result) {
    case kCadbridgeNoFile: return qm_file_error(p.c_str(), errno ? errno : EINVAL);
    case kCadbridgeDwgNotRead: return quill::kReasonDwg;
    case kCadbridgeUnknownKind: return quill::kReasonNoReader;
    default: return quill::kReasonNotDxf;
  }
}

// The separator a save folder lacks, so that the name lands inside it.
std::string as_folder(const CString& folder) {
  std::string f = static_cast<const char*>(folder);
  if (!f.empty() && f.back() != '/' && f.back() != '\\') f += '/';
  return f;
}

}  // namespace

bool CQuillView::file_exists(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void CQuillView::reset_drawing(const char* name) {
  operation_.close_drawing();
  operation_.create_drawing(name);
  if (MB_Undo_Redo* store = operation_.undo_redo()) store->drawing(operation_.drawing());
  operation_.rebuild_draw_render_list(operation_.drawing(), m_hWnd);
}

void CQuillView::drop_download() {
  remove_download(download_folder_);
  download_folder_.clear();
}

void CQuillView::mark_saved() {
  const MB_Drawing* d = operation_.drawing();
  saved_edits_ = d ? d->edit_count() : 0;
}

bool CQuillView::has_unsaved_changes() const {
  const MB_Drawing* d = const_cast<MB_Operation&>(operation_).drawing();
  return d && d->edit_count() != saved_edits_;
}

bool CQuillView::SaveModified() {
  if (!has_unsaved_changes()) return true;
  const MB_Drawing* d = operation_.drawing();
  const std::string question =
      std::string(quill::kTextAskToSave) + (d ? d->name().ascii() : "") + quill::kTextAskToSaveEnd;
  switch (AfxMessageBox(question.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES: return SaveDrawingByExtension() && !has_unsaved_changes();
    case IDNO: return true;
    default: return false;
  }
}

void CQuillView::OpenDrawingByExtension(const CString& path) {
  operation_.clear_all_tools();
  operation_.clear_selectlist(true);
  std::string p = trimmed(path);
  // A downloaded copy lives in a private folder of its own until the next
  // drawing replaces the one read from it; a failed open removes it at once.
  std::string fetched;
  struct Fetched_Guard {
    std::string& folder;
    ~Fetched_Guard() { remove_download(folder); }
  } fetched_guard{fetched};
  if (lowered(p.substr(0, std::char_traits<char>::length(kHttp))) == kHttp) {
    Wait_Cursor wait;
    std::string why;
    p = download(p, fetched, why);
    if (p.empty()) {
      AfxMessageBox(quill::kTextDownloadFailed, MB_OK);
      // The container tells it too, with the reason in English beside the
      // control's own words.
      quill_note_file_failure(static_cast<const char*>(path),
                              std::string(quill::kTextDownloadFailed) + " (" + why + ")");
      return;
    }
  }
  // Only the extension chooses the reader, compared without regard to case.
  const std::string ext = lowered(last(p, 3));
  if (!readable_file(p, path)) return;
  // A drawing is read into a drawing of its own, which replaces the open one
  // only once it was read: a failed open leaves the document as it was (its
  // drawing, its name and the file the version box names).
  std::unique_ptr<MB_Drawing> read;
  CString base = path;
  bool changed = false;  // the open drawing was added to or replaced
  std::string why;       // what the reader could not read
  {
    Wait_Cursor wait;
    if (ext == "dwg" || ext == "dxf") {
      read.reset(new MB_Drawing(MB_String(p.c_str())));
      int result = kCadbridgeLoaded;
      MB_Dwg_Load_Save loader;
      errno = 0;
      MB_Drawing* target = read.get();
      if (!loader.drw_marcompopen(target, p.c_str(), &result, false))
        why = dxf_failure(result, p);
      else if (loader.entity_count() == 0 && loader.block_count() == 0 &&
               (result == kCadbridgePartly || !loader.skipped().empty()))
        why = std::string(quill::kReasonNothingDrawn) +
              (loader.first_problem().empty() ? "" : ": " + loader.first_problem());
    } else if (ext == "kzf" || ext == "qlf") {
      read.reset(new MB_Drawing(MB_String(p.c_str())));
      MB_File_IO io;
      io.drawing(read.get());
      if (!io.load_kzf(p.c_str())) why = io.reason();
    } else if (ext == "plt" || ext == "hgl") {
      read.reset(new MB_Drawing(MB_String(p.c_str())));
      Current_Drawing current(read.get());
      errno = 0;
      if (!api_mb_load_hpgl_file(p.c_str()))
        why = qm_file_error(p.c_str(), errno ? errno : EIO);
      else if (!read->object_list().head())
        why = quill::kReasonNoPlot;
    } else if (ext == "rml") {
      CString markup(p.c_str());
      // The markup's base is read into the drawing unless it is the drawing
      // already shown.
      std::string base_failure;
      changed = api_mb_load_xml(markup, operation_.drawing(), base, base_document_, &base_failure);
      if (!changed)
        why = quill::kReasonNotMarkup;
      else if (!base_failure.empty())
        why = quill::kReasonMarkupBaseUnread + base_failure;
    } else {
      // The picture is decoded aside first: a file that is none leaves the
      // drawing as it was.
      MB_Drawing aside(MB_String(p.c_str()));
      MB_Image* image = api_mb_create_image(aside, p.data(), As_Pt(0, 0, 0));
      if (!image) {
        why = api_mb_image_format_code(p.c_str()) > 0 ? quill::kReasonNotImage : quill::kReasonNoReader;
      } else {
        reset_drawing(p.c_str());
        changed = true;
        CRect client;
        GetClientRect(&client);
        As_Pt centre((client.left + client.right) / 2, (client.top + client.bottom) / 2, 0);
        if (MB_Draw_Render* r = operation_.draw_render()) centre = centre * r->screen_to_drawing();
        image->translate(translate_transf(centre - As_Pt(0, 0, 0)));
        image->build_draw();
        operation_.drawing()->add_object(image);
        Invalidate(TRUE);
      }
    }
  }
  if (read && why.empty()) {
    operation_.adopt_drawing(read.release());
    operation_.drawing()->build_draw();
    changed = true;
  }
  // A drawing read and dropped leaves the open one the kernel's current.
  read.reset();
  g_current_drawing = operation_.drawing();
  if (!why.empty()) quill_report_file_failure(Quill_File_Action::kOpen, static_cast<const char*>(path), why);
  if (!changed) return;
  // A markup adds to the drawing shown, which may still be a download's.
  if (ext != "rml") {
    drop_download();
    download_folder_.swap(fetched);
  }
  opened_path_ = path;
  base_document_ = base;
  operation_.compute_transf();
  operation_.zoom_all();
  mark_saved();
}

bool CQuillView::SaveDrawingByExtension() {
  std::string target;
  if (!save_directory_.IsEmpty()) {
    const MB_Drawing* d = operation_.drawing();
    const std::string name = d ? d->name().ascii() : "";
    target = as_folder(save_directory_) + base_name(name) + ".qlf";
    AfxMessageBox(target.c_str(), MB_OK);
  } else {
    char chosen[MAX_PATH] = "";
    const std::string filter = file_filter(quill::kTextSaveFilter);
    FileDialogHelper(m_hWnd, 0, chosen, "", quill::kTextSaveTitle, filter.c_str());
    if (!chosen[0]) return false;
    target = chosen;
  }
  bool written;
  {
    Wait_Cursor wait;
    written = save_as(target);
  }
  if (CDocument* doc = GetDocument()) doc->UpdateAllViews(nullptr, 0, nullptr);
  return written;
}

bool CQuillView::save_as(const std::string& target) {
  const bool native = is_file_ext(target.c_str(), "qlf") || is_file_ext(target.c_str(), "kzf");
  const bool written = quill_write_file(
      target, [&](std::string& why) { return write_by_extension(target, why); },
      native ? Quill_Write::kNativeDrawing : Quill_Write::kOther);
  // Only a native file holds the whole drawing: it is then the document's
  // file, and the base drawing of the markups saved after it.
  if (written && native) {
    mark_saved();
    opened_path_ = target.c_str();
    // The markup names its base by a path that holds from any folder.
    char* resolved = realpath(qm_map_path(target.c_str()).c_str(), nullptr);
    base_document_ = resolved ? resolved : target.c_str();
    std::free(resolved);
  }
  return written;
}

bool CQuillView::write_by_extension(const std::string& target, std::string& why) {
  MB_Drawing* drawing = operation_.drawing();
  if (!drawing) return false;
  const char* t = target.c_str();
  if (is_file_ext(t, "qlf") || is_file_ext(t, "kzf")) {
    MB_File_IO io;
    io.drawing(drawing);
    if (io.save_kzf(const_cast<char*>(t))) return true;
    why = io.reason();
    return false;
  }
  if (is_file_ext(t, "jpg") || is_file_ext(t, "bmp") || is_file_ext(t, "tif") || is_file_ext(t, "gif") ||
      is_file_ext(t, "png") || is_file_ext(t, "wmf")) {
    As_Rect extents;
    MB_Draw_Render* r = operation_.draw_render();
    // An empty drawing has no extents to draw: nothing is written.
    if (!r || !api_mb_get_entity_list_rect(drawing->object_list(), extents)) {
      why = quill::kReasonEmptyDrawing;
      return false;
    }
    return r->export_image(t, extents, kExportSize, kExportSize, 0, g_system_setting.get_long_val(MB_BACKGROUND_COLOR));
  }
  if (is_file_ext(t, "plt")) {
    Current_Drawing current(drawing);
    return api_mb_save_hpgl_file(t);
  }
  if (is_file_ext(t, "rml")) return api_mb_save_xml(drawing, base_document_, t, why);
  why = quill::kReasonNoWriter;
  return false;
}
