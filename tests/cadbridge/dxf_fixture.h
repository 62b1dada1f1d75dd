// Small DXF files made in the tests, loaded through the outside loader into
// a fresh drawing, and the entity counts of a drawing by kind.
#pragma once

#include <gtest/gtest.h>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_object.h"
#include "exchange/cadbridge/mb_dwg_load_save.h"
#include "tests/support/test_temp.h"
#include "tests/surface/surface_probe.h"

// Group pairs "code", "value", ... joined into DXF text.
inline std::string dxf_text(std::initializer_list<const char*> items) {
  std::string out;
  for (const char* s : items) {
    out += s;
    out += '\n';
  }
  return out;
}

// An entities-only file around the given groups.
inline std::string dxf_entities(const std::string& groups) {
  return "0\nSECTION\n2\nENTITIES\n" + groups + "0\nENDSEC\n0\nEOF\n";
}

inline std::string dxf_temp_path(const std::string& name) { return qm_test_temp(name); }

// The kernel's log goes to the working folder, which every test process of
// this program shares: a test that reads the log works in a folder of its
// own while this lives, so that no other test's lines land in it.
class Dxf_Log_Folder {
 public:
  Dxf_Log_Folder() : folder_(qm_test_temp("dxf_log")) {
    if (!getcwd(previous_, sizeof previous_)) previous_[0] = '\0';
    mkdir(folder_.c_str(), 0700);
    std::remove((folder_ + "/kzf.log").c_str());
    if (chdir(folder_.c_str()) != 0) ADD_FAILURE() << "cannot work in " << folder_;
  }
  ~Dxf_Log_Folder() {
    if (previous_[0] && chdir(previous_) != 0) ADD_FAILURE() << "cannot go back to " << previous_;
    std::remove((folder_ + "/kzf.log").c_str());
    rmdir(folder_.c_str());
  }
  Dxf_Log_Folder(const Dxf_Log_Folder&) = delete;
  Dxf_Log_Folder& operator=(const Dxf_Log_Folder&) = delete;

  // What the log holds so far.
  std::string log() const {
    std::ifstream in(folder_ + "/kzf.log");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

 private:
  std::string folder_;
  char previous_[PATH_MAX] = {};
};

inline void dxf_write(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

struct Dxf_Load {
  std::unique_ptr<MB_Drawing> drawing = std::make_unique<MB_Drawing>();
  MB_Dwg_Load_Save loader;
  bool ok = false;
  int result = -1;

  void file(const std::string& path) {
    MB_Drawing* d = drawing.get();
    ok = loader.drw_marcompopen(d, path.c_str(), &result, false);
    EXPECT_EQ(d, drawing.get()) << "the drawing pointer was replaced";
  }
  // Loads the bytes from a file made for the load and removed after it.
  void text(const std::string& bytes, const char* name = "made.dxf") {
    const std::string path = dxf_temp_path(name);
    dxf_write(path, bytes);
    file(path);
    std::remove(path.c_str());
  }
  // Top-level entities by class.
  std::map<MB_Object::MB_ID, int> counts() const {
    std::map<MB_Object::MB_ID, int> c;
    for (MB_Object* o = drawing->object_list().head(); o; o = o->next()) ++c[o->object_id()];
    return c;
  }
  template <class T>
  T* first(MB_Object::MB_ID id) const {
    for (MB_Object* o = drawing->object_list().head(); o; o = o->next()) {
      if (o->object_id() == id) return static_cast<T*>(o);
    }
    return nullptr;
  }
};

// The pixels the drawing's entities paint, once it is built, on a w x h
// surface through the identity view (a drawing unit is a pixel, y down).
inline PixelSet dxf_painted(MB_Drawing& drawing, int w, int h) {
  drawing.build_draw();
  CMyDC dc;
  make_surface(dc, w, h);
  Probe probe(dc);
  const uint32_t background = probe.at(0, 0);
  As_Tran view;
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next())
    if (o->is_drawable()) static_cast<MB_Drawable*>(o)->draw(nullptr, dc, view);
  return probe.painted(background);
}

// The colour (alpha byte aside) of each pixel the drawing's entities paint,
// each drawn in its display colour as the renderer draws, on a w x h surface
// through the identity view; keyed by (x, y).
inline std::map<std::pair<int, int>, uint32_t> dxf_painted_colours(MB_Drawing& drawing, int w, int h) {
  drawing.build_draw();
  CMyDC dc;
  make_surface(dc, w, h);
  Probe probe(dc);
  const uint32_t background = probe.at(w - 1, h - 1);
  As_Tran view;
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next()) {
    if (!o->is_drawable()) continue;
    auto* e = static_cast<MB_Drawable*>(o);
    dc.SetColor(uint32_t(e->general().display_color()));
    e->draw(nullptr, dc, view);
  }
  std::map<std::pair<int, int>, uint32_t> painted;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (probe.at(x, y) != background) painted[{x, y}] = probe.at(x, y) & 0xFFFFFFu;
  return painted;
}
