// The tab control, scroll bars, combo boxes with their open lists, group
// boxes and statics, progress bars and animation controls as a person sees
// and drives them: a table of pictures, then the mouse and keys each takes
// and what its owner hears.
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/platform_user/user_fixture.h"

namespace {

constexpr COLORREF kOwnerPaint = RGB(200, 30, 40);  // what the parent paints under its controls

class CommonControls : public UserTest {
 public:
  void SetUp() override {
    UserTest::SetUp();
    // The parent paints itself red and keeps what its controls tell it.
    hook() = [this](HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
      if (h != parent_) return false;
      if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        HBRUSH red = CreateSolidBrush(kOwnerPaint);
        FillRect(dc, &r, red);
        DeleteObject(red);
        EndPaint(h, &ps);
        return true;
      }
      if (msg == WM_NOTIFY) {
        const int code = static_cast<int>(reinterpret_cast<const NMHDR*>(l)->code);
        heard_.push_back(code);
        if (code == TCN_SELCHANGING && veto_) {
          *result = TRUE;
          return true;
        }
      }
      if (msg == WM_COMMAND && HIWORD(w) != 0) heard_.push_back(HIWORD(w));
      if (msg == WM_VSCROLL || msg == WM_HSCROLL) on_scroll(w, l);
      return false;
    };
  }

  // Follows a scroll bar's codes as the drawing control's dialogs do: a line
  // or a page is one step, the thumb gives its position.
  void on_scroll(WPARAM w, LPARAM l) {
    HWND bar = reinterpret_cast<HWND>(l);
    const int code = LOWORD(w);
    scrolls_.push_back(code);
    int p = code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? HIWORD(w) : GetScrollPos(bar, SB_CTL);
    if (code == SB_LINEUP || code == SB_PAGEUP) --p;
    if (code == SB_LINEDOWN || code == SB_PAGEDOWN) ++p;
    SetScrollPos(bar, SB_CTL, p, TRUE);
  }

  HWND make_parent(int w = 200, int h = 120) {
    parent_ = make(nullptr, 0, 0, w, h, WS_VISIBLE | WS_POPUP);
    return parent_;
  }

  HWND add(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id = 5) {
    return CreateWindowExA(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, w, h, parent_,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }

  // What the screen shows of the parent, with its controls and pop-ups.
  void shoot() {
    pump();
    std::vector<uint32_t> image;
    ASSERT_TRUE(qm_user_window_image(parent_, &image, &width_, &height_));
    pixels_.clear();
    for (uint32_t p : image) pixels_.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
  bool is(int x, int y, int color) const { return at(x, y) == GetSysColor(color); }
  int count(int color, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) == GetSysColor(color);
    return n;
  }
  int count_rgb(COLORREF c, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += at(x, y) == c;
    return n;
  }

  // A press and a release of the left button at a client point.
  void click(HWND h, int x, int y) {
    qm_user_mouse(h, WM_LBUTTONDOWN, x, y);
    pump();
    qm_user_mouse(h, WM_LBUTTONUP, x, y);
    pump();
  }
  void key(HWND h, UINT vk) {
    qm_user_key(h, vk, true);
    qm_user_key(h, vk, false);
    pump();
  }
  // Moves the virtual clock on in small steps, handling what falls due.
  void wait(DWORD ms) {
    for (DWORD t = 0; t < ms; t += 10) {
      qm_user_advance_clock(10);
      pump();
    }
  }
  void add_items(HWND h, UINT msg, std::initializer_list<const char*> items) {
    for (const char* i : items) SendMessageA(h, msg, 0, reinterpret_cast<LPARAM>(i));
  }
  std::vector<int> take_heard() { return std::exchange(heard_, {}); }
  std::vector<int> take_scrolls() { return std::exchange(scrolls_, {}); }

  HWND parent_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> pixels_;
  std::vector<int> heard_;
  std::vector<int> scrolls_;
  bool veto_ = false;
};

TEST_F(CommonControls, EachKindShowsItsState) {
  struct Case {
    const char* says;
    std::function<void(CommonControls&)> make;
    std::function<void(const CommonControls&)> expect;
  };
  const int light = COLOR_BTNHIGHLIGHT, dark = COLOR_3DDKSHADOW, face = COLOR_BTNFACE;
  const Case cases[] = {
      {"tabs along the top: the selected one stands two pixels higher, the others below it",
       [](CommonControls& t) {
         HWND tabs = t.add(WC_TABCONTROLA, "", 0, 0, 0, 200, 80);
         TCITEMA item = {TCIF_TEXT, 0, 0, const_cast<char*>("First"), 0, 0, 0};
         SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
         item.pszText = const_cast<char*>("Second");
         SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
       },
       [&](const CommonControls& t) {
         EXPECT_GT(t.count(light, 2, 0, 30, 1), 10) << "the selected tab's top edge";
         EXPECT_EQ(t.count(light, 60, 0, 200, 2), 0) << "nothing else reaches the top";
         EXPECT_GT(t.count(light, 60, 2, 90, 3), 10) << "the other tab's top edge";
         EXPECT_GT(t.count(COLOR_BTNTEXT, 0, 3, 120, 20), 20) << "both texts";
         EXPECT_EQ(t.count_rgb(kOwnerPaint, 0, 0, 200, 80), 0);
       }},
      {"tabs along the bottom (TCS_BOTTOM): the selected one reaches the bottom",
       [](CommonControls& t) {
         HWND tabs = t.add(WC_TABCONTROLA, "", TCS_BOTTOM, 0, 0, 200, 80);
         TCITEMA item = {TCIF_TEXT, 0, 0, const_cast<char*>("First"), 0, 0, 0};
         SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
         SendMessageA(tabs, TCM_INSERTITEMA, 1, reinterpret_cast<LPARAM>(&item));
         SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
       },
       [&](const CommonControls& t) {
         EXPECT_GT(t.count(light, 0, 1, 200, 2), 150) << "the body's raised top edge";
         EXPECT_GT(t.count(dark, 40, 79, 100, 80), 10) << "the selected (second) tab's bottom edge";
         EXPECT_EQ(t.count(dark, 4, 79, 30, 80), 0) << "the first stops short of it";
       }},
      {"a scroll bar: arrows at the ends, a square thumb where the position is",
       [](CommonControls& t) {
         HWND bar = t.add(WC_SCROLLBARA, "", SBS_HORZ, 0, 0, 200, 16);
         SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
         SetScrollPos(bar, SB_CTL, 50, TRUE);
       },
       [&](const CommonControls& t) {
         // The track runs from 16 to 184; the 16-pixel thumb halfway: 92 to 108.
         EXPECT_GT(t.count(COLOR_BTNTEXT, 0, 0, 16, 16), 8) << "the left arrow's triangle";
         EXPECT_GT(t.count(COLOR_BTNTEXT, 184, 0, 200, 16), 8) << "the right arrow's";
         EXPECT_TRUE(t.is(107, 8, dark)) << "the thumb's right edge";
         EXPECT_TRUE(t.is(100, 8, face)) << "its middle";
         EXPECT_NE(t.at(60, 8), t.at(61, 8)) << "the checked track";
         EXPECT_EQ(t.count(dark, 20, 4, 90, 12), 0);
       }},
      {"a page makes the thumb as long as the page is of the range",
       [](CommonControls& t) {
         HWND bar = t.add(WC_SCROLLBARA, "", SBS_HORZ, 0, 0, 200, 16);
         SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0};
         SetScrollInfo(bar, SB_CTL, &si, TRUE);
       },
       [&](const CommonControls& t) {
         EXPECT_TRUE(t.is(99, 8, dark)) << "168 * 50 / 100 = 84 pixels from 16";
         EXPECT_TRUE(t.is(60, 8, face));
         EXPECT_NE(t.at(110, 8), t.at(111, 8)) << "the track after it";
       }},
      {"nothing to scroll: grey arrows, no thumb",
       [](CommonControls& t) {
         HWND bar = t.add(WC_SCROLLBARA, "", SBS_VERT, 0, 0, 16, 100);
         SetScrollRange(bar, SB_CTL, 0, 0, TRUE);
       },
       [&](const CommonControls& t) {
         EXPECT_EQ(t.count(COLOR_BTNTEXT, 0, 0, 16, 100), 0);
         EXPECT_GT(t.count(COLOR_GRAYTEXT, 0, 0, 16, 16), 8);
         EXPECT_EQ(t.count(dark, 0, 17, 16, 83), 0) << "no thumb in the track";
       }},
      {"a closed drop-down list: as high as its field, the owner's painting below",
       [](CommonControls& t) {
         HWND combo = t.add(WC_COMBOBOXA, "", CBS_DROPDOWNLIST, 10, 10, 120, 100);
         t.add_items(combo, CB_ADDSTRING, {"alpha", "beta"});
         SendMessageA(combo, CB_SETCURSEL, 1, 0);
       },
       [&](const CommonControls& t) {
         EXPECT_TRUE(t.is(60, 20, COLOR_WINDOW) || t.is(60, 20, COLOR_WINDOWTEXT)) << "the field";
         EXPECT_GT(t.count(COLOR_WINDOWTEXT, 12, 12, 100, 28), 5) << "its choice";
         EXPECT_GT(t.count(COLOR_BTNTEXT, 112, 12, 128, 28), 5) << "the arrow";
         EXPECT_EQ(t.at(60, 60), kOwnerPaint);
       }},
      {"an open drop-down list: the items under the field, the choice highlighted",
       [](CommonControls& t) {
         HWND combo = t.add(WC_COMBOBOXA, "", CBS_DROPDOWNLIST, 10, 10, 120, 100);
         t.add_items(combo, CB_ADDSTRING, {"alpha", "beta", "gamma"});
         SendMessageA(combo, CB_SETCURSEL, 1, 0);
         SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
       },
       [&](const CommonControls& t) {
         RECT field;
         GetWindowRect(GetWindow(t.parent_, GW_CHILD), &field);
         EXPECT_EQ(t.count(COLOR_WINDOWFRAME, 10, field.bottom, 130, field.bottom + 1), 120) << "the list's frame";
         EXPECT_GT(t.count(COLOR_HIGHLIGHT, 11, field.bottom, 129, field.bottom + 60), 200) << "beta";
         EXPECT_GT(t.count(COLOR_WINDOWTEXT, 11, field.bottom, 129, field.bottom + 60), 20) << "alpha and gamma";
       }},
      {"a group box: its frame and caption, the owner's painting inside",
       [](CommonControls& t) { t.add(WC_BUTTONA, "Group", BS_GROUPBOX, 0, 0, 200, 120); },
       [&](const CommonControls& t) {
         EXPECT_TRUE(t.is(0, 60, COLOR_BTNSHADOW));
         EXPECT_TRUE(t.is(1, 60, light));
         EXPECT_GT(t.count(COLOR_BTNTEXT, 8, 0, 60, 14), 10);
         EXPECT_EQ(t.at(100, 60), kOwnerPaint);
       }},
      {"an empty static in a sunken frame: the owner's painting inside",
       [](CommonControls& t) { t.add(WC_STATICA, "", SS_SUNKEN, 10, 10, 100, 50); },
       [&](const CommonControls& t) {
         EXPECT_TRUE(t.is(10, 10, COLOR_BTNSHADOW));
         EXPECT_TRUE(t.is(109, 59, light));
         EXPECT_EQ(t.count_rgb(kOwnerPaint, 11, 11, 109, 59), 98 * 48);
       }},
      {"a text static: its text on the face",
       [](CommonControls& t) { t.add(WC_STATICA, "Mg", SS_LEFT, 10, 10, 100, 20); },
       [&](const CommonControls& t) {
         EXPECT_GT(t.count(COLOR_BTNTEXT, 10, 10, 40, 30), 10);
         EXPECT_EQ(t.count_rgb(kOwnerPaint, 10, 10, 110, 30), 0);
       }},
      {"a progress bar at a third: blocks over the first third",
       [](CommonControls& t) {
         HWND bar = t.add(PROGRESS_CLASSA, "", 0, 0, 0, 152, 16);
         SendMessageA(bar, PBM_SETRANGE32, 0, 90);
         SendMessageA(bar, PBM_SETPOS, 30, 0);
       },
       [&](const CommonControls& t) {
         EXPECT_TRUE(t.is(0, 0, COLOR_BTNSHADOW)) << "sunken";
         EXPECT_GT(t.count(COLOR_HIGHLIGHT, 2, 2, 52, 14), 300);
         EXPECT_EQ(t.count(COLOR_HIGHLIGHT, 60, 0, 152, 16), 0);
         EXPECT_GT(t.count(face, 2, 7, 52, 8), 0) << "gaps between the blocks";
       }},
      {"a smooth progress bar at a third: one bar",
       [](CommonControls& t) {
         HWND bar = t.add(PROGRESS_CLASSA, "", PBS_SMOOTH, 0, 0, 152, 16);
         SendMessageA(bar, PBM_SETPOS, 50, 0);
       },
       [&](const CommonControls& t) {
         EXPECT_EQ(t.count(COLOR_HIGHLIGHT, 2, 7, 76, 8), 74) << "half of the 148 inside the frame";
         EXPECT_EQ(t.count(COLOR_HIGHLIGHT, 76, 0, 152, 16), 0);
       }},
      {"an animation control with no clip: its still picture, centred",
       [](CommonControls& t) { t.add(ANIMATE_CLASSA, "", ACS_CENTER | ACS_TRANSPARENT, 0, 0, 200, 60); },
       [&](const CommonControls& t) {
         EXPECT_GT(t.count(COLOR_WINDOWTEXT, 60, 16, 140, 44), 40) << "the pages";
         EXPECT_EQ(t.count(COLOR_WINDOWTEXT, 0, 0, 50, 60), 0) << "nothing off the centre";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    make_parent();
    c.make(*this);
    shoot();
    c.expect(*this);
    DestroyWindow(parent_);
    pump();
  }
}

TEST_F(CommonControls, TabsChangeWithTheMouseAndTheKeys) {
  make_parent();
  HWND tabs = add(WC_TABCONTROLA, "", 0, 0, 0, 200, 80);
  for (const char* text : {"One", "Two", "Three"}) {
    TCITEMA item = {TCIF_TEXT, 0, 0, const_cast<char*>(text), 0, 0, 0};
    SendMessageA(tabs, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&item));
  }
  // Where the tabs are drawn: each ends in a dark column.
  shoot();
  std::vector<int> ends;
  for (int x = 0; x < 200; ++x)
    if (is(x, 10, COLOR_3DDKSHADOW)) ends.push_back(x);
  ASSERT_EQ(ends.size(), 3u);
  const int middle[] = {ends[0] / 2, (ends[0] + ends[1]) / 2, (ends[1] + ends[2]) / 2};
  const int changed[] = {TCN_SELCHANGING, TCN_SELCHANGE};
  const std::vector<int> change(changed, changed + 2), nothing;
  click(tabs, middle[2], 10);
  EXPECT_EQ(take_heard(), change);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(GetFocus(), tabs);

  veto_ = true;
  click(tabs, middle[0], 10);
  EXPECT_EQ(take_heard(), std::vector<int>{TCN_SELCHANGING}) << "refused";
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
  veto_ = false;

  struct Step {
    std::vector<UINT> held;
    UINT vk;
    int sel;
    bool heard;
  };
  const Step steps[] = {
      {{}, VK_LEFT, 1, true},          {{}, VK_RIGHT, 2, true},
      {{}, VK_RIGHT, 2, false},  // at the end: no change
      {{VK_CONTROL}, VK_TAB, 0, true},  // round the end
      {{VK_CONTROL, VK_SHIFT}, VK_TAB, 2, true},
  };
  for (const Step& s : steps) {
    for (UINT k : s.held) qm_user_key(nullptr, k, true);
    key(tabs, s.vk);
    for (UINT k : s.held) qm_user_key(nullptr, k, false);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), s.sel) << s.vk;
    EXPECT_EQ(take_heard(), s.heard ? change : nothing) << s.vk;
  }

  // A dialog passes Ctrl+Tab to its tab control wherever the focus is.
  HWND edit = add(WC_EDITA, "", WS_TABSTOP, 0, 90, 50, 20, 6);
  SetFocus(edit);
  qm_user_key(nullptr, VK_CONTROL, true);
  pump();
  MSG m = {edit, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(parent_, &m));
  qm_user_key(nullptr, VK_CONTROL, false);
  pump();
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);

  // A disabled tab control takes no click.
  take_heard();
  EnableWindow(tabs, FALSE);
  EXPECT_FALSE(qm_user_mouse(tabs, WM_LBUTTONDOWN, middle[1], 10));
  pump();
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(take_heard().empty());
  DestroyWindow(parent_);
}

TEST_F(CommonControls, AScrollBarTellsItsOwnerWhatTheMouseDoes) {
  // 116 high: arrows of 16, a track of 84 from 16 to 100, a thumb of 16
  // travelling 68 pixels over positions 0 to 10.
  make_parent();
  HWND bar = add(WC_SCROLLBARA, "", SBS_VERT, 0, 0, 16, 116);
  SetScrollRange(bar, SB_CTL, 0, 10, TRUE);
  const size_t windows = qm_user_window_count();

  // The down arrow held: a line at once, more on the timer, the end at the release.
  qm_user_mouse(bar, WM_LBUTTONDOWN, 8, 108);
  pump();
  EXPECT_EQ(take_scrolls(), std::vector<int>{SB_LINEDOWN});
  wait(390);
  EXPECT_TRUE(take_scrolls().empty()) << "the first repeat waits";
  wait(70);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 3);
  qm_user_mouse(bar, WM_LBUTTONUP, 8, 108);
  pump();
  EXPECT_EQ(take_scrolls(), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(qm_user_window_count(), windows);

  // The track held below the thumb pages until the thumb reaches the pointer.
  qm_user_mouse(bar, WM_LBUTTONDOWN, 8, 90);
  wait(2000);
  qm_user_mouse(bar, WM_LBUTTONUP, 8, 90);
  pump();
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 9) << "the thumb (77 to 93) is under the pointer";
  std::vector<int> codes = take_scrolls();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_PAGEDOWN), 6);
  EXPECT_EQ(codes.back(), SB_ENDSCROLL);

  // The thumb dragged past either end stops there; letting go says where.
  struct Drag {
    int to_y;
    int pos;
  };
  qm_user_mouse(bar, WM_LBUTTONDOWN, 8, 80);
  pump();
  for (const Drag& d : {Drag{300, 10}, Drag{-300, 0}, Drag{50, 5}}) {
    qm_user_mouse(bar, WM_MOUSEMOVE, 8, d.to_y);
    pump();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), d.pos) << d.to_y;
  }
  qm_user_mouse(bar, WM_LBUTTONUP, 8, 50);
  pump();
  EXPECT_EQ(take_scrolls(), (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION,
                                               SB_ENDSCROLL}));

  // A drag whose capture is taken away ends where it is, without a position.
  qm_user_mouse(bar, WM_LBUTTONDOWN, 8, 50);
  pump();
  qm_user_mouse(bar, WM_MOUSEMOVE, 8, 70);
  pump();
  SetCapture(parent_);
  EXPECT_EQ(take_scrolls(), (std::vector<int>{SB_THUMBTRACK, SB_ENDSCROLL}));
  ReleaseCapture();
  qm_user_mouse(bar, WM_MOUSEMOVE, 8, 100);
  qm_user_mouse(bar, WM_LBUTTONUP, 8, 100);
  pump();
  EXPECT_TRUE(take_scrolls().empty());
  EXPECT_EQ(qm_user_window_count(), windows);

  // The wheel: a line a notch; positions set past the ends are clamped.
  SetScrollPos(bar, SB_CTL, 5, TRUE);
  qm_user_wheel(bar, -2 * WHEEL_DELTA, 8, 50);
  pump();
  EXPECT_EQ(take_scrolls(), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 7);
  SetScrollPos(bar, SB_CTL, 99, TRUE);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 10);
  SetScrollPos(bar, SB_CTL, -5, TRUE);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);

  // A disabled bar takes no press.
  EnableWindow(bar, FALSE);
  EXPECT_FALSE(qm_user_mouse(bar, WM_LBUTTONDOWN, 8, 108));
  pump();
  EXPECT_TRUE(take_scrolls().empty());
  DestroyWindow(parent_);
}

TEST_F(CommonControls, AListScrollsByItsOwnBarWhenItemsPassItsHeight) {
  make_parent();
  // Four items of 16 show at a time.
  HWND list = add(WC_LISTBOXA, "", WS_VSCROLL | LBS_NOTIFY, 0, 0, 100, 64);
  add_items(list, LB_ADDSTRING, {"a", "b", "c"});
  pump();
  RECT client;
  GetClientRect(list, &client);
  EXPECT_EQ(client.right, 100) << "nothing to scroll: the bar steps aside";
  add_items(list, LB_ADDSTRING, {"d", "e", "f", "g", "h", "i", "j"});
  pump();
  GetClientRect(list, &client);
  EXPECT_EQ(client.right, 100 - GetSystemMetrics(SM_CXVSCROLL));
  // Its down arrow, then its thumb dragged to the bottom; a point outside
  // the client area is on the bar.
  click(list, 92, 56);
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
  qm_user_mouse(list, WM_LBUTTONDOWN, 92, 20);
  pump();
  qm_user_mouse(list, WM_MOUSEMOVE, 92, 200);
  qm_user_mouse(list, WM_LBUTTONUP, 92, 200);
  pump();
  EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 6) << "the last four in view";
  SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 9);
  EXPECT_EQ(si.nPage, 4u);
  EXPECT_EQ(si.nPos, 6);
  DestroyWindow(parent_);
}

TEST_F(CommonControls, AComboBoxOpensItsListAndTellsItsParentInOrder) {
  make_parent();
  HWND combo = add(WC_COMBOBOXA, "", CBS_DROPDOWNLIST, 10, 10, 120, 100);
  add_items(combo, CB_ADDSTRING, {"alpha", "beta", "gamma"});
  RECT field;
  GetWindowRect(combo, &field);
  EXPECT_LT(field.bottom - field.top, 40) << "the field's height, not the template's";
  const size_t windows = qm_user_window_count();
  pump();
  take_heard();

  // A click on the field opens the list, which holds the mouse; a click on
  // an item chooses it and closes the list.
  click(combo, 20, 5);
  EXPECT_EQ(take_heard(), std::vector<int>{CBN_DROPDOWN});
  ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  HWND list = GetCapture();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  const int item = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const int beta_y = (field.bottom - field.top) + 1 + item + item / 2;  // a client point of the combo box
  qm_user_mouse(combo, WM_MOUSEMOVE, 30, beta_y);
  pump();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "the item under the pointer shows";
  EXPECT_TRUE(take_heard().empty()) << "but is not chosen yet";
  click(combo, 30, beta_y);
  EXPECT_EQ(take_heard(), (std::vector<int>{CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  char text[16] = "";
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "beta");
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(qm_user_window_count(), windows) << "the list is gone";

  // The keys: Alt+Down or F4 opens, the arrows choose, Enter keeps, Escape leaves.
  SetFocus(combo);
  take_heard();
  struct Step {
    std::vector<UINT> held;
    UINT vk;
    std::vector<int> heard;
    bool open;
    int sel;
  };
  const Step steps[] = {
      {{VK_MENU}, VK_DOWN, {CBN_DROPDOWN}, true, 1},
      {{}, VK_DOWN, {CBN_SELCHANGE}, true, 2},
      {{}, VK_RETURN, {CBN_SELENDOK, CBN_CLOSEUP}, false, 2},
      {{}, VK_F4, {CBN_DROPDOWN}, true, 2},
      {{}, VK_ESCAPE, {CBN_SELENDCANCEL, CBN_CLOSEUP}, false, 2},
  };
  for (const Step& s : steps) {
    for (UINT k : s.held) qm_user_key(nullptr, k, true);
    if (s.vk == VK_RETURN || s.vk == VK_ESCAPE) {
      // A dialog leaves these to the open list.
      MSG m = {combo, WM_KEYDOWN, s.vk, 0, 0, {0, 0}};
      EXPECT_FALSE(IsDialogMessageA(parent_, &m));
    }
    key(combo, s.vk);
    for (UINT k : s.held) qm_user_key(nullptr, k, false);
    pump();
    EXPECT_EQ(take_heard(), s.heard) << s.vk;
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0, s.open) << s.vk;
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), s.sel) << s.vk;
  }

  // A click outside closes the list and goes no further; the next reaches
  // the window under it.
  click(combo, 20, 5);
  take_heard();
  seen().clear();
  click(parent_, 180, 100);
  EXPECT_EQ(take_heard(), (std::vector<int>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
  auto presses = [&] {
    const std::vector<UINT> m = messages_of(parent_);
    return std::count(m.begin(), m.end(), static_cast<UINT>(WM_LBUTTONDOWN));
  };
  EXPECT_EQ(presses(), 0);
  click(parent_, 180, 100);
  EXPECT_EQ(presses(), 1);

  // The list goes with its combo box's window; a disabled combo box does not open.
  click(combo, 20, 5);
  ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  DestroyWindow(combo);
  pump();
  EXPECT_EQ(qm_user_window_count(), windows - 1);
  EXPECT_EQ(GetCapture(), nullptr);
  combo = add(WC_COMBOBOXA, "", CBS_DROPDOWNLIST, 10, 10, 120, 100);
  EnableWindow(combo, FALSE);
  EXPECT_FALSE(qm_user_mouse(combo, WM_LBUTTONDOWN, 20, 5));
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  // And an open one goes with its dialog.
  EnableWindow(combo, TRUE);
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  DestroyWindow(parent_);
  pump();
  EXPECT_EQ(qm_user_window_count(), 0u);
}

TEST_F(CommonControls, ADropDownComboTakesWhatIsTypedInItsField) {
  make_parent();
  HWND combo = add(WC_COMBOBOXA, "", CBS_DROPDOWN, 10, 10, 120, 100);
  add_items(combo, CB_ADDSTRING, {"alpha"});
  SetFocus(combo);
  pump();
  take_heard();
  for (WPARAM ch : {WPARAM('n'), WPARAM('e'), WPARAM('w'), WPARAM(VK_BACK)}) SendMessageA(combo, WM_CHAR, ch, 0);
  char text[16] = "";
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "ne");
  const std::vector<int> heard = take_heard();
  ASSERT_EQ(heard.size(), 8u);
  EXPECT_EQ(heard[0], CBN_EDITUPDATE);
  EXPECT_EQ(heard[1], CBN_EDITCHANGE);
  // An item chosen replaces the text, taken whole: typing goes over it.
  key(combo, VK_DOWN);
  SendMessageA(combo, WM_CHAR, 'x', 0);
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "x");
  DestroyWindow(parent_);
}

}  // namespace
