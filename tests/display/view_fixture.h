// A headless window with an editing context on it, and a snappable line
// entity, for the renderer, tool and operation tests.
#pragma once

#include <gtest/gtest.h>
#include <qm_user.h>
#include <windows.h>

#include <cmath>
#include <memory>
#include <vector>

#include "database/mb_drawing.h"
#include "database/mb_settings.h"
#include "database/mb_undo_redo.h"
#include "display/interaction/mb_mouse_tool.h"
#include "display/interaction/mb_operation.h"
#include "display/mb_draw_render.h"
#include "geometry/as_pt_list.h"
#include "tests/database/test_entity.h"

// A line that offers its ends (13, 14) and its nearest point (31) to snap.
class Snap_Line : public Test_Line {
 public:
  Snap_Line(const As_Pt& a, const As_Pt& b) : Test_Line(a, b), end_(b) {}
  bool copy_to(MB_Object*& target) override {
    if (!target) {
      target = new Snap_Line(start(), end_);
      return MB_Geom::copy_to(target);
    }
    return Test_Line::copy_to(target);
  }
  bool pick(const As_Pt& p, As_Pt_List&, double tol, As_Pt& found, int& kind, int&) override {
    if ((p - start()).len() < tol) {
      found = start();
      kind = MB_SNAP_START;
      return true;
    }
    if ((p - end_).len() < tol) {
      found = end_;
      kind = MB_SNAP_END;
      return true;
    }
    const As_Vec d = end_ - start();
    const double len2 = d.x() * d.x() + d.y() * d.y();
    if (len2 <= 0) return false;
    double t = ((p.x() - start().x()) * d.x() + (p.y() - start().y()) * d.y()) / len2;
    if (t < 0 || t > 1) return false;
    const As_Pt foot = start() + d * t;
    if ((p - foot).len() >= tol) return false;
    found = foot;
    kind = MB_SNAP_NEAREST;
    return true;
  }
  const As_Pt& end() const { return end_; }

 private:
  As_Pt end_;
};

class ViewTest : public ::testing::Test {
 protected:
  static LRESULT proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, msg, wparam, lparam);
  }

  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.lpszClassName = "QmViewTest";
    RegisterClassA(&wc);
    saved_ = g_system_setting;
    wnd = make_window(800, 600);
    op.reset(new MB_Operation);
    op->init(wnd, "test");
  }

  void TearDown() override {
    op.reset();
    g_system_setting = saved_;
    qm_user_reset();
  }

  static HWND make_window(int w, int h) {
    return CreateWindowExA(0, "QmViewTest", "", WS_VISIBLE, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
  }

  // A line made, built and appended to the drawing.
  template <class Line = Snap_Line>
  Line* add_line(const As_Pt& a, const As_Pt& b, int32_t color = 0xFFFFFF) {
    Line* line = new Line(a, b);
    line->general().color(color);
    line->general().display_color(color);
    line->build_draw();
    op->drawing()->add_object(line);
    return line;
  }

  MB_Draw_Render* render() { return op->draw_render(); }

  // Window pixels as 0x00RRGGBB, top-down.
  std::vector<uint32_t> window_pixels() {
    int w = 0, h = 0;
    const uint32_t* p = qm_user_window_pixels(wnd, &w, &h);
    return p ? std::vector<uint32_t>(p, p + size_t(w) * h) : std::vector<uint32_t>();
  }

  void paint() {
    HDC hdc = GetDC(wnd);
    op->draw(hdc);
    ReleaseDC(wnd, hdc);
  }

  // The client pixel of a drawing point, before truncation.
  As_Pt to_screen(const As_Pt& p) { return p * render()->drawing_to_screen(); }
  As_Pt to_drawing(double x, double y) { return As_Pt(x, y, 0) * render()->screen_to_drawing(); }

  HWND wnd = nullptr;
  std::unique_ptr<MB_Operation> op;
  MB_System_Setting saved_;
};

// GDI colour reference 0x00BBGGRR as a window pixel 0x00RRGGBB.
inline uint32_t rgb_of(uint32_t colorref) {
  return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
