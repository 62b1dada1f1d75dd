// fontlathe: the font tool. Without arguments (or with --dialog) it runs its
// dialog; the command line does the same work for scripts: decompile a font,
// print the source of one code, or draw one code or one text as the dialog's
// preview does into a PNG picture. Status 0 on success, 1 when a file cannot
// be read or written, 2 (with the usage on standard error) for a command line
// that cannot be run.
#include <ximage.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <qm_display.h>
#include <qm_file.h>
#include <qm_script.h>
#include <qm_user.h>
#include "fonttool/program_output.h"
#include "fonttool/shp_writer.h"
#include "fonttool/tool_dialogs.h"

namespace {

using fontlathe::kFailed;
using fontlathe::kSucceeded;

const char kProgram[] = "fontlathe";
const char kVersion[] = "2.02";

const char kUsage[] =
    "usage: fontlathe [--dialog] [--headless] [--script FILE] [--screenshot PICTURE]\n"
    "       fontlathe [--] FONT.shx OUT.shp\n"
    "       fontlathe -c [--] FONT.shx HEXCODE\n"
    "       fontlathe -g [--] FONT.shx HEXCODE OUT.png\n"
    "       fontlathe -t [-b BIGFONT.shx] [--] FONT.shx TEXT OUT.png\n"
    "       fontlathe --help | --version\n"
    "Without arguments, or with --dialog, shows the dialog (on the X display\n"
    "DISPLAY names, unless --headless or QM_HEADLESS=1); --script replays the\n"
    "user's steps of FILE in it (as quillmark_host does) and --screenshot then\n"
    "writes what the dialog shows as a picture (.png, .bmp, .jpg, ... by its\n"
    "extension); headless the dialog then\n"
    "ends, on a display it stays for the user. Otherwise decompiles\n"
    "a compiled shape font into shape source (OUT.shp is replaced only once it is\n"
    "complete); with -c prints the source of the character HEXCODE (hexadecimal,\n"
    "0 to ffff); with -g draws that character, and with -t the text TEXT (with\n"
    "the big font for double-byte characters, the font itself when none is\n"
    "given), into the picture OUT.png (its type by the extension) as the dialog's\n"
    "preview shows them.\n";

// What the dialog is asked to do before its user has it.
struct DialogRun {
  std::vector<QmScriptStep> steps;
  std::string script, screenshot;
  bool scripted = false, on_display = false;
  int status = fontlathe::kSucceeded;
};

// The application: one modal dialog, and the program ends when it closes.
class CDecompilerApp : public CWinApp {
 public:
  explicit CDecompilerApp(DialogRun& run) : run_(run) {}
  BOOL InitInstance() override {
    fontlathe::RegisterToolResources();
    fontlathe::CMainDialog dialog;
    m_pMainWnd = &dialog;
    if (run_.scripted) AfxPushDialogScript(fontlathe::kDialogMain, [this](CDialog& d) { Replay(d); });
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
  }

 private:
  // The script's steps in the dialog once it shows, then its picture; on a
  // display the user goes on from there.
  void Replay(CDialog& d) {
    if (HWND first = ::GetNextDlgTabItem(d.m_hWnd, nullptr, FALSE)) qm_user_focus_dialog_item(first);
    qm_pump_messages();
    std::string error;
    if (!qm_run_script(d.m_hWnd, run_.steps, {}, error)) {
      std::fprintf(stderr, "%s: %s: %s\n", kProgram, run_.script.c_str(), error.c_str());
      run_.status = fontlathe::kUsageError;
      return;
    }
    qm_pump_messages();
    if (!d.m_hWnd || d.ended()) {
      if (!run_.screenshot.empty()) {
        std::fprintf(stderr, "%s: %s: the script closed the dialog before its picture\n", kProgram,
                     run_.screenshot.c_str());
        run_.status = kFailed;
      }
      return;
    }
    if (!run_.screenshot.empty() && !qm_save_window_picture(d.m_hWnd, run_.screenshot, error)) {
      std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
      run_.status = kFailed;
      return;
    }
    if (run_.on_display) qm_user_run_modal(d.m_hWnd, d.m_hWnd, [&d] { return d.ended() != FALSE; });
  }

  DialogRun& run_;
};

int UsageError(const std::string& what) { return fontlathe::UsageError(kProgram, kUsage, what); }
int Failure(const std::string& what) { return fontlathe::Failure(kProgram, what); }

// The canvas as a PNG picture at path, never over one of the fonts.
int WritePicture(const CPreviewCanvas& canvas, const char* path, const std::vector<const char*>& fonts) {
  for (const char* font : fonts) {
    if (qm_same_file(font, path))
      return Failure(std::string("cannot write ") + path + " (it is the font " + font + ")");
  }
  const DWORD format = qm_picture_format(path);
  if (format == CXIMAGE_FORMAT_UNKNOWN)
    return Failure(std::string("cannot write ") + path + ": no picture type has this extension; name it with one of " +
                   qm_picture_extensions());
  CxImage picture;
  errno = 0;
  if (!picture.CreateFromHBITMAP(canvas.bitmap()) || !picture.Save(path, format)) {
    const int err = errno;
    return Failure(std::string("cannot write ") + path + (err != 0 ? " (" + qm_file_error(path, err) + ")" : ""));
  }
  return kSucceeded;
}

// No arguments but --dialog, --headless (no display), --script FILE and
// --screenshot PICTURE, each once.
bool AsksForDialog(int argc, char** argv) {
  int dialog = 0, headless = 0, script = 0, screenshot = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dialog") == 0) ++dialog;
    else if (std::strcmp(argv[i], "--headless") == 0) ++headless;
    else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) ++script, ++i;
    else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) ++screenshot, ++i;
    else return false;
  }
  return dialog <= 1 && headless <= 1 && script <= 1 && screenshot <= 1;
}

// The dialog with what the command line asks of it; the exit status.
int RunDialog(int argc, char** argv) {
  DialogRun run;
  for (int i = 1; i + 1 < argc; ++i) {
    const bool script = std::strcmp(argv[i], "--script") == 0;
    if (!script && std::strcmp(argv[i], "--screenshot") != 0) continue;
    (script ? run.script : run.screenshot) = argv[++i];
    if (argv[i][0] == '\0')
      return UsageError(script ? "the script file name is empty" : "the picture file name is empty");
    run.scripted = true;
  }
  if (!run.script.empty()) {
    std::string error;
    bool unreadable = false;
    if (!qm_load_script(run.script, {}, run.steps, error, unreadable)) {
      std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
      return unreadable ? kFailed : fontlathe::kUsageError;
    }
  }
  // The dialog shows on the display the environment names (qm_display.h).
  const QmBackend backend = qm_display_start(&argc, argv);
  if (backend == QM_BACKEND_FAILED) return kFailed;
  run.on_display = backend == QM_BACKEND_X11;
  CDecompilerApp app(run);
  app.InitInstance();
  return qm_display_stop() ? run.status : kFailed;
}

struct CommandLine {
  char form = 'd';  // 'd' decompile, 'c' code source, 'g' code picture, 't' text picture
  const char* big_font = nullptr;
  std::vector<const char*> operands;
};

}  // namespace

int main(int argc, char** argv) {
  if (AsksForDialog(argc, argv)) return RunDialog(argc, argv);
  CommandLine line;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!options || arg[0] != '-' || arg[1] == '\0') {
      line.operands.push_back(arg);
    } else if (std::strcmp(arg, "--") == 0) {
      options = false;
    } else if (std::strcmp(arg, "-c") == 0 || std::strcmp(arg, "-g") == 0 || std::strcmp(arg, "-t") == 0) {
      if (line.form != 'd' && line.form != arg[1])
        return UsageError(std::string("'") + arg + "' cannot go with '-" + line.form + "'");
      line.form = arg[1];
    } else if (std::strcmp(arg, "-b") == 0) {
      if (i + 1 >= argc) return UsageError("'-b' needs the big font file");
      line.big_font = argv[++i];
    } else if (int status = 0; qm_program_standard_option(arg, kProgram, kUsage, &status, kVersion)) {
      return status;
    } else if (std::strcmp(arg, "--headless") == 0) {
      // The command line shows nothing on any display.
    } else if (std::strcmp(arg, "--dialog") == 0) {
      return UsageError("'--dialog' takes no other arguments");
    } else if (std::strcmp(arg, "--script") == 0 || std::strcmp(arg, "--screenshot") == 0) {
      return UsageError(std::string("'") + arg + (i + 1 < argc ? "' goes only with the dialog" : "' needs a file"));
    } else {
      return UsageError(qm_program_unknown_option(arg));
    }
  }
  if (line.big_font != nullptr && line.form != 't') return UsageError("'-b' goes only with '-t'");

  struct Form {
    char form;
    std::vector<const char*> names;
  };
  const Form forms[] = {{'d', {"font file", "output file"}},
                        {'c', {"font file", "code"}},
                        {'g', {"font file", "code", "picture file"}},
                        {'t', {"font file", "text", "picture file"}}};
  const std::vector<const char*>* names = nullptr;
  for (const Form& f : forms)
    if (f.form == line.form) names = &f.names;
  const std::vector<const char*>& ops = line.operands;
  if (ops.size() < names->size()) {
    std::string missing;
    for (size_t i = ops.size(); i < names->size(); ++i)
      missing += std::string(missing.empty() ? "" : i + 1 == names->size() ? " and the " : ", the ") + (*names)[i];
    return UsageError("missing the " + missing);
  }
  if (ops.size() > names->size()) return UsageError(std::string("too many arguments: '") + ops[names->size()] + "'");
  if (ops[0][0] == '\0') return UsageError("the font file name is empty");
  if (line.big_font != nullptr && line.big_font[0] == '\0') return UsageError("the big font file name is empty");
  if ((line.form == 'c' || line.form == 'g')) {
    uint32_t code = 0;
    if (!fontlathe::ParseShapeCode(ops[1], &code))
      return UsageError(std::string("invalid code '") + ops[1] + "' (hexadecimal, 0 to ffff)");
  }
  if (line.form == 'd' && ops[1][0] == '\0') return UsageError("the output file name is empty");
  if ((line.form == 'g' || line.form == 't') && ops[2][0] == '\0') return UsageError("the picture file name is empty");

  std::string message;
  switch (line.form) {
    case 'd': {
      const bool ok = fontlathe::DecompileFontFile(ops[0], ops[1], message);
      return fontlathe::Finish(kProgram, ok, message, "\n");  // ends the progress marks
    }
    case 'c': {
      const bool ok = fontlathe::DecodeCodeView(ops[0], ops[1], message);
      return fontlathe::Finish(kProgram, ok, message);
    }
    default: break;
  }
  // Command-line text is UTF-8, as names are; a text picture is as wide as
  // its text.
  const fontlathe::TextEncoding utf8 = fontlathe::TextEncoding::kUtf8;
  const CSize size = fontlathe::CanvasSize();
  const int width = line.form == 't' ? fontlathe::TextLineWidth(ops[0], line.big_font, ops[1], utf8, size.cx, size.cy)
                                     : size.cx;
  CPreviewCanvas canvas;
  if (!canvas.Create(width, size.cy)) return Failure("cannot make the picture");
  canvas.DrawGuideLine();
  bool drawn;
  if (line.form == 'g') {
    drawn = fontlathe::DrawCodeGlyph(canvas, ops[0], ops[1], &message);
  } else {
    drawn = fontlathe::DrawTextLine(canvas, ops[0], line.big_font, ops[1], &message, utf8);
  }
  if (!drawn) return Failure(message.empty() ? std::string("cannot draw with ") + ops[0] : message);
  std::vector<const char*> fonts = {ops[0]};
  if (line.big_font != nullptr) fonts.push_back(line.big_font);
  return WritePicture(canvas, ops[2], fonts);
}
