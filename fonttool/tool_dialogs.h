// The font tool's dialogs: the main dialog with its three modes (decompile a
// font file, view one code, preview a text), the about box, the tooltip base
// they share and the folder chooser. The dialogs are templates in code on the
// class-library stand-ins, so they run headless and scripted as well.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <string>

#include "fonttool/preview_canvas.h"
#include "fonttool/shell_paths.h"

namespace fontlathe {

// Resource ids of the tool: dialogs, controls (whose ids also name their
// tooltip strings), strings and the about command of the system menu.
enum ToolResource : UINT {
  kDialogAbout = 100,
  kStringAboutItem = 101,
  kDialogMain = 102,
  kIconProgram = 128,  // registered as the picture icon_fontlathe.png
  kButtonExit = IDOK,
  kButtonFont = 1000,
  kEditFont = 1001,
  kButtonSecond = 1002,
  kEditSecond = 1003,
  kRadioDecompile = 1004,
  kRadioCodeView = 1005,
  kRadioPreview = 1006,
  kStaticResult = 1007,
  kButtonRun = 1008,
  kEditText = 1009,
  kStringTitle = 1011,
  kLabelText = 1015,
};
constexpr UINT kCommandAbout = 0x10;
// The program icon as a dialog's icon static names it.
constexpr const char* kIconProgramName = "#128";

enum ToolMode { kModeDecompile = 0, kModeCodeView = 1, kModePreview = 2 };

// The preview area (static 1007) in dialog units.
constexpr int kCanvasX = 12, kCanvasY = 74, kCanvasCx = 179, kCanvasCy = 30;
// The dialogs' font.
const QmDialogFont& DialogFont();
// The preview area's size in pixels, as the main dialog lays it out in its
// font.
CSize CanvasSize();

// Registers the dialogs and strings of the tool (once is enough; again does
// no harm).
void RegisterToolResources();

// The code view's glyph on the canvas: at (3, 0.75 x height), 0.4 x the
// canvas height tall. The drawing's message when it fails.
bool DrawCodeGlyph(CPreviewCanvas& canvas, const char* fontPath, const char* hexCode, std::string* message);
// A text on the canvas: at (3, 0.75 x height), 0.6 x the canvas height tall;
// the big font is the font itself when none is given.
bool DrawTextLine(CPreviewCanvas& canvas, const char* fontPath, const char* bigFontPath, const char* text,
                  std::string* message, TextEncoding encoding = TextEncoding::kGbk);
// The width a canvas `height` pixels tall needs to show the whole text as
// DrawTextLine draws it: at least `minWidth`, at most kMaxCanvasWidth.
constexpr int kMaxCanvasWidth = 16384;
int TextLineWidth(const char* fontPath, const char* bigFontPath, const char* text, TextEncoding encoding,
                  int minWidth, int height);

// A dialog whose controls show the string of their own id as a tooltip.
class CToolTipDialog : public CDialog {
 public:
  explicit CToolTipDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}
  BOOL OnInitDialog() override;
  // Relays the mouse to the tooltip control while tooltips are on.
  BOOL PreTranslateMessage(MSG* msg) override;
  // The tooltip of a control ("" for none), and the window it shows in.
  CString TipOf(UINT id) const;
  HWND TipWindow() const { return tips_.m_hWnd; }

 protected:
  CToolTipCtrl tips_;
  bool tips_on_ = true;
};

class CAboutDialog : public CToolTipDialog {
 public:
  explicit CAboutDialog(CWnd* parent = nullptr) : CToolTipDialog(kDialogAbout, parent) {}
};

// The shell's folder browser with a caption, a title and an initial folder.
class CFolderDialog {
 public:
  CFolderDialog(const char* caption, const char* title, const char* initialFolder, CWnd* owner = nullptr,
                char separator = kPathSeparator);
  // True when a folder was chosen (SelectedPath then names it).
  bool Browse();
  const std::string& SelectedPath() const { return selected_; }
  // Every folder may be chosen.
  virtual bool Validate(const char* /*path*/) { return true; }
  virtual ~CFolderDialog() = default;

  std::string root;          // the top of the tree, "" for all
  bool show_status = false;  // the selected folder shown as status text
  int image_index = 0;

 private:
  static int Callback(HWND browser, UINT msg, LPARAM lparam, LPARAM data);

  std::string caption_, title_, initial_, selected_;
  CWnd* owner_;
};

class CMainDialog : public CToolTipDialog {
  DECLARE_MESSAGE_MAP()
 public:
  // separator: of the paths the choosers hand back.
  explicit CMainDialog(CWnd* parent = nullptr, char separator = kPathSeparator);

  int mode() const { return mode_; }
  const CPreviewCanvas& canvas() const { return canvas_; }
  CRect canvas_rect() const { return canvas_rect_; }
  const CString& last_directory() const { return last_directory_; }

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL UpdateData(BOOL save = TRUE) override;

  afx_msg LRESULT OnSysCommandMessage(WPARAM w, LPARAM l);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnChooseFont();
  afx_msg void OnChooseSecond();
  afx_msg void OnTextChange();
  afx_msg void OnTextUpdate();
  afx_msg void OnMode(UINT id);
  afx_msg void OnRun();

 private:
  void SetMode(int mode);
  void RunDecompile();
  void RunCodeView();
  void RunPreview();
  void ShowCanvas();
  bool ChooseShx(const char* title, CString* path);
  void Error(const char* text) { MessageBox(text, "ERROR!", MB_OK); }

  char separator_;
  // Bound to the controls.
  CString result_;  // static 1007
  CString text_;    // edit 1009: the code or the preview text
  CString second_;  // edit 1003: output path, source text or big font
  CString font_;    // edit 1001
  int mode_ = kModeDecompile;
  // Of the choosers.
  CString font_path_, file_name_, output_path_, last_directory_;
  CPreviewCanvas canvas_;
  CRect canvas_rect_;
  HICON icon_ = nullptr;  // the program icon
  bool exchanging_ = false;
};

}  // namespace fontlathe
