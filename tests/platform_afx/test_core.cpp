// The class library's core: dynamic creation, message-map dispatch order,
// command routing with CCmdUI states, reflection, descendants, frames with
// their views, GBK strings, file finding and the profile store.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <qm_user.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string>& trace() {
  static std::vector<std::string> t;
  return t;
}

class AfxTest : public ::testing::Test {
 protected:
  void SetUp() override { trace().clear(); }
  void TearDown() override {
    AfxDeleteTempObjects();
    qm_user_reset();
    EXPECT_EQ(qm_user_window_count(), 0u);
  }
};

// Three levels of maps: Base handles size and timer, Middle overrides size
// and adds a message, Top adds mouse and a reflected handler.
class Base : public CWnd {
  DECLARE_DYNCREATE(Base)
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnSize(UINT, int cx, int cy) { trace().push_back("base size " + std::to_string(cx) + "x" + std::to_string(cy)); }
  afx_msg void OnTimer(UINT_PTR id) { trace().push_back("base timer " + std::to_string(id)); }
};
IMPLEMENT_DYNCREATE(Base, CWnd)
BEGIN_MESSAGE_MAP(Base, CWnd)
ON_WM_SIZE()
ON_WM_TIMER()
END_MESSAGE_MAP()

class Middle : public Base {
  DECLARE_DYNCREATE(Middle)
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnSize(UINT type, int cx, int cy) {
    trace().push_back("middle size");
    Base::OnSize(type, cx, cy);
  }
  afx_msg LRESULT OnPing(WPARAM w, LPARAM) { return static_cast<LRESULT>(w) * 2; }
  afx_msg LRESULT OnPingAgain(WPARAM, LPARAM) { return -1; }
};
IMPLEMENT_DYNCREATE(Middle, Base)
BEGIN_MESSAGE_MAP(Middle, Base)
ON_WM_SIZE()
ON_MESSAGE(WM_USER + 1, OnPing)
ON_MESSAGE(WM_USER + 1, OnPingAgain)  // never reached: the first entry wins
END_MESSAGE_MAP()

class Top : public Middle {
  DECLARE_DYNCREATE(Top)
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnLButtonDown(UINT flags, CPoint p) {
    trace().push_back("top down " + std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(flags));
  }
  afx_msg void OnSelChange() { trace().push_back("top reflected"); }
};
IMPLEMENT_DYNCREATE(Top, Middle)
BEGIN_MESSAGE_MAP(Top, Middle)
ON_WM_LBUTTONDOWN()
ON_CONTROL_REFLECT(LBN_SELCHANGE, OnSelChange)
END_MESSAGE_MAP()

TEST_F(AfxTest, RuntimeClassesCreateByClassAndName) {
  std::unique_ptr<CObject> obj(RUNTIME_CLASS(Top)->CreateObject());
  ASSERT_TRUE(obj);
  EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(Middle)));
  EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CWnd)));
  EXPECT_FALSE(obj->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
  EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, "Top");
  EXPECT_EQ(CRuntimeClass::FromName("Middle"), RUNTIME_CLASS(Middle));
  EXPECT_EQ(CRuntimeClass::FromName("Nothing"), nullptr);
  EXPECT_EQ(RUNTIME_CLASS(CCmdTarget)->CreateObject(), nullptr);  // not dynamically creatable
}

TEST_F(AfxTest, MessagesFindTheMostDerivedHandler) {
  Top w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "w", WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr));
  EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);
  trace().clear();
  ::MoveWindow(w.m_hWnd, 0, 0, 120, 60, TRUE);
  ::SendMessageA(w.m_hWnd, WM_TIMER, 7, 0);
  ::SendMessageA(w.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 9));
  const std::vector<std::string> want = {"middle size", "base size 120x60", "base timer 7", "top down -3,9 1"};
  EXPECT_EQ(trace(), want);
  EXPECT_EQ(::SendMessageA(w.m_hWnd, WM_USER + 1, 21, 0), 42);
  EXPECT_EQ(::SendMessageA(w.m_hWnd, WM_USER + 2, 21, 0), 0);  // no entry: the default procedure
  // Asked twice, the same answer.
  EXPECT_EQ(w.FindEntry(WM_SIZE, 0, 0), w.FindEntry(WM_SIZE, 0, 0));
  EXPECT_EQ(w.FindEntry(WM_PAINT, 0, 0), nullptr);
  w.DestroyWindow();
  EXPECT_EQ(w.m_hWnd, nullptr);
}

// A message handled while an object is still being made goes to the class
// it is at that moment; once made, the same message goes to its own class.
class SizedWhileMade : public Middle {
 public:
  SizedWhileMade() {
    LRESULT r = 0;
    OnWndMsg(WM_SIZE, 0, MAKELPARAM(1, 2), &r);
  }
};
class MadeInTwoSteps : public Base {
 public:
  MadeInTwoSteps() {
    LRESULT r = 0;
    OnWndMsg(WM_SIZE, 0, MAKELPARAM(3, 4), &r);  // as a Base
  }
};
class MadeInTwoStepsTop : public MadeInTwoSteps {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnSize(UINT, int, int) { trace().push_back("top size"); }
};
BEGIN_MESSAGE_MAP(MadeInTwoStepsTop, MadeInTwoSteps)
ON_WM_SIZE()
END_MESSAGE_MAP()

TEST_F(AfxTest, AnObjectBeingMadeIsAnsweredAsTheClassItIsThen) {
  MadeInTwoStepsTop w;
  LRESULT r = 0;
  EXPECT_TRUE(w.OnWndMsg(WM_SIZE, 0, MAKELPARAM(5, 6), &r));
  SizedWhileMade m;
  const std::vector<std::string> want = {"base size 3x4", "top size", "middle size", "base size 1x2"};
  EXPECT_EQ(trace(), want);
}

// ---- Command routing: view, then document, then frame, then application ----
enum : UINT { kCmdView = 100, kCmdDoc, kCmdFrame, kCmdApp, kCmdNone, kCmdRangeFirst = 200, kCmdRangeLast = 209 };

class App : public CWinApp {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnApp() { trace().push_back("app"); }
};
BEGIN_MESSAGE_MAP(App, CWinApp)
ON_COMMAND(kCmdApp, OnApp)
END_MESSAGE_MAP()

class Doc : public CDocument {
  DECLARE_DYNCREATE(Doc)
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnDoc() { trace().push_back("doc"); }
  afx_msg void OnView() { trace().push_back("doc shadowed"); }
};
IMPLEMENT_DYNCREATE(Doc, CDocument)
BEGIN_MESSAGE_MAP(Doc, CDocument)
ON_COMMAND(kCmdDoc, OnDoc)
ON_COMMAND(kCmdView, OnView)
END_MESSAGE_MAP()

class View : public CView {
  DECLARE_DYNCREATE(View)
  DECLARE_MESSAGE_MAP()
 public:
  static View* last;
  View() { last = this; }
  ~View() override {
    if (last == this) last = nullptr;
  }
  void OnDraw(CDC*) override { trace().push_back("draw"); }
  afx_msg void OnView() { trace().push_back("view"); }
  afx_msg void OnUpdateView(CCmdUI* ui) { ui->SetCheck(checked); }
  afx_msg void OnRange(UINT id) { trace().push_back("range " + std::to_string(id)); }
  int checked = 1;
};
View* View::last = nullptr;
IMPLEMENT_DYNCREATE(View, CView)
BEGIN_MESSAGE_MAP(View, CView)
ON_COMMAND(kCmdView, OnView)
ON_UPDATE_COMMAND_UI(kCmdView, OnUpdateView)
ON_COMMAND_RANGE(kCmdRangeFirst, kCmdRangeLast, OnRange)
END_MESSAGE_MAP()

class Frame : public CFrameWnd {
  DECLARE_DYNCREATE(Frame)
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg void OnFrame() { trace().push_back("frame"); }
  afx_msg void OnUpdateFrame(CCmdUI* ui) { ui->Enable(FALSE); }
};
IMPLEMENT_DYNCREATE(Frame, CFrameWnd)
BEGIN_MESSAGE_MAP(Frame, CFrameWnd)
ON_COMMAND(kCmdFrame, OnFrame)
ON_UPDATE_COMMAND_UI(kCmdFrame, OnUpdateFrame)
END_MESSAGE_MAP()

// A frame with a document and a view, as a document template makes them.
struct Hosted {
  App app;
  Doc doc;
  Frame* frame = new Frame;
  Hosted() {
    CCreateContext ctx;
    ctx.m_pNewViewClass = RUNTIME_CLASS(View);
    ctx.m_pCurrentDoc = &doc;
    ctx.m_pCurrentFrame = frame;
    EXPECT_TRUE(frame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr,
                              nullptr, 0, &ctx));
    app.m_pMainWnd = frame;
  }
  ~Hosted() {
    if (::IsWindow(frame_hwnd())) frame->DestroyWindow();
  }
  HWND frame_hwnd() const { return app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr; }
};

TEST_F(AfxTest, FrameCreatesItsViewOnTheDocument) {
  Hosted h;
  View* view = View::last;
  ASSERT_TRUE(view);
  EXPECT_EQ(h.frame->GetActiveView(), view);
  EXPECT_EQ(view->GetDocument(), &h.doc);
  EXPECT_EQ(h.doc.Views().size(), 1u);
  EXPECT_EQ(view->GetParentFrame(), h.frame);
  CRect frame_client, view_rect;
  h.frame->GetClientRect(&frame_client);
  view->GetClientRect(&view_rect);
  EXPECT_EQ(view_rect.Size(), frame_client.Size());
  ::MoveWindow(h.frame->m_hWnd, 0, 0, 400, 250, TRUE);  // the view follows
  h.frame->GetClientRect(&frame_client);
  view->GetClientRect(&view_rect);
  EXPECT_EQ(view_rect.Size(), frame_client.Size());
  view->Invalidate();
  ::UpdateWindow(view->m_hWnd);
  EXPECT_EQ(trace().back(), "draw");
  // Destroying the frame deletes the view and the frame, and leaves the
  // document without views.
  h.frame->DestroyWindow();
  EXPECT_EQ(View::last, nullptr);
  EXPECT_TRUE(h.doc.Views().empty());
  EXPECT_EQ(h.app.m_pMainWnd, nullptr);
}

TEST_F(AfxTest, CommandsRouteViewDocumentFrameApplication) {
  Hosted h;
  struct Case {
    UINT id;
    const char* handled_by;  // null: nobody
  } cases[] = {
      {kCmdView, "view"},  // the view comes before the document that also handles it
      {kCmdDoc, "doc"},
      {kCmdFrame, "frame"},
      {kCmdApp, "app"},
      {kCmdNone, nullptr},
      {kCmdRangeFirst + 3, "range 203"},
  };
  for (const Case& c : cases) {
    trace().clear();
    // As a menu or toolbar sends it: WM_COMMAND to the frame.
    ::SendMessageA(h.frame->m_hWnd, WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
    if (c.handled_by) {
      ASSERT_EQ(trace().size(), 1u) << c.id;
      EXPECT_EQ(trace()[0], c.handled_by);
    } else {
      EXPECT_TRUE(trace().empty()) << c.id;
    }
  }
}

TEST_F(AfxTest, CommandUiStatesFollowHandlers) {
  Hosted h;
  struct Case {
    UINT id;
    BOOL disable_if_no_handler;
    BOOL enabled;
    int checked;
  } cases[] = {
      {kCmdView, TRUE, TRUE, 1},    // the update handler checks it
      {kCmdFrame, TRUE, FALSE, 0},  // the update handler disables it
      {kCmdDoc, TRUE, TRUE, 0},     // no update handler, a command handler: enabled
      {kCmdApp, TRUE, TRUE, 0},
      {kCmdNone, TRUE, FALSE, 0},   // no handler at all: disabled
      {kCmdNone, FALSE, TRUE, 0},   // ... unless told to leave it
      {kCmdRangeFirst, TRUE, TRUE, 0},
  };
  for (const Case& c : cases) {
    QmStateCmdUI ui;
    ui.m_nID = c.id;
    ui.DoUpdate(h.frame, c.disable_if_no_handler);
    EXPECT_EQ(ui.enabled, c.enabled) << c.id;
    EXPECT_EQ(ui.checked, c.checked) << c.id;
  }
  View::last->checked = 0;
  QmStateCmdUI ui;
  ui.m_nID = kCmdView;
  trace().clear();
  ui.DoUpdate(h.frame, TRUE);
  EXPECT_EQ(ui.checked, 0);
  EXPECT_TRUE(trace().empty());  // asking never runs a command
}

TEST_F(AfxTest, ControlNotificationsAreReflectedFirst) {
  Hosted h;
  Top child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 10, 10), View::last, 55));
  trace().clear();
  ::SendMessageA(View::last->m_hWnd, WM_COMMAND, MAKEWPARAM(55, LBN_SELCHANGE), reinterpret_cast<LPARAM>(child.m_hWnd));
  EXPECT_EQ(trace(), std::vector<std::string>{"top reflected"});
  child.DestroyWindow();
}

// Counts WM_IDLEUPDATECMDUI per object.
class Counter : public CWnd {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg LRESULT OnIdle(WPARAM, LPARAM) {
    ++count;
    return 0;
  }
  int count = 0;
};
BEGIN_MESSAGE_MAP(Counter, CWnd)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdle)
END_MESSAGE_MAP()

TEST_F(AfxTest, DescendantsReceiveMessagesDeepOrPermanent) {
  Counter root, child, grandchild;
  ASSERT_TRUE(root.CreateEx(0, nullptr, "", 0, 0, 0, 50, 50, nullptr, nullptr));
  ASSERT_TRUE(child.Create(nullptr, "", 0, CRect(0, 0, 10, 10), &root, 1));
  // A plain window between the child and the grandchild: no CWnd of its own.
  HWND plain = ::CreateWindowExA(0, kAfxWndClass, "", WS_CHILD, 0, 0, 5, 5, child.m_hWnd, nullptr, nullptr, nullptr);
  ASSERT_TRUE(plain);
  ASSERT_TRUE(grandchild.CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 2, 2, plain, nullptr));
  root.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, FALSE, FALSE);
  EXPECT_EQ(child.count, 1);
  EXPECT_EQ(grandchild.count, 0);
  root.SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  EXPECT_EQ(child.count, 2);
  EXPECT_EQ(grandchild.count, 1);  // reached through the plain window
  EXPECT_EQ(root.count, 0);
  root.DestroyWindow();
  EXPECT_EQ(grandchild.m_hWnd, nullptr);
}

class Refuses : public CWnd {
  DECLARE_MESSAGE_MAP()
 public:
  afx_msg int OnCreate(LPCREATESTRUCTA) { return -1; }
};
BEGIN_MESSAGE_MAP(Refuses, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(AfxTest, CreateFailureAndTemporaryWrappers) {
  Refuses r;
  EXPECT_FALSE(r.CreateEx(0, nullptr, "", 0, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(r.m_hWnd, nullptr);
  EXPECT_EQ(qm_user_window_count(), 0u);
  HWND raw = ::CreateWindowExA(0, kAfxWndClass, "raw", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CWnd* temp = CWnd::FromHandle(raw);
  ASSERT_TRUE(temp);
  EXPECT_EQ(CWnd::FromHandle(raw), temp);
  EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
  CString text;
  temp->GetWindowText(text);
  EXPECT_EQ(text, "raw");
  ::DestroyWindow(raw);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

}  // namespace

