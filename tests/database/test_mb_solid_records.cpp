// The records of the solid, the face and the polygon mesh: exact bytes,
// round trips through whole files, and damaged records.
#include <gtest/gtest.h>

#include "database/entities/mb_face.h"
#include "database/entities/mb_hatch.h"
#include "database/entities/mb_mesh.h"
#include "database/entities/mb_solid.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawing.h"
#include "surface/cmydc.h"
#include "geometry/as_loop.h"
#include "geometry/as_tran.h"
#include "kzf_file_support.h"

using namespace kzf_file_test;

namespace {

// The attribute records a default entity brings as the first of a file.
Bytes default_attributes() {
  Bytes b = {0x03, 0xFF, 0xFF, 0xFF, 0x00, 'i'};
  append_double(b, 2.0);
  b.push_back('j');
  append_double(b, 0.4);
  return b;
}

Bytes body_of(MB_Object* entity) {
  MB_Drawing d;
  d.object_list().add_tail(entity);
  Bytes body;
  EXPECT_TRUE(payload(save(d), body));
  return body;
}

TEST(FillRecords, SolidFaceAndMeshRecordsHaveTheirExactBytes) {
  MB_Solid* tri = new MB_Solid(3);
  tri->points()[1] = As_Pt(1, 0, 0);
  tri->points()[2] = As_Pt(0, 1, 0);
  Bytes want = default_attributes();
  want.insert(want.end(), {'D', 0, 0, 0, 0, 3, 0, 0, 0});
  for (double v : {0.0, 0.0, 1.0, 0.0, -1.0, 1.0}) append_double(want, v);
  EXPECT_EQ(body_of(tri), want);

  MB_Face* face = new MB_Face(3);
  face->user_id(5);
  want = default_attributes();
  want.insert(want.end(), {'z', 2, 0, 0, 0, 5, 0, 0, 0});
  EXPECT_EQ(body_of(face), want) << "xdata, no geometry";

  MB_Polygon_Mesh* mesh = new MB_Polygon_Mesh(300, 3);
  mesh->meshm_closed(true);
  mesh->meshn_closed(true);
  want = default_attributes();
  want.insert(want.end(), {'U', 0x2C, 0x03, 0x03});
  EXPECT_EQ(body_of(mesh), want) << "the low bytes of M and N";
}

TEST(FillRecords, SolidsRoundTripFacesAndMeshesReadBackWithoutGeometry) {
  MB_Drawing d;
  MB_Solid* s = new MB_Solid(As_Pt(1, 2, 7), As_Pt(10, 2, 0), As_Pt(10, 9, 0), As_Pt(1, 9, 0));
  s->general().color(0x00FF00);
  s->set_id(9);
  s->string() = "plot";
  d.object_list().add_tail(s);
  MB_Face* f = new MB_Face(4);
  f->general().color(0x0000FF);
  f->real_val(2.5);
  d.object_list().add_tail(f);
  for (int flags = 0; flags < 4; ++flags) {
    MB_Polygon_Mesh* m = new MB_Polygon_Mesh(3 + flags, 2);
    m->meshm_closed(flags & 1);
    m->meshn_closed(flags & 2);
    d.object_list().add_tail(m);
  }
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  ASSERT_EQ(back.object_list().count(), 6);
  MB_Object* o = back.object_list().head();
  MB_Solid* rs = dynamic_cast<MB_Solid*>(o);
  ASSERT_NE(rs, nullptr);
  ASSERT_EQ(rs->count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR((*rs)[i].x(), (*s)[i].x(), 1e-12);
    EXPECT_NEAR((*rs)[i].y(), (*s)[i].y(), 1e-12);
    EXPECT_EQ((*rs)[i].z(), 0.0);
  }
  EXPECT_EQ(rs->general().color(), 0x00FF00);
  EXPECT_EQ(rs->id(), 9u);
  EXPECT_TRUE(rs->string() == "plot");
  MB_Face* rf = dynamic_cast<MB_Face*>(o = o->next());
  ASSERT_NE(rf, nullptr);
  EXPECT_EQ(rf->count(), 0) << "a face keeps no geometry in the file";
  EXPECT_EQ(rf->real_val(), 2.5);
  // The face read back is drawn as nothing.
  CMyDC dc;
  As_Tran view;
  rf->draw(nullptr, dc, view);
  for (int flags = 0; flags < 4; ++flags) {
    MB_Polygon_Mesh* rm = dynamic_cast<MB_Polygon_Mesh*>(o = o->next());
    ASSERT_NE(rm, nullptr);
    EXPECT_EQ(rm->m_count(), 3 + flags);
    EXPECT_EQ(rm->n_count(), 2);
    EXPECT_EQ(rm->meshm_closed(), bool(flags & 1));
    EXPECT_EQ(rm->meshn_closed(), bool(flags & 2));
    EXPECT_EQ(rm->count(), 0);
    rm->build_draw();
    EXPECT_EQ(rm->draw_node(), nullptr);
  }
}

// A mask solid is marked by a bit of its optional items' flag, with no item
// of its own: readers that do not know the bit read an ordinary solid.
TEST(FillRecords, MaskSolidsKeepTheirMarkThroughAFile) {
  MB_Solid* mask = new MB_Solid(3);
  mask->points()[1] = As_Pt(1, 0, 0);
  mask->points()[2] = As_Pt(0, 1, 0);
  mask->mask(true);
  Bytes want = default_attributes();
  want.insert(want.end(), {'D', 0x20, 0, 0, 0, 3, 0, 0, 0});
  for (double v : {0.0, 0.0, 1.0, 0.0, -1.0, 1.0}) append_double(want, v);
  EXPECT_EQ(body_of(mask), want);

  for (bool masked : {true, false}) {
    MB_Drawing d;
    MB_Solid* s = new MB_Solid(As_Pt(0, 0, 0), As_Pt(4, 0, 0), As_Pt(4, 4, 0), As_Pt(0, 4, 0));
    s->mask(masked);
    s->set_id(3);
    d.object_list().add_tail(s);
    MB_Drawing back;
    ASSERT_TRUE(load(save(d), back));
    MB_Solid* r = dynamic_cast<MB_Solid*>(back.object_list().head());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->mask(), masked);
    EXPECT_EQ(r->id(), 3u);
    ASSERT_EQ(r->count(), 4);
    MB_Object* copy = nullptr;
    ASSERT_TRUE(r->copy_to(copy));
    EXPECT_EQ(static_cast<MB_Solid*>(copy)->mask(), masked);
    delete copy;
  }
}

TEST(FillRecords, HatchesAreNotStored) {
  MB_Drawing d;
  MB_Hatch* h = new MB_Hatch;
  const As_Pt sq[4] = {As_Pt(0, 0, 0), As_Pt(1, 0, 0), As_Pt(1, 1, 0), As_Pt(0, 1, 0)};
  h->loop_list().add(new As_Loop(sq, 4));
  d.object_list().add_tail(h);
  d.object_list().add_tail(new MB_Face(2));
  Bytes body;
  ASSERT_TRUE(payload(save(d), body));
  Bytes want = default_attributes();
  want.insert(want.end(), {'z', 0, 0, 0, 0});
  EXPECT_EQ(body, want);
}

TEST(FillRecords, UnknownMeshFlagsAreIgnoredAndBadCountsLoadNothing) {
  MB_Drawing d;
  ASSERT_TRUE(load(uncompressed_file({'U', 7, 2, 5}), d));
  MB_Polygon_Mesh* m = dynamic_cast<MB_Polygon_Mesh*>(d.object_list().head());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->m_count(), 7);
  EXPECT_FALSE(m->meshm_closed()) << "a flags byte of 5 leaves the flags";
  EXPECT_FALSE(m->meshn_closed());

  Bytes huge = {'D', 0, 0, 0, 0};
  append_long(huge, 0x7FFFFFFF);
  Bytes negative = {'D', 0, 0, 0, 0};
  append_long(negative, 0xFFFFFFFF);
  Bytes short_points = {'D', 0, 0, 0, 0, 2, 0, 0, 0};
  append_double(short_points, 1.0);
  for (const Bytes& body : {huge, negative, short_points, Bytes{'z', 0x10, 0, 0, 0}}) {
    MB_Drawing e;
    EXPECT_FALSE(load(uncompressed_file(body), e)) << body[0];
    EXPECT_EQ(e.object_list().count(), 0);
  }
  // A file that ends inside a mesh record.
  Bytes cut = header_bytes();
  cut.insert(cut.end(), {'U', 1});
  MB_Drawing e;
  EXPECT_FALSE(load(cut, e));
  EXPECT_EQ(e.object_list().count(), 0);
}

}  // namespace
