// The font tool's dialogs. The main dialog keeps its long-standing texts
// verbatim (tooltips included, with their spelling) because users know the
// tool by them.
#include "fonttool/tool_dialogs.h"

#include <commdlg.h>
#include <qm_user.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "fonttool/shape_interpreter.h"
#include "fonttool/shp_writer.h"

namespace fontlathe {

namespace {

const char kTitle[] = "fontlathe";
const char kShxFilter[] = "Compiled shape File (*.shx)|*.shx||";
const char kOutputCaption[] = "SH&P Filename...";
const char kBigCaption[] = "&BIG Filename...";

// What each mode shows: the second file button, the text edit with its
// label, the result text or the canvas, and the run button's caption.
struct ModeLook {
  const char* second_caption;
  bool second_enabled;
  bool text_enabled;
  const char* label;  // null: the label keeps its text
  bool empty_text;
  bool result_shown;
  const char* run_caption;
};
const ModeLook kModeLooks[] = {
    {kOutputCaption, true, false, nullptr, false, true, "Decompile"},
    {kBigCaption, false, true, "HEX Code", true, false, "CodeView"},
    {kBigCaption, true, true, "Preview", false, false, "TextView"},
};

struct Tip {
  UINT id;
  const char* text;
};
const Tip kTips[] = {
    {kButtonExit, "Exit"},
    {kRadioDecompile, "Decompile the compiled shape file to shape file"},
    {kRadioCodeView, "View the graph of the gived hex code and\nget the decompiled codes of the hex code"},
    {kRadioPreview,
     "View the graph of  the text string .If it is\n a bigfont,you must specify both  the "
     "regular font and the bigfont file "},
    {kButtonFont, "Select the regular font file."},
    {kEditFont, "Fill the shx font filename in"},
    {kButtonSecond, "Select the bigfont file or the shape file path"},
    {kEditSecond, "Fill the shp font filename or the big font filename in"},
    {kStaticResult, "View the text's graph or view the result of decompile operation"},
    {kEditText, "Fill in the preview text string or hex code of the text"},
    {kButtonRun, "Do the selected function!"},
};

// What the user may type into each edit; the result text has no limit, so a
// long message is shown whole.
const std::pair<UINT, WPARAM> kTypingLimits[] = {{kEditText, 40}, {kEditSecond, 1024}, {kEditFont, 260}};

constexpr UINT kNoId = 0xFFFF;
constexpr DWORD kEditStyle = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
// The second edit shows the code view's source as well as a path: rows that
// wrap, so a long path or the source's token line shows whole, read-only
// while it is the code view.
constexpr DWORD kSecondStyle = ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

bool IsHexText(const CString& text) {
  if (text.GetLength() > 4) return false;
  for (int i = 0; i < text.GetLength(); ++i) {
    const int c = std::toupper(static_cast<unsigned char>(text[i]));
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

void RegisterToolResources() {
  QmDialogTemplate main{kDialogMain, kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 203, 127, {}, DialogFont()};
  main.items = {
      {kNoId, WC_BUTTONA, "Function select", BS_GROUPBOX, 7, 1, 189, 21},
      {kRadioDecompile, WC_BUTTONA, "&File decompile", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 12, 10, 62, 10},
      {kRadioCodeView, WC_BUTTONA, "&Code view", BS_AUTORADIOBUTTON, 80, 10, 50, 10},
      {kRadioPreview, WC_BUTTONA, "Pre&view", BS_AUTORADIOBUTTON, 136, 10, 50, 10},
      {kNoId, WC_BUTTONA, "", BS_GROUPBOX | WS_GROUP, 7, 23, 189, 43},
      {kButtonFont, WC_BUTTONA, "SH&X Filename...", BS_PUSHBUTTON | WS_TABSTOP, 12, 29, 62, 12},
      {kEditFont, WC_EDITA, "", kEditStyle, 78, 29, 113, 12},
      {kButtonSecond, WC_BUTTONA, kOutputCaption, BS_PUSHBUTTON | WS_TABSTOP, 12, 43, 62, 12},
      {kEditSecond, WC_EDITA, "", kSecondStyle, 78, 43, 113, 21},
      {kNoId, WC_BUTTONA, "", BS_GROUPBOX, 7, 67, 189, 58},
      {kStaticResult, WC_STATICA, "", SS_LEFT, kCanvasX, kCanvasY, kCanvasCx, kCanvasCy},
      {kLabelText, WC_STATICA, "Preview", SS_LEFT, 12, 109, 30, 8},
      {kEditText, WC_EDITA, "", kEditStyle, 44, 107, 60, 12},
      {kButtonRun, WC_BUTTONA, "&Decompile", BS_DEFPUSHBUTTON | WS_TABSTOP, 108, 106, 40, 14},
      {kButtonExit, WC_BUTTONA, "&Exit", BS_PUSHBUTTON | WS_TABSTOP, 152, 106, 40, 14},
  };
  AfxRegisterDialog(main);

  QmDialogTemplate about{kDialogAbout, "About fontlathe", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 201, 55, {}, DialogFont()};
  about.items = {
      {kNoId, WC_STATICA, kIconProgramName, SS_ICON, 11, 17, 20, 20},
      {kNoId, WC_STATICA, "fontlathe Version 2.02", SS_LEFT, 40, 10, 119, 8},
      {kNoId, WC_STATICA, "Decompiles and previews compiled shape fonts", SS_LEFT, 40, 22, 150, 8},
      {kNoId, WC_STATICA, "Copyright (C) 2026", SS_LEFT, 40, 34, 119, 8},
      {IDOK, WC_BUTTONA, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 162, 7, 32, 14},
  };
  AfxRegisterDialog(about);
  qm_user_register_picture(QmPicture::kIcon, MAKEINTRESOURCEA(kIconProgram), "icon_fontlathe.png");

  for (const Tip& tip : kTips) AfxRegisterString(tip.id, tip.text);
  AfxRegisterString(kStringTitle, kTitle);
  AfxRegisterString(kStringAboutItem, "&About fontlathe...");
}

const QmDialogFont& DialogFont() {
  static const QmDialogFont font{"MS Sans Serif", 8};
  return font;
}

CSize CanvasSize() {
  const QmDialogUnits u = AfxDialogUnits(DialogFont());
  return CSize(u.x(kCanvasCx), u.y(kCanvasCy));
}

bool DrawCodeGlyph(CPreviewCanvas& canvas, const char* fontPath, const char* hexCode, std::string* message) {
  double x = 3, y = 0.75 * canvas.height();
  return DrawCodeView(fontPath, hexCode, *message, &x, &y, CharacterStyle(), 0.4 * canvas.height(), &canvas);
}

namespace {

// Draws nothing; notes how far right the strokes reach.
class ReachCanvas : public ShapeCanvas {
 public:
  void DrawSegment(int x0, int, int x1, int) override { right = std::max(right, std::max(x0, x1)); }
  int right = 0;
};

bool DrawTextLineAt(ShapeCanvas* canvas, int height, const char* fontPath, const char* bigFontPath, const char* text,
                    std::string* message, TextEncoding encoding, double* x) {
  double y = 0.75 * height;
  *x = 3;
  const char* big = bigFontPath != nullptr && bigFontPath[0] != '\0' ? bigFontPath : fontPath;
  return PreviewText(fontPath, big, text, message, x, &y, CharacterStyle(), 0.6 * height, canvas, encoding);
}

}  // namespace

bool DrawTextLine(CPreviewCanvas& canvas, const char* fontPath, const char* bigFontPath, const char* text,
                  std::string* message, TextEncoding encoding) {
  double x;
  return DrawTextLineAt(&canvas, canvas.height(), fontPath, bigFontPath, text, message, encoding, &x);
}

int TextLineWidth(const char* fontPath, const char* bigFontPath, const char* text, TextEncoding encoding,
                  int minWidth, int height) {
  ReachCanvas reach;
  std::string ignored;
  double x;
  DrawTextLineAt(&reach, height, fontPath, bigFontPath, text, &ignored, encoding, &x);
  const double right = std::max(static_cast<double>(reach.right), x) + 4;  // the margin on the left too
  return right < minWidth ? minWidth : right > kMaxCanvasWidth ? kMaxCanvasWidth : static_cast<int>(right);
}

// ---- The tooltip dialog ----

BOOL CToolTipDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  tips_.Create(this);
  tips_.Activate(tips_on_);
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    CString text;
    const int id = ::GetDlgCtrlID(child);
    if (id > 0 && text.LoadString(static_cast<UINT>(id))) tips_.AddTool(CWnd::FromHandle(child), text);
  }
  return TRUE;
}

BOOL CToolTipDialog::PreTranslateMessage(MSG* msg) {
  // The tooltip control sees the mouse as its tools do: each message is
  // relayed as from the dialog's child that holds the window it is for.
  if (tips_on_ && tips_.m_hWnd && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) {
    MSG relayed = *msg;
    for (HWND h = msg->hwnd; h && h != m_hWnd; h = ::GetParent(h))
      if (::GetParent(h) == m_hWnd) {
        POINT p = {static_cast<SHORT>(LOWORD(msg->lParam)), static_cast<SHORT>(HIWORD(msg->lParam))};
        ::ClientToScreen(msg->hwnd, &p);
        ::ScreenToClient(h, &p);
        relayed.hwnd = h;
        relayed.lParam = MAKELPARAM(p.x, p.y);
        break;
      }
    tips_.RelayEvent(&relayed);
  }
  return CDialog::PreTranslateMessage(msg);
}

CString CToolTipDialog::TipOf(UINT id) const {
  CString text;
  if (CWnd* control = GetDlgItem(static_cast<int>(id))) tips_.GetText(text, control);
  return text;
}

// ---- The folder chooser ----

CFolderDialog::CFolderDialog(const char* caption, const char* title, const char* initialFolder, CWnd* owner,
                             char separator)
    : caption_(caption ? caption : ""),
      title_(title ? title : ""),
      initial_(WithoutTrailingSeparator(initialFolder ? initialFolder : "", separator)),
      owner_(owner) {}

bool CFolderDialog::Browse() {
  LPITEMIDLIST root_item = nullptr;
  if (!root.empty()) {
    root_item = ILCreateFromPathA(root.c_str());
    if (root_item == nullptr) return false;
  }
  char display_name[MAX_PATH] = "";
  BROWSEINFOA bi = {};
  bi.hwndOwner = owner_ != nullptr ? owner_->m_hWnd : nullptr;
  bi.pidlRoot = root_item;
  bi.pszDisplayName = display_name;
  bi.lpszTitle = title_.empty() ? "Open" : title_.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | (show_status ? BIF_STATUSTEXT : 0);
  bi.lpfn = &CFolderDialog::Callback;
  bi.lParam = reinterpret_cast<LPARAM>(this);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&bi);
  bool ok = false;
  if (chosen != nullptr) {
    char path[MAX_PATH] = "";
    ok = SHGetPathFromIDListA(chosen, path) != FALSE;
    if (ok) selected_ = path;
    image_index = bi.iImage;
    ILFree(chosen);
  }
  ILFree(root_item);
  return ok;
}

int CFolderDialog::Callback(HWND browser, UINT msg, LPARAM lparam, LPARAM data) {
  CFolderDialog* self = reinterpret_cast<CFolderDialog*>(data);
  if (msg == BFFM_INITIALIZED) {
    if (!self->initial_.empty())
      ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->initial_.c_str()));
    if (!self->caption_.empty()) ::SetWindowTextA(browser, self->caption_.c_str());
  } else if (msg == BFFM_SELCHANGED) {
    char path[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lparam), path)) path[0] = '\0';
    const bool valid = self->Validate(path);
    if (self->show_status) ::SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    ::SendMessageA(browser, BFFM_ENABLEOK, 0, valid ? 1 : 0);
  }
  return 0;
}

// ---- The main dialog ----

BEGIN_MESSAGE_MAP(CMainDialog, CToolTipDialog)
ON_MESSAGE(WM_SYSCOMMAND, OnSysCommandMessage)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(kButtonFont, OnChooseFont)
ON_BN_CLICKED(kButtonSecond, OnChooseSecond)
ON_EN_CHANGE(kEditText, OnTextChange)
ON_EN_UPDATE(kEditText, OnTextUpdate)
ON_COMMAND_RANGE(kRadioDecompile, kRadioPreview, OnMode)
ON_BN_CLICKED(kButtonRun, OnRun)
END_MESSAGE_MAP()

CMainDialog::CMainDialog(CWnd* parent, char separator) : CToolTipDialog(kDialogMain, parent), separator_(separator) {}

void CMainDialog::DoDataExchange(CDataExchange* dx) {
  CToolTipDialog::DoDataExchange(dx);
  DDX_Radio(dx, kRadioDecompile, mode_);
  DDX_Text(dx, kStaticResult, result_);
  DDX_Text(dx, kEditText, text_);
  DDX_Text(dx, kEditSecond, second_);
  DDX_Text(dx, kEditFont, font_);
}

// Filling a control reports its change, whose handler reads the controls
// back; inside an exchange that read would overwrite members not yet
// written out, so it waits for the exchange to end.
BOOL CMainDialog::UpdateData(BOOL save) {
  if (exchanging_) return TRUE;
  exchanging_ = true;
  const BOOL ok = CToolTipDialog::UpdateData(save);
  exchanging_ = false;
  return ok;
}

BOOL CMainDialog::OnInitDialog() {
  CToolTipDialog::OnInitDialog();
  CString title;
  if (title.LoadString(kStringTitle)) SetWindowText(title);
  SetDlgItemText(kButtonSecond, kOutputCaption);
  GetDlgItem(kEditText)->EnableWindow(FALSE);
  GetDlgItem(kLabelText)->EnableWindow(FALSE);
  SetDlgItemText(kEditSecond, "");
  SetDlgItemText(kStaticResult, "");
  for (const auto& [id, limit] : kTypingLimits) ::SendMessageA(::GetDlgItem(m_hWnd, id), EM_LIMITTEXT, limit, 0);
  char directory[MAX_PATH] = "";
  if (::GetCurrentDirectoryA(sizeof directory, directory) != 0) last_directory_ = directory;
  GetDlgItem(kStaticResult)->GetWindowRect(&canvas_rect_);
  ScreenToClient(&canvas_rect_);
  canvas_.Create(canvas_rect_.Width(), canvas_rect_.Height());
  CString about;
  if (CMenu* system = GetSystemMenu(FALSE); system && about.LoadString(kStringAboutItem)) {
    system->AppendMenu(MF_SEPARATOR);
    system->AppendMenu(MF_STRING, kCommandAbout, about);
  }
  icon_ = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kIconProgram));
  SetIcon(icon_, TRUE);
  SetIcon(icon_, FALSE);
  return TRUE;
}

LRESULT CMainDialog::OnSysCommandMessage(WPARAM w, LPARAM) {
  if ((w & 0xFFF0) == kCommandAbout) {
    CAboutDialog about(this);
    about.DoModal();
    return 0;
  }
  return Default();
}

void CMainDialog::OnPaint() {
  CPaintDC dc(this);
  if (IsIconic()) {
    // Minimised: the program icon in the middle of what shows.
    CRect client;
    GetClientRect(&client);
    ::DrawIcon(dc.m_hDC, (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2,
               (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2, icon_);
    return;
  }
  if (canvas_.dc() != nullptr) {
    ::BitBlt(dc.m_hDC, canvas_rect_.left, canvas_rect_.top, canvas_.width(), canvas_.height(), canvas_.dc(), 0, 0,
             SRCCOPY);
  }
}

HCURSOR CMainDialog::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(icon_); }

bool CMainDialog::ChooseShx(const char* title, CString* path) {
  std::string filter = kShxFilter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  char file[MAX_PATH] = "";
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = last_directory_;
  ofn.lpstrTitle = title;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameA(&ofn)) return false;
  *path = file;
  return true;
}

void CMainDialog::OnChooseFont() {
  CString path;
  if (!ChooseShx("Please select a SHX file", &path)) return;
  font_path_ = path;
  file_name_ = FileNameOf(path.str(), separator_);
  last_directory_ = FolderOf(path.str(), separator_);
  SetDlgItemText(kEditFont, font_path_);
  if (mode_ == kModeDecompile) {
    output_path_ = SourcePathBesideFont(path.str());
    SetDlgItemText(kEditSecond, output_path_);
  }
}

void CMainDialog::OnChooseSecond() {
  if (mode_ == kModeDecompile) {
    // The font field as it stands, chosen or typed, names the file: the
    // source is named after it and the chooser starts in its folder.
    CString typed;
    GetDlgItemText(kEditFont, typed);
    if (!typed.IsEmpty() && typed.str() != font_path_.str()) {
      font_path_ = typed;
      file_name_ = FileNameOf(typed.str(), separator_);
      last_directory_ = FolderOf(typed.str(), separator_);
    }
    CFolderDialog chooser("Please select a folder", "SHP file directory:", last_directory_, this, separator_);
    if (!chooser.Browse()) return;
    last_directory_ = chooser.SelectedPath();
    output_path_ = SourcePathInFolder(chooser.SelectedPath(), file_name_.str(), separator_);
    SetDlgItemText(kEditSecond, output_path_);
  } else if (mode_ == kModePreview) {
    CString path;
    if (!ChooseShx("Please select a BIG Shx file", &path)) return;
    last_directory_ = FolderOf(path.str(), separator_);
    SetDlgItemText(kEditSecond, path);
  }
}

void CMainDialog::OnTextChange() {
  GetDlgItemText(kEditText, text_);
  UpdateData(TRUE);
}

void CMainDialog::OnTextUpdate() {
  if (mode_ != kModeCodeView) return;
  HWND edit = ::GetDlgItem(m_hWnd, kEditText);
  DWORD start = 0, end = 0;
  ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  CString typed;
  GetDlgItemText(kEditText, typed);
  if (IsHexText(typed)) return;
  // The last text accepted is the member, which the change handler keeps
  // (checked too, so that putting it back can never be refused in turn).
  SetDlgItemText(kEditText, IsHexText(text_) ? text_ : CString());
  ::SendMessageA(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
}

void CMainDialog::OnMode(UINT id) {
  const int chosen = static_cast<int>(id - kRadioDecompile);
  if (chosen == mode_) return;
  mode_ = chosen;
  SetMode(chosen);
}

void CMainDialog::SetMode(int mode) {
  const ModeLook& look = kModeLooks[mode];
  SetDlgItemText(kButtonSecond, look.second_caption);
  GetDlgItem(kButtonSecond)->EnableWindow(look.second_enabled);
  SetDlgItemText(kEditSecond, "");
  ::SendMessageA(::GetDlgItem(m_hWnd, kEditSecond), EM_SETREADONLY, mode == kModeCodeView, 0);
  if (mode == kModeDecompile) output_path_.Empty();
  GetDlgItem(kEditText)->EnableWindow(look.text_enabled);
  GetDlgItem(kLabelText)->EnableWindow(look.text_enabled);
  if (look.label != nullptr) SetDlgItemText(kLabelText, look.label);
  if (look.empty_text) SetDlgItemText(kEditText, "");
  CWnd* result = GetDlgItem(kStaticResult);
  if (look.result_shown) {
    SetDlgItemText(kStaticResult, "");
    result->ShowWindow(SW_SHOW);
  } else {
    result->ShowWindow(SW_HIDE);
    canvas_.Clear();
    ShowCanvas();
  }
  SetDlgItemText(kButtonRun, look.run_caption);
}

void CMainDialog::ShowCanvas() {
  InvalidateRect(&canvas_rect_, FALSE);
  UpdateWindow();
}

void CMainDialog::OnRun() {
  switch (mode_) {
    case kModeDecompile: RunDecompile(); break;
    case kModeCodeView: RunCodeView(); break;
    case kModePreview: RunPreview(); break;
    default: break;
  }
}

void CMainDialog::RunDecompile() {
  UpdateData(TRUE);
  if (font_.IsEmpty() || second_.IsEmpty()) {
    Error("Wrong filename");
    return;
  }
  SetDlgItemText(kStaticResult, "Please wait...");
  GetDlgItem(kStaticResult)->UpdateWindow();
  BeginWaitCursor();
  // A file that cannot be read or written ends this run with the reason; the
  // dialog stays for the next one.
  std::string message;
  DecompileFontFile(font_, second_, message);
  EndWaitCursor();
  result_ = message;
  SetDlgItemText(kStaticResult, result_);
}

void CMainDialog::RunCodeView() {
  canvas_.Clear();
  canvas_.DrawGuideLine();
  UpdateData(TRUE);
  SetDlgItemText(kEditSecond, "");
  if (font_.IsEmpty()) {
    Error("Wrong filename");
  } else if (text_.IsEmpty()) {
    Error("Wrong HEX Code");
  } else {
    std::string source;
    if (!DecodeCodeView(font_, text_, source)) {
      Error(source.c_str());
    } else {
      SetDlgItemText(kEditSecond, source.c_str());
      std::string message;
      if (!DrawCodeGlyph(canvas_, font_, text_, &message)) Error(message.c_str());
    }
  }
  ShowCanvas();
}

void CMainDialog::RunPreview() {
  CString text, font, big;
  GetDlgItemText(kEditText, text);
  canvas_.Clear();
  canvas_.DrawGuideLine();
  if (!text.IsEmpty()) {
    GetDlgItemText(kEditFont, font);
    GetDlgItemText(kEditSecond, big);
    if (font.IsEmpty()) {
      Error("Wrong filename");
    } else {
      // The canvas shows what could be drawn; a font that could not be read
      // is said as well.
      std::string message;
      if (!DrawTextLine(canvas_, font, big, text, &message))
        Error(message.empty() ? "The font cannot be read" : message.c_str());
    }
  }
  ShowCanvas();
}

}  // namespace fontlathe
