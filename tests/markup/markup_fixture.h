// Drawings with markup entities, a fixed save time, templates of the
// tests' own in a kernel folder of their own, and file helpers.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "database/entities/mb_polyline.h"
#include "database/entities/mb_text.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "exchange/markup/markup_format.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_temp.h"

inline bool markup_file_exists(const std::string& path) { return std::ifstream(path).good(); }

// xmllint (Debian libxml2-utils) agrees the file is well-formed; true when
// the tool is missing.
inline bool xmllint_accepts(const std::string& path) {
  if (std::system("command -v xmllint > /dev/null") != 0) return true;
  return std::system(("xmllint --noout '" + path + "'").c_str()) == 0;
}

// 2005-05-07 09:05:03 UTC.
inline void markup_fixed_time(SYSTEMTIME* t) {
  *t = SYSTEMTIME{};
  t->wYear = 2005;
  t->wMonth = 5;
  t->wDay = 7;
  t->wHour = 9;
  t->wMinute = 5;
  t->wSecond = 3;
}

class MarkupTest : public testing::Test {
 protected:
  void SetUp() override { old_clock_ = markup_clock(markup_fixed_time); }
  void TearDown() override {
    markup_clock(old_clock_);
    unsetenv("QM_KERNEL_DIR");
    for (const std::string& f : made_) std::remove(f.c_str());
    std::system(("rm -rf '" + qm_test_temp("markup_kernel") + "'").c_str());
  }

  // A path in the temporary folder, removed after the test.
  std::string temp(const std::string& name) {
    made_.push_back(qm_test_temp(name));
    std::remove(made_.back().c_str());
    return made_.back();
  }

  // The writer's template becomes `text` (a kernel folder of the test's own).
  void use_template(const std::string& text) {
    const std::string dir = qm_test_temp("markup_kernel/");
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "support'").c_str()), 0);
    write_all(dir + "support/sample.xml", text);
    setenv("QM_KERNEL_DIR", dir.c_str(), 1);
  }

  MB_Polyline* add_polyline(const std::vector<As_Pt>& points, double width, const char* mark = kMarkupMark) {
    MB_Pline_Pos* v = new MB_Pline_Pos[points.size()];
    for (size_t i = 0; i < points.size(); ++i) {
      v[i].point = points[i];
      v[i].start_width = width;
      v[i].end_width = width;
    }
    MB_Polyline* p = new MB_Polyline(false, uint16_t(points.size()), v);
    if (mark) p->set_string(MB_PROP_XDATA_TEXT, mark);
    drawing_.object_list().add_tail(p);
    return p;
  }

  MB_Text* add_text(const char* text, const As_Pt& at, double height, const char* mark = kMarkupMark) {
    MB_Text* t = new MB_Text(at, MB_String(text));
    t->text_style().height(height);
    if (mark) t->set_string(MB_PROP_XDATA_TEXT, mark);
    drawing_.object_list().add_tail(t);
    return t;
  }

  MB_Drawing drawing_;
  std::vector<std::string> made_;
  Markup_Clock old_clock_ = nullptr;
};
