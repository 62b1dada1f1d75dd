// Opening and saving the view's drawing by the file's extension.
#include <urlmon.h>

#include <cctype>
#include <string>

#include "api/api_extents.h"
#include "api/api_image.h"
#include "control/control_texts.h"
#include "control/current_drawing.h"
#include "control/file_dialog_helper.h"
#include "control/quill_view.h"
#include "control/wait_cursor.h"
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

std::string trimmed_lower(const char* path) {
  std::string p = path ? path : "";
  while (!p.empty() && std::isspace(static_cast<unsigned char>(p.back()))) p.pop_back();
  for (char& c : p) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return p;
}

// The file name of a path without its folders and extension.
std::string base_name(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// Downloads an address, exactly as given, into the temporary folder under
// "1" and the last four characters of its lower-cased form, made safe as a
// file name; the local path, or "" when it could not be fetched. A file of
// that name already there is kept: the download takes "1_2", "1_3" ...
// instead.
std::string download(const std::string& url, const std::string& lowered) {
  char folder[256];
  const DWORD n = ::GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder) return "";
  std::string tail = last(lowered, 4);
  for (char& c : tail)
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' ||
        static_cast<unsigned char>(c) < ' ')
      c = '_';
  std::string local = std::string(folder) + "1" + tail;
  for (int k = 2; ::GetFileAttributesA(local.c_str()) != INVALID_FILE_ATTRIBUTES; ++k)
    local = std::string(folder) + "1_" + std::to_string(k) + tail;
  return ::URLDownloadToFileA(nullptr, url.c_str(), local.c_str(), 0, nullptr) == S_OK ? local : "";
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

void CQuillView::OpenDrawingByExtension(const CString& path) {
  opened_path_ = path;
  base_document_ = path;
  operation_.clear_all_tools();
  operation_.clear_selectlist(true);
  std::string p = trimmed_lower(path);
  if (p.compare(0, std::char_traits<char>::length(kHttp), kHttp) == 0) {
    Wait_Cursor wait;
    p = download(static_cast<const char*>(path), p);
    if (p.empty()) {
      AfxMessageBox(quill::kTextDownloadFailed, MB_OK);
      return;
    }
  }
  const std::string ext = last(p, 3);
  if (!file_exists(p)) {
    AfxMessageBox(quill::kTextFileNotFound, MB_OK);
    return;
  }
  {
    Wait_Cursor wait;
    if (ext == "dwg" || ext == "dxf") {
      reset_drawing(p.c_str());
      MB_Drawing* drawing = operation_.drawing();
      if (drawing) {
        int unused = 0;
        MB_Dwg_Load_Save loader;
        loader.drw_marcompopen(drawing, p.c_str(), &unused, false);
        operation_.drawing()->build_draw();
      }
    } else if (ext == "kzf" || ext == "qlf") {
      reset_drawing(p.c_str());
      operation_.load_kzf(p.c_str());
      if (MB_Drawing* d = operation_.drawing()) d->build_draw();
    } else if (ext == "plt" || ext == "hgl") {
      operation_.create_drawing(p.c_str());
      Current_Drawing current(operation_.drawing());
      api_mb_load_hpgl_file(p.c_str());
    } else if (ext == "rml") {
      CString markup(p);
      api_mb_load_xml(markup, operation_.drawing(), base_document_);
    } else {
      reset_drawing(p.c_str());
      CRect client;
      GetClientRect(&client);
      As_Pt centre((client.left + client.right) / 2, (client.top + client.bottom) / 2, 0);
      if (MB_Draw_Render* r = operation_.draw_render()) centre = centre * r->screen_to_drawing();
      api_mb_create_image(operation_, p.data(), centre);
      Invalidate(TRUE);
    }
  }
  operation_.compute_transf();
  operation_.zoom_all();
}

bool CQuillView::SaveDrawingByExtension() {
  std::string target;
  if (!save_directory_.IsEmpty()) {
    const MB_Drawing* d = operation_.drawing();
    const std::string name = d ? d->name().ascii() : "";
    // The folder is joined as given: it must end with a separator.
    target = std::string(static_cast<const char*>(save_directory_)) + base_name(name) + ".qlf";
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
  MB_Drawing* drawing = operation_.drawing();
  if (!drawing) return false;
  const char* t = target.c_str();
  if (is_file_ext(t, "qlf") || is_file_ext(t, "kzf")) {
    MB_File_IO io;
    io.drawing(drawing);
    return io.save_kzf(const_cast<char*>(t));
  }
  if (is_file_ext(t, "jpg") || is_file_ext(t, "bmp") || is_file_ext(t, "tif") || is_file_ext(t, "gif") ||
      is_file_ext(t, "png") || is_file_ext(t, "wmf")) {
    As_Rect extents;
    MB_Draw_Render* r = operation_.draw_render();
    // An empty drawing has no extents to draw: nothing is written.
    if (!r || !api_mb_get_entity_list_rect(drawing->object_list(), extents)) return false;
    return r->export_image(t, extents, kExportSize, kExportSize, 0, g_system_setting.get_long_val(MB_BACKGROUND_COLOR));
  }
  if (is_file_ext(t, "plt")) {
    Current_Drawing current(drawing);
    return api_mb_save_hpgl_file(t);
  }
  if (is_file_ext(t, "rml")) return api_mb_save_xml(drawing, base_document_, t);
  return false;
}
