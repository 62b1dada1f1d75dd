// quillmark_host: a small container of the drawing control. It makes a
// top-level window of the given size, creates the control inside it by its
// prog id through the registry (see quillmark_register), opens
// the drawing named on the command line in the control's view, replays a
// script of input steps, and writes what the control's window shows to a
// picture (its type by the name's extension). On an X display (and not asked for --headless) the window
// then stays on screen for the user until it is closed.
//
//   quillmark_host [--headless] [--progid PROGID] [--size WIDTHxHEIGHT] [--script FILE]
//                  [--screenshot PICTURE] [DRAWING]
//   quillmark_host --help | --version
//
// Exit status: 0 done, 1 a file could not be read or written (the message
// names it and says why) or the control is not registered or cannot be
// made, 2 a usage error (a script the control refuses among them). Every
// file the control failed to open or write, whether on the command line or
// through the script, is named on standard error with the reason, and makes
// the status 1. No write of the control or of the host replaces the drawing
// given, the drawing the control has open, the base drawing of its markup
// or the script. Closing the window with unsaved changes in the drawing
// asks first whether to save them (see the README).
#include <afxctl.h>
#include <afxwin.h>
#include <qm_display.h>
#include <qm_file.h>
#include <qm_program.h>
#include <qm_script.h>
#include <qm_text.h>
#include <qm_user.h>
#include <ximage.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "control/file_guard.h"
#include "control/host/host_script.h"
#include "control/quill_view.h"
#include "control/quillmark_ctrl.h"
#include "database/mb_names.h"

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr int kMaxSide = 8192;

struct Options {
  int width = kDefaultWidth, height = kDefaultHeight;
  std::string progid = CQuillmarkOcxCtrl::kProgId;
  std::string script, screenshot, drawing;
};

constexpr const char* kProgram = "quillmark_host";
// parse_options: the options parsed, the program goes on.
constexpr int kGoOn = -1;

std::string usage_text() {
  char text[1024];
  std::snprintf(text, sizeof text,
                "usage: quillmark_host [--headless] [--progid PROGID] [--size WIDTHxHEIGHT] [--script FILE] "
                "[--screenshot PICTURE] [DRAWING]\n"
                "       quillmark_host --help | --version\n"
                "  --headless     show no window even where an X display is (also QM_HEADLESS=1)\n"
                "  --progid       the control to create, by its registered prog id (default %s)\n"
                "  --size         the host window's client size (default %dx%d)\n"
                "  --script       input steps to replay (see the README)\n"
                "  --screenshot   write what the control shows as a picture, its type by the\n"
                "                 extension: %s\n",
                CQuillmarkOcxCtrl::kProgId, kDefaultWidth, kDefaultHeight, qm_picture_extensions().c_str());
  return text;
}

int usage(const std::string& why) { return qm_program_usage_error(kProgram, usage_text().c_str(), why); }

bool parse_size(const char* text, int& w, int& h) {
  char* end = nullptr;
  const long a = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long b = std::strtol(second, &end, 10);
  if (end == second || *end || a < 1 || b < 1 || a > kMaxSide || b > kMaxSide) return false;
  w = static_cast<int>(a);
  h = static_cast<int>(b);
  return true;
}

// kGoOn when the options parse, else the exit status (--help and --version
// answered, or a usage error).
int parse_options(int argc, char** argv, Options& o) {
  const std::string usage_now = usage_text();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    int status = 0;
    if (qm_program_standard_option(argv[i], kProgram, usage_now.c_str(), &status)) return status;
    if (a == "--headless") {
      // The display's own option (qm_display_start).
    } else if (a == "--size") {
      if (!has_value || !parse_size(argv[++i], o.width, o.height)) return usage("--size wants WIDTHxHEIGHT");
    } else if (a == "--progid") {
      if (!has_value || !*argv[i + 1]) return usage("--progid wants a prog id");
      o.progid = argv[++i];
    } else if (a == "--script") {
      if (!has_value) return usage("--script wants a file");
      o.script = argv[++i];
    } else if (a == "--screenshot") {
      if (!has_value) return usage("--screenshot wants a file");
      o.screenshot = argv[++i];
    } else if (!a.empty() && a[0] == '-') {
      return usage(qm_program_unknown_option(a));
    } else if (o.drawing.empty()) {
      o.drawing = a;
    } else {
      return usage("only one drawing can be opened");
    }
  }
  return kGoOn;
}

// A reason as one line of standard error (the control's messages break
// their lines for a message box).
std::string one_line(const std::string& gbk) {
  std::string text = qm_gbk_to_utf8(gbk);
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " ");
  return text;
}

bool open_drawing(const std::string& path) {
  if (is_file_ext(path.c_str(), "dwg")) {
    std::fprintf(stderr, "quillmark_host: %s: DWG drawings are not read; save it as DXF\n", path.c_str());
    return false;
  }
  CQuillView* view = CQuillView::current();
  if (!view) {
    std::fprintf(stderr, "quillmark_host: %s: the control has no view to open it in\n", path.c_str());
    return false;
  }
  // The view chooses the reader by the extension and tells the user (a
  // message box) when the file cannot be read, with the reader's reason.
  const size_t before = quill_file_failures().size();
  view->OpenDrawingByExtension(path.c_str());
  if (quill_file_failures().size() > before) {
    const std::string why = one_line(quill_file_failures().back().reason);
    std::fprintf(stderr, "quillmark_host: %s: %s\n", path.c_str(), why.c_str());
    quill_clear_file_failures();
    return false;
  }
  view->Invalidate(TRUE);
  return true;
}

// The control of that prog id, made through the registry and shown in the
// host window over its client area; null (having said why) when it is not
// registered or cannot be made.
IOleObject* create_control(const std::string& progid, CWnd& host) {
  CLSID clsid;
  const std::u16string name(progid.begin(), progid.end());
  HRESULT hr = CLSIDFromProgID(name.c_str(), &clsid);
  IOleObject* object = nullptr;
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&object));
  const std::string registry = qm_registry_path();
  if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG) {
    std::fprintf(stderr,
                 "quillmark_host: the control %s is not registered in %s; register it with: quillmark_register "
                 "[LIBRARY] (with QM_REGISTRY naming the same registry file)\n",
                 progid.c_str(), registry.c_str());
    return nullptr;
  }
  if (hr == REGDB_E_READREGDB) {
    std::fprintf(stderr, "quillmark_host: the registry cannot be read: %s\n", qm_com_last_error().c_str());
    return nullptr;
  }
  if (hr == CO_E_DLLNOTFOUND || hr == CO_E_ERRORINDLL) {
    std::fprintf(stderr, "quillmark_host: the control %s cannot be loaded: %s\n", progid.c_str(),
                 qm_com_last_error().c_str());
    return nullptr;
  }
  CRect client;
  host.GetClientRect(&client);
  if (SUCCEEDED(hr)) hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, host.m_hWnd, &client);
  if (FAILED(hr)) {
    std::fprintf(stderr, "quillmark_host: the control %s cannot be made (0x%08X)\n", progid.c_str(),
                 static_cast<unsigned>(hr));
    if (object) object->Release();
    return nullptr;
  }
  return object;
}

// Names every file the control could not write (or open) since the last
// call; false when there was one.
bool report_file_failures() {
  for (const Quill_File_Failure& f : quill_file_failures())
    std::fprintf(stderr, "quillmark_host: %s: %s\n", qm_gbk_to_utf8(f.path).c_str(), one_line(f.reason).c_str());
  const bool none = quill_file_failures().empty();
  quill_clear_file_failures();
  return none;
}

// A script is read whole; a larger one is refused with the limit.
bool read_script(const std::string& path, std::string& text) {
  std::string why;
  if (qm_read_script_text(path, text, why)) return true;
  std::fprintf(stderr, "quillmark_host: %s: %s\n", path.c_str(), why.c_str());
  return false;
}

bool write_screenshot(HWND control, const std::string& path) {
  const std::string refusal = quill_write_refusal(qm_map_user_path(path.c_str()));
  if (!refusal.empty()) {
    std::fprintf(stderr, "quillmark_host: %s: %s\n", path.c_str(), refusal.c_str());
    return false;
  }
  std::string error;
  Quill_Write_Check check;
  if (qm_save_window_picture(control, path, error)) return true;
  if (!check.refusal().empty()) error = path + ": " + check.refusal();
  std::fprintf(stderr, "quillmark_host: %s\n", error.c_str());
  return false;
}

// The container's top-level window. The control fills its client area, so a
// window the user resizes lays the control out again. Closing it (its close
// button, the window manager's close, a script's close step) first lets the
// control ask about unsaved changes, and a cancel keeps the window; once the
// window is gone, however it went, the program ends.
class Host_Window : public CWnd {
  DECLARE_MESSAGE_MAP()
 protected:
  afx_msg void OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(kQmControlChildId)))
      ::MoveWindow(control, 0, 0, cx, cy, TRUE);
  }
  afx_msg void OnClose() {
    CQuillView* view = CQuillView::current();
    if (view && !view->SaveModified()) return;
    DestroyWindow();
  }
  afx_msg void OnDestroy() {
    CWnd::OnDestroy();
    ::PostQuitMessage(0);
  }
};

BEGIN_MESSAGE_MAP(Host_Window, CWnd)
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

}  // namespace

int run(const Options& o, bool on_display) {
  std::vector<Host_Step> steps;
  if (!o.script.empty()) {
    std::string text, error;
    if (!read_script(o.script, text)) return 1;
    if (!parse_host_script(text, steps, error)) {
      std::fprintf(stderr, "quillmark_host: %s: %s\n", o.script.c_str(), error.c_str());
      return 2;
    }
  }

  CWinApp app("quillmark_host");
  Host_Window host;
  if (!host.CreateEx(0, nullptr, "Quillmark", WS_OVERLAPPED | WS_VISIBLE, 0, 0, o.width, o.height, nullptr, nullptr)) {
    std::fprintf(stderr, "quillmark_host: the host window cannot be made\n");
    return 1;
  }
  app.m_pMainWnd = &host;
  IOleObject* object = create_control(o.progid, host);
  COleControl* control = object ? dynamic_cast<COleControl*>(CWnd::FromHandlePermanent(
                                      ::GetDlgItem(host.m_hWnd, static_cast<int>(kQmControlChildId))))
                                : nullptr;
  if (!control) {
    if (object) {
      std::fprintf(stderr, "quillmark_host: %s is not a control this container can show\n", o.progid.c_str());
      object->Release();
    }
    host.DestroyWindow();
    return 1;
  }
  pump_host_messages();
  quill_guard_file(qm_map_user_path(o.drawing.c_str()), Quill_Guarded::kDrawing);
  quill_guard_file(qm_map_user_path(o.script.c_str()), Quill_Guarded::kScript);
  int status = 0;
  if (!o.drawing.empty() && !open_drawing(o.drawing)) status = 1;
  pump_host_messages();
  if (status == 0) {
    std::string error;
    if (!run_host_script(host.m_hWnd, control, steps, error)) {
      std::fprintf(stderr, "quillmark_host: %s: %s\n", o.script.c_str(), error.c_str());
      status = 2;
    }
  }
  pump_host_messages();
  // A script may close the window, as its user may; there is then nothing
  // left to show.
  const bool closed = !::IsWindow(host.m_hWnd);
  if (closed && !o.screenshot.empty())
    std::fprintf(stderr, "quillmark_host: %s: not written: the window was closed\n", o.screenshot.c_str());
  // The picture is taken when the drawing opened and the script ran, also
  // when one of the control's writes failed.
  const bool take_picture = status == 0 && !closed && !o.screenshot.empty();
  if (!report_file_failures() && status == 0) status = 1;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "quillmark_host: cannot write to standard output: %s\n",
                 std::strerror(host_output_error() ? host_output_error() : EIO));
    if (status == 0) status = 1;
  }
  if (take_picture && !write_screenshot(control->m_hWnd, o.screenshot)) status = 1;
  if (status == 0 && on_display && !closed) {
    // The user's turn, until the window is closed.
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  // The container holds the control object: it goes after its window.
  if (::IsWindow(host.m_hWnd)) host.DestroyWindow();
  object->Release();
  AfxDeleteTempObjects();
  CoFreeUnusedLibraries();
  return status;
}

int main(int argc, char** argv) {
  // The command line is read before any display is opened: --help, --version
  // and a usage error need none.
  Options o;
  const int parsed = parse_options(argc, argv, o);
  if (parsed != kGoOn) return parsed;
  const QmBackend backend = qm_display_start(&argc, argv);
  if (backend == QM_BACKEND_FAILED) return 1;
  int status = run(o, backend == QM_BACKEND_X11);
  if (!qm_display_stop() && status == 0) status = 1;
  return status;
}
