// Pictures a test keeps for a person to look at: with QM_TEST_PICTURES
// naming a folder, a test writes what it drew there as NAME.png; without
// it, nothing is written and nothing is drawn for the purpose.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "geometry/as_rect.h"
#include "geometry/as_tran.h"
#include "geometry/as_void_list.h"
#include "tests/surface/surface_probe.h"
#include "ximage.h"

// The folder QM_TEST_PICTURES names; null when no picture is wanted.
inline const char* qm_test_pictures() {
  const char* folder = std::getenv("QM_TEST_PICTURES");
  return folder && *folder ? folder : nullptr;
}

// The entities, each in its display colour on the view's black, fitted with
// a margin into a w x h picture, the drawing's y axis up, kept as NAME.png.
inline void qm_keep_picture(const std::vector<MB_Drawable*>& entities, int w, int h, const std::string& name) {
  const char* folder = qm_test_pictures();
  if (!folder) return;
  As_Void_List list;
  for (MB_Drawable* e : entities) {
    e->build_draw();
    list.add(e);
  }
  As_Rect extents;
  if (!mb_entity_extents(list, extents)) {
    ADD_FAILURE() << name << ": nothing to picture";
    return;
  }
  // A tenth of the picture is margin on each side.
  const double span = std::max({extents.width() / (0.8 * w), extents.heigh() / (0.8 * h), 1e-9});
  const As_Pt centre = extents.center();
  As_Tran view = translate_transf(As_Vec(-centre.x(), -centre.y(), 0)) * scale_transf(1.0 / span) *
                 translate_transf(As_Vec(w / 2.0, h / 2.0, 0));
  CMyDC dc;
  const HDC surface = make_surface(dc, w, h);
  // The view's black, on which entities show in their display colours.
  const RECT all = {0, 0, w, h};
  FillRect(surface, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (MB_Drawable* e : entities) {
    dc.SetColor(uint32_t(e->general().display_color()));
    e->draw(nullptr, dc, view);
  }
  Probe probe(dc);
  CxImage picture;
  picture.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = probe.at(x, y);
      picture.SetPixelColor(x, h - 1 - y, RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
  const std::string path = std::string(folder) + "/" + name + ".png";
  EXPECT_TRUE(picture.Save(path.c_str(), CXIMAGE_FORMAT_PNG)) << path;
}

// The drawing's entities, as above.
inline void qm_keep_picture(MB_Drawing& drawing, int w, int h, const std::string& name) {
  if (!qm_test_pictures()) return;
  std::vector<MB_Drawable*> entities;
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next())
    if (o->is_drawable()) entities.push_back(static_cast<MB_Drawable*>(o));
  qm_keep_picture(entities, w, h, name);
}

// A picture a program wrote, kept as NAME.png.
inline void qm_keep_picture_file(const std::string& png, const std::string& name) {
  const char* folder = qm_test_pictures();
  if (!folder) return;
  const std::string path = std::string(folder) + "/" + name + ".png";
  std::ifstream in(png, std::ios::binary);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  EXPECT_TRUE(in && out) << png << " kept as " << path;
}
