// Records of the curved entities: exact bytes, round trips through save and
// load, the arc's attribute-only opcode and records cut short.
#include <gtest/gtest.h>

#include <cmath>

#include "database/entities/mb_bspline.h"
#include "database/entities/mb_circle.h"
#include "database/entities/mb_ellipse.h"
#include "database/entities/mb_polyline.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fileformat/mb_opcode.h"
#include "database/mb_drawing.h"
#include "kzf_file_support.h"

using namespace kzf_file_test;

namespace {

// The bytes the entities write in one pass, after a first entity has
// brought the attributes in sync.
Bytes record_bytes(std::initializer_list<const MB_Object*> entities) {
  Temp_File f;
  Bytes before, after;
  {
    MB_File_IO io;
    EXPECT_EQ(open_writer(io, f), MB_SUCCESS);
    MB_Circle sync;
    sync.serialize(io);
    EXPECT_EQ(io.close(), MB_SUCCESS);
    before = f.read();
  }
  {
    MB_File_IO io;
    EXPECT_EQ(open_writer(io, f), MB_SUCCESS);
    MB_Circle sync;
    sync.serialize(io);
    for (const MB_Object* e : entities) EXPECT_EQ(e->serialize(io), MB_SUCCESS);
    EXPECT_EQ(io.close(), MB_SUCCESS);
    after = f.read();
  }
  // Both passes end with the end record.
  const long end = long(end_bytes().size());
  if (before.size() < size_t(end) || after.size() < before.size()) return Bytes();
  return Bytes(after.begin() + long(before.size()) - end, after.end() - end);
}

Bytes with_doubles(Bytes b, std::initializer_list<double> vs) {
  for (double v : vs) append_double(b, v);
  return b;
}


}  // namespace

TEST(CurveRecords, EachCurveWritesItsRecordRelativeToTheLast) {
  MB_Circle circle(As_Pt(1, 2, 0), 3);
  MB_Circle next(As_Pt(4, 6, 0), 1);
  MB_Arc arc(As_Pt(0, 0, 0), 1, 0.5, 2);
  MB_Ellipse ellipse(As_Pt(1, 1, 0), 2, 1, 0);
  MB_Ellipse_Arc earc(As_Pt(1, 1, 0), 2, 1, 0, 1, 2);
  MB_Polyline pline(false, 2, new MB_Pline_Pos[2]);
  pline.pline_pos()[0] = {As_Pt(0, 0, 0), 1, 0, 0};
  pline.pline_pos()[1].point = As_Pt(2, 0, 0);
  MB_Bspline spline(0, 3);
  spline.fitpts().points()[1] = As_Pt(1, 1, 0);
  spline.fitpts().points()[2] = As_Pt(2, 0, 0);
  spline.starttangent(1, 0, 0);

  // The sync entity leaves the running position at the origin.
  const struct {
    const MB_Object* e;
    Bytes bytes;
  } cases[] = {
      {&circle, with_doubles({0x12, 0, 0, 0, 0}, {1, 2, 3})},
      {&arc, with_doubles({0x01, 0, 0, 0, 0}, {0, 0, 1, 0.5, 2})},
      {&ellipse, with_doubles({'E', 0, 0, 0, 0}, {1, 1, 2, 1, 0})},
      {&earc, with_doubles({'O', 0, 0, 0, 0}, {1, 1, 2, 1, 0, 1, 2})},
      {&pline, with_doubles(with_doubles({'P', 0, 0, 0, 0, 0, 2, 0}, {0, 1, 0, 0, 0, 0}), {0, 0, 0, 2, 0})},
      {&spline, with_doubles({'W', 3, 0, 0, 0}, {0, 0, 1, 1, 1, -1})},
  };
  for (const auto& c : cases) EXPECT_EQ(record_bytes({c.e}), c.bytes) << int(c.bytes[0]);
  EXPECT_EQ(record_bytes({&pline}).size(), 96u);
  // A circle after another takes its centre relative to the one before.
  Bytes two = with_doubles({0x12, 0, 0, 0, 0}, {1, 2, 3});
  two.insert(two.end(), {0x12, 0, 0, 0, 0});
  EXPECT_EQ(record_bytes({&circle, &next}), with_doubles(two, {3, 4, 1}));
}

TEST(CurveRecords, RoundTripThroughSaveAndLoad) {
  MB_Drawing d;
  auto* circle = new MB_Circle(As_Pt(1.5, -2, 0), 3);
  circle->general().color(0x0000FF);
  circle->user_id(7);
  auto* arc = new MB_Arc(As_Pt(10, 10, 0), 2, 3 * qm_pi / 2, qm_pi / 2);
  auto* ellipse = new MB_Ellipse(As_Pt(-3, 4, 0), 5, 2, 0.25);
  auto* earc = new MB_Ellipse_Arc(As_Pt(3, 4, 0), 5, 2, 0.25, 1, 5);
  auto* pline = new MB_Polyline;
  for (int i = 0; i < 4; ++i) {
    MB_Pline_Pos& v = pline->get_new_pline_pos();
    v = {As_Pt(i, i * i, 9), i * 0.25, i * 0.5, i * 0.75};
  }
  pline->closed(true);
  pline->global_width(1.5);
  auto* spline = new MB_Bspline(2, 3);
  spline->fitpts().points()[1] = As_Pt(1, 1, 0);
  spline->fitpts().points()[2] = As_Pt(2, 0, 0);
  spline->starttangent(0, 1, 0);
  for (MB_Drawable* e : std::initializer_list<MB_Drawable*>{circle, arc, ellipse, earc, pline, spline}) {
    d.object_list().add_tail(e);
  }
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  ASSERT_EQ(back.object_list().count(), 6);
  MB_Object* o = back.object_list().head();
  auto* c = dynamic_cast<MB_Circle*>(o);
  ASSERT_TRUE(c && c->object_id() == MB_Object::ID_CIRCLE);
  EXPECT_EQ(c->center().x(), 1.5);
  EXPECT_EQ(c->radius(), 3);
  EXPECT_EQ(c->general().color(), 0x0000FF);
  EXPECT_EQ(c->user_id(), 7u);
  auto* a = dynamic_cast<MB_Arc*>(o = o->next());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->start_angle(), 3 * qm_pi / 2);
  EXPECT_NEAR(a->end().y(), 12, 1e-12);  // recomputed from the angles
  auto* e = dynamic_cast<MB_Ellipse*>(o = o->next());
  ASSERT_TRUE(e && e->object_id() == MB_Object::ID_ELLIPSE);
  EXPECT_EQ(e->angle(), 0.25);
  EXPECT_EQ(e->center().x(), -3);
  auto* ea = dynamic_cast<MB_Ellipse_Arc*>(o = o->next());
  ASSERT_NE(ea, nullptr);
  EXPECT_EQ(ea->end_angle(), 5);
  EXPECT_EQ(ea->center().x(), 3);
  auto* p = dynamic_cast<MB_Polyline*>(o = o->next());
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->count(), 4);
  EXPECT_TRUE(p->closed());
  EXPECT_EQ(p->global_width(), 1.5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p->pline_pos()[i].point.y(), i * i);
    EXPECT_EQ(p->pline_pos()[i].point.z(), 0);
    EXPECT_EQ(p->pline_pos()[i].end_width, i * 0.75);
  }
  auto* s = dynamic_cast<MB_Bspline*>(o = o->next());
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->fitpts().count(), 3);
  EXPECT_EQ(s->fitpts()[1].y(), 1);
  EXPECT_EQ(s->starttangent().y(), 0);  // tangents are not stored
  EXPECT_EQ(s->fittol(), 0.0);
}

TEST(CurveRecords, ArcOpcodesReadAndRecordsCutAnywhereLoadNothing) {
  // 'a' is an arc of attributes only; 'e' a circle record.
  Bytes body = {'a'};
  const Bytes circle = with_doubles({'e', 0, 0, 0, 0}, {1, 2, 3});
  body.insert(body.end(), circle.begin(), circle.end());
  MB_Drawing d;
  ASSERT_TRUE(load(uncompressed_file(body), d));
  ASSERT_EQ(d.object_list().count(), 2);
  auto* a = dynamic_cast<MB_Arc*>(d.object_list().head());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->radius(), 0);
  auto* c = dynamic_cast<MB_Circle*>(d.object_list().tail());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->radius(), 3);

  // Every record cut anywhere (the file ends there) loads nothing of it.
  MB_Polyline pline(true, 2, new MB_Pline_Pos[2]);
  pline.pline_pos()[1].point = As_Pt(2, 0, 0);
  MB_Bspline spline(0, 3);
  MB_Ellipse_Arc earc(As_Pt(1, 1, 0), 2, 1, 0, 1, 2);
  MB_Arc arc(As_Pt(0, 0, 0), 1, 0.5, 2);
  for (const MB_Object* e : std::initializer_list<const MB_Object*>{&pline, &spline, &earc, &arc}) {
    const Bytes record = record_bytes({e});
    for (size_t cut = 1; cut < record.size(); ++cut) {
      MB_Drawing part;
      Bytes cut_file = header_bytes();
      cut_file.insert(cut_file.end(), record.begin(), record.begin() + long(cut));
      EXPECT_FALSE(load(cut_file, part)) << cut;
      EXPECT_EQ(part.object_list().count(), 0) << cut;
    }
    MB_Drawing whole;
    EXPECT_TRUE(load(uncompressed_file(record), whole));
    EXPECT_EQ(whole.object_list().count(), 1);
  }
}
