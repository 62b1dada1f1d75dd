// Saving and loading whole drawings: the exact bytes of small drawings,
// round trips of every record kind, failures, and damaged files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <cmath>
#include <functional>
#include <random>

#include "database/entities/mb_line.h"
#include "database/entities/mb_lines.h"
#include "database/entities/mb_point.h"
#include "database/fileformat/mb_file_io.h"
#include "database/fileformat/mb_format_records.h"
#include "database/entities/mb_block.h"
#include "database/mb_drawing.h"
#include "database/mb_layer.h"
#include "database/mb_undo_redo.h"
#include "kzf_file_support.h"
#include "test_entity.h"

using namespace kzf_file_test;

namespace {

template <class T>
std::vector<T*> entities_of(MB_Drawing& d) {
  return objects_of<T>(d.object_list());
}

void expect_near(const As_Pt& a, const As_Pt& b) {
  EXPECT_NEAR(a.x(), b.x(), 1e-9 * (1 + std::fabs(b.x())));
  EXPECT_NEAR(a.y(), b.y(), 1e-9 * (1 + std::fabs(b.y())));
  EXPECT_EQ(a.z(), 0.0);
}

}  // namespace

TEST(KzfSave, OneLineDrawingHasItsExactBytesAndReadsBack) {
  MB_Drawing d;
  d.object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 0, 0)));
  const Bytes file = save(d);
  const Bytes head = {'(', 'K', 'Z', 'F', ' ', 'V', '0', '1', '.', '0', '0', ')', '{', 0, 0, 0, 0, 0x10, 0};
  ASSERT_GT(file.size(), head.size() + 16);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + long(head.size())), head);
  const Bytes tail = {0x00, '}', '\r', '\n', '(', 'E', 'n', 'd', 'O', 'f', 'K', 'Z', 'F', ')', '\r', '\n'};
  EXPECT_EQ(Bytes(file.end() - long(tail.size()), file.end()), tail);

  Bytes expect = {0x03, 0xFF, 0xFF, 0xFF, 0x00, 'i'};
  append_double(expect, 2.0);
  expect.push_back('j');
  append_double(expect, 0.4);
  expect.insert(expect.end(), {'L', 0, 0, 0, 0});
  for (double v : {0.0, 0.0, 10.0, 0.0}) append_double(expect, v);
  Bytes body;
  ASSERT_TRUE(payload(file, body));
  EXPECT_EQ(body, expect);

  MB_Drawing back;
  ASSERT_TRUE(load(file, back));
  auto lines = entities_of<MB_Line>(back);
  ASSERT_EQ(lines.size(), 1u);
  expect_near(lines[0]->end(), As_Pt(10, 0, 0));
  EXPECT_EQ(lines[0]->general().color(), 0xFFFFFF);
  EXPECT_EQ(lines[0]->general().line_scale(), 2.0);
  EXPECT_EQ(lines[0]->general().width(), 0.4);
}

TEST(KzfSave, AttributesAreWrittenOnlyWhenTheyChange) {
  MB_Drawing d;
  for (int i = 0; i < 2; ++i) {
    MB_Line* l = new MB_Line(As_Pt(i, 0, 0), As_Pt(i, 1, 0));
    l->general().color(0x0000FF);
    l->general().width(1.0);             // the pass's default: no record
    l->general().thickness(std::nan(""));  // a NaN is never a change
    d.object_list().add_tail(l);
  }
  Bytes body;
  ASSERT_TRUE(payload(save(d), body));
  int colours = 0, widths = 0, thicknesses = 0, lines = 0;
  // Records: 03 + 4, 'i' + 8, then two 'L' records of 4 + 32 bytes.
  for (size_t i = 0; i < body.size();) {
    switch (body[i]) {
      case 0x03: ++colours, i += 5; break;
      case 'i': i += 9; break;
      case 'j': ++widths, i += 9; break;
      case 'n': ++thicknesses, i += 9; break;
      case 'L': ++lines, i += 37; break;
      default: ADD_FAILURE() << "unexpected byte " << int(body[i]); i = body.size();
    }
  }
  EXPECT_EQ(colours, 1);
  EXPECT_EQ(widths, 0);
  EXPECT_EQ(thicknesses, 0);
  EXPECT_EQ(lines, 2);
}

TEST(KzfSave, DefaultLayerRecordHasItsExactBytes) {
  MB_Drawing d;
  d.layer_list().add_tail(new MB_Layer());
  Bytes body;
  ASSERT_TRUE(payload(save(d), body));
  EXPECT_EQ(body, (Bytes{0x79, 6, 0, 0, 0, 'l', 'a', 'y', 'e', 'r', '0', 0, 0, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0}));
}

// A load takes a run of entities with the same attributes on a short path;
// each entity still reads back with its own values when they change, come
// back, or change one at a time.
TEST(KzfRoundTrip, RunsOfLinesKeepEachLinesAttributes) {
  struct Row {
    int32_t display_width;
    double line_scale, width, thickness;
  };
  const Row rows[] = {{0, 1.0, 0.5, 0.0}, {0, 1.0, 0.5, 0.0}, {0, 1.0, 2.0, 0.0}, {0, 1.0, 2.0, 0.0},
                      {3, 1.0, 2.0, 0.0}, {3, 4.0, 2.0, 0.0}, {3, 4.0, 2.0, 7.5}, {0, 1.0, 0.5, 0.0},
                      {0, 1.0, 0.5, 1e-300}, {0, 1.0, 0.5, 0.0}};
  MB_Drawing d;
  for (const Row& r : rows) {
    MB_Line* l = new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0));
    l->general().display_width(r.display_width);
    l->general().line_scale(r.line_scale);
    l->general().width(r.width);
    l->general().thickness(r.thickness);
    d.object_list().add_tail(l);
  }
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  auto lines = entities_of<MB_Line>(back);
  ASSERT_EQ(lines.size(), std::size(rows));
  for (size_t i = 0; i < lines.size(); ++i) {
    const MB_General& g = lines[i]->general();
    EXPECT_EQ(g.display_width(), rows[i].display_width) << "line " << i;
    EXPECT_EQ(g.line_scale(), rows[i].line_scale) << "line " << i;
    EXPECT_EQ(g.width(), rows[i].width) << "line " << i;
    EXPECT_EQ(g.thickness(), rows[i].thickness) << "line " << i;
  }
}

TEST(KzfRoundTrip, StoredKindsReadBackWholeRaysAsLinesAndXlinesNotAtAll) {
  MB_Drawing d;
  MB_Layer* walls = new MB_Layer(MB_String("walls"));
  walls->id(7);
  walls->visibility(true);
  walls->lock(true);
  walls->width(3);
  walls->color(0x00FF00);
  d.layer_list().add_tail(new MB_Layer());
  d.layer_list().add_tail(walls);

  MB_Line* a = new MB_Line(As_Pt(0.1, 0.2, 5), As_Pt(1e6 + 0.3, -7.7, 0));
  a->general().color(0x123456);
  a->general().display_width(3);
  a->general().line_scale(0.5);
  a->general().width(2.25);
  a->general().thickness(1.5);
  a->set_id(42);
  a->user_id(0xFEDCBA98u);
  a->string() = "door";
  a->real_val(-3.5);
  a->xdata().buffer("x\0y", 3);
  a->general().layer(walls);  // not stored
  d.object_list().add_tail(a);

  MB_Lines* chain = new MB_Lines(3);
  chain->init(3, std::vector<As_Pt>{As_Pt(1, 1, 0), As_Pt(2, 3, 0), As_Pt(-4, 0.125, 0)}.data());
  chain->closed(true);  // not stored
  d.object_list().add_tail(chain);

  MB_Point* point = new MB_Point(As_Pt(3.3, 4.4, 9));
  point->general().color(0x0000FF);
  d.object_list().add_tail(point);
  d.object_list().add_tail(new MB_Ray(As_Pt(5, 5, 0), As_Pt(6, 7, 0)));
  d.object_list().add_tail(new MB_Xline());
  d.object_list().add_tail(new MB_Mlines(2));
  MB_Line* last = new MB_Line(As_Pt(8, 8, 0), As_Pt(9, 9, 0));
  last->general() = a->general();
  d.object_list().add_tail(last);

  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));

  ASSERT_EQ(back.layer_list().count(), 2);
  MB_Layer* l = static_cast<MB_Layer*>(back.layer_list().tail());
  EXPECT_TRUE(l->name() == "walls");
  EXPECT_EQ(l->id(), 7);
  EXPECT_EQ(l->flags(), walls->flags());
  EXPECT_EQ(l->width(), 3);
  EXPECT_EQ(l->color(), 0x00FF00u);

  ASSERT_EQ(back.object_list().count(), 5);  // the xline and the multi-line are not stored
  auto lines = entities_of<MB_Line>(back);
  ASSERT_EQ(lines.size(), 3u);  // the ray comes back as a line
  const MB_Line* ra = lines[0];
  expect_near(ra->start(), a->start());
  expect_near(ra->end(), a->end());
  EXPECT_EQ(ra->general().color(), 0x123456);
  EXPECT_EQ(ra->general().display_color(), 0x123456);
  EXPECT_EQ(ra->general().display_width(), 3);
  EXPECT_EQ(ra->general().line_scale(), 0.5);
  EXPECT_EQ(ra->general().width(), 2.25);
  EXPECT_EQ(ra->general().thickness(), 1.5);
  EXPECT_EQ(ra->general().layer(), nullptr);
  EXPECT_EQ(ra->id(), 42u);
  EXPECT_EQ(ra->user_id(), 0xFEDCBA98u);
  EXPECT_TRUE(ra->string() == "door");
  EXPECT_EQ(ra->real_val(), -3.5);
  ASSERT_EQ(ra->xdata().length(), 3);
  EXPECT_EQ(std::memcmp(ra->xdata().data(), "x\0y", 3), 0);

  EXPECT_EQ(lines[1]->object_id(), MB_Object::ID_LINE);
  expect_near(lines[1]->end(), As_Pt(6, 7, 0));
  // The ray took the attributes current at its place in the file.
  EXPECT_EQ(lines[1]->general().color(), 0x0000FF);
  EXPECT_EQ(lines[2]->general().thickness(), 1.5);

  auto chains = entities_of<MB_Lines>(back);
  ASSERT_EQ(chains.size(), 1u);
  EXPECT_FALSE(chains[0]->closed());
  ASSERT_EQ(chains[0]->count(), 3);
  for (int i = 0; i < 3; ++i) expect_near(chains[0]->points()[i], chain->points()[i]);

  auto points = entities_of<MB_Point>(back);
  ASSERT_EQ(points.size(), 1u);
  expect_near(points[0]->pos(), As_Pt(3.3, 4.4, 0));
  EXPECT_EQ(points[0]->general().color(), MB_General().color());  // takes no pass attributes
}

TEST(KzfRoundTrip, DeltaCodingDoesNotDrift) {
  MB_Drawing d;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1e7, 1e7);
  std::vector<As_Pt> pts;
  for (int i = 0; i < 2000; ++i) {
    pts.emplace_back(u(rng) + 0.1, u(rng) / 3, 0);
    d.object_list().add_tail(new MB_Point(pts.back()));
  }
  MB_Drawing back;
  ASSERT_TRUE(load(save(d), back));
  auto got = entities_of<MB_Point>(back);
  ASSERT_EQ(got.size(), pts.size());
  for (size_t i = 0; i < pts.size(); ++i) {
    EXPECT_NEAR(got[i]->pos().x(), pts[i].x(), 1e-8);
    EXPECT_NEAR(got[i]->pos().y(), pts[i].y(), 1e-8);
  }
}

TEST(KzfRoundTrip, EveryFramingAndAttributeRecordLoads) {
  // Every framing and attribute record this format defines, written in one
  // pass and read back by a load.
  Temp_File f;
  {
    MB_File_IO io;
    ASSERT_EQ(open_writer(io, f), MB_SUCCESS);
    io.heuristics().compression = 1;
    EXPECT_EQ(MB_Byte_Value(9).serialize(io), MB_SUCCESS);
    EXPECT_EQ(MB_Long_Option(-5).serialize(io), MB_SUCCESS);
    EXPECT_EQ(MB_Rendition_Long_A(77).serialize(io), MB_SUCCESS);
    EXPECT_EQ(MB_Color_Map(38).serialize(io), MB_SUCCESS);
    EXPECT_EQ(io.fifo_rendition().write_sync_font(2.0, 0.5, 0.25, 0.125, 3, 4, "Standard"), MB_SUCCESS);
    EXPECT_EQ(MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0)).serialize(io), MB_SUCCESS);
    EXPECT_EQ(io.close(), MB_SUCCESS);
  }
  MB_Drawing d;
  MB_Result r;
  EXPECT_TRUE(load(f.read(), d, &r)) << r;
  EXPECT_EQ(d.object_list().count(), 1);

  MB_Drawing d2;
  Temp_File g;
  {
    MB_File_IO io;
    ASSERT_EQ(open_writer(io, g), MB_SUCCESS);
    io.heuristics().compression = 1;
    MB_Color_Map(38).serialize(io);
    io.fifo_rendition().write_sync_font(2.0, 0.5, 0.25, 0.125, 3, 4, nullptr);
    MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0)).serialize(io);
    EXPECT_EQ(io.close(), MB_SUCCESS);
  }
  EXPECT_TRUE(load(g.read(), d2, &r)) << r;
  EXPECT_EQ(d2.object_list().count(), 1);
}

TEST(KzfRoundTrip, SecondSaveWithOneFileObjectIsTheSame) {
  MB_Drawing d;
  MB_Line* l = new MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0));
  l->general().color(0x00AA00);
  d.object_list().add_tail(l);
  Temp_File f, g;
  MB_File_IO io;
  io.drawing(&d);
  ASSERT_TRUE(io.save_kzf(f.path()));
  ASSERT_TRUE(io.save_kzf(g.path()));
  EXPECT_EQ(f.read(), g.read());
  // Loading twice with one file object appends the same content again.
  MB_Drawing back;
  MB_File_IO in;
  in.drawing(&back);
  ASSERT_TRUE(in.load_kzf(f.path()));
  ASSERT_TRUE(in.load_kzf(g.path()));
  auto lines = entities_of<MB_Line>(back);
  ASSERT_EQ(lines.size(), 2u);
  expect_near(lines[1]->start(), As_Pt(1, 2, 0));
  EXPECT_EQ(lines[1]->general().color(), 0x00AA00);
}

TEST(KzfRoundTrip, UndoIsNotRecordedDuringAPass) {
  MB_Drawing d;
  d.object_list().add_tail(new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 1, 0)));
  const Bytes file = save(d);
  MB_Drawing back;
  MB_Undo_Redo undo(&back);
  undo.rec_cmd_begin("load");
  MB_Undo_Redo* before = g_undo_redo;
  ASSERT_TRUE(load(file, back));
  EXPECT_EQ(g_undo_redo, before);
  EXPECT_EQ(undo.recording()->head(), nullptr);
  undo.rec_cmd_end();
}

TEST(KzfFailures, SaveAndLoadReportFailures) {
  MB_Drawing d;
  d.object_list().add_tail(new MB_Line());
  MB_File_IO io;
  io.drawing(&d);
  char bad[] = "/nonexistent-dir/x.kzf";
  EXPECT_FALSE(io.save_kzf(bad));
  EXPECT_EQ(io.result(), MB_BAD_MODE);
  EXPECT_FALSE(io.load_kzf(bad));
  MB_File_IO none;
  Temp_File f;
  EXPECT_FALSE(none.save_kzf(f.path()));
  if (FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    char dev_full[] = "/dev/full";
    EXPECT_FALSE(io.save_kzf(dev_full));
    EXPECT_EQ(io.result(), MB_SHORT_WRITE);
  }
}

namespace {

// An entity whose record cannot be written.
class Unwritable_Line : public Test_Line {
 public:
  MB_Result serialize(MB_File_IO&) const override { return MB_SHORT_WRITE; }
};

}  // namespace

TEST(KzfFailures, FailedSaveLeavesThePreviousFileWhole) {
  Temp_File f;
  MB_Drawing good;
  good.object_list().add_tail(new MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0)));
  MB_File_IO io;
  io.drawing(&good);
  ASSERT_TRUE(io.save_kzf(f.path()));
  const Bytes before = f.read();

  MB_Drawing bad;
  bad.object_list().add_tail(new MB_Line(As_Pt(5, 6, 0), As_Pt(7, 8, 0)));
  bad.object_list().add_tail(new Unwritable_Line());
  MB_File_IO io2;
  io2.drawing(&bad);
  EXPECT_FALSE(io2.save_kzf(f.path()));
  EXPECT_EQ(io2.result(), MB_SHORT_WRITE);
  EXPECT_EQ(f.read(), before);
  EXPECT_EQ(std::string(io2.file_name()), std::string(f.path()));
  FILE* leftover = std::fopen((std::string(f.path()) + ".~kzf").c_str(), "rb");
  EXPECT_EQ(leftover, nullptr) << "the temporary file is removed";
  if (leftover) std::fclose(leftover);

  // A good save replaces the file and keeps its permission bits.
  chmod(f.path(), 0640);
  ASSERT_TRUE(io.save_kzf(f.path()));
  struct stat st;
  ASSERT_EQ(stat(f.path(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(f.read(), before);
}

namespace {

// A fresh folder, removed with what is in it.
struct Temp_Dir {
  Temp_Dir() {
    char tmpl[] = "/tmp/qm_kzf_dir_XXXXXX";
    path = mkdtemp(tmpl) ? tmpl : "";
  }
  ~Temp_Dir() {
    if (!path.empty()) {
      EXPECT_EQ(std::system(("rm -rf " + path).c_str()), 0);
    }
  }
  std::string operator/(const char* name) const { return path + "/" + name; }
  std::string path;
};

void put_bytes(const std::string& path, const Bytes& b) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  if (!b.empty()) std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}

// Binds io to d, gives d one line and saves it as path.
void save_one_line(MB_Drawing& d, MB_File_IO& io, std::string path) {
  d.object_list().add_tail(new MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0)));
  io.drawing(&d);
  ASSERT_TRUE(io.save_kzf(&path[0])) << io.reason();
}

Bytes bytes_at(const std::string& path) {
  Bytes b;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) b.push_back(uint8_t(c));
    std::fclose(f);
  }
  return b;
}

}  // namespace

TEST(KzfFailures, ReasonsSayWhatWentWrong) {
  Temp_Dir dir;
  ASSERT_FALSE(dir.path.empty());
  Bytes line = {'L', 0, 0, 0, 0};
  for (double v : {1.0, 2.0, 3.0, 4.0}) append_double(line, v);
  const Bytes plain = uncompressed_file(line);
  Bytes unknown = line;
  unknown.push_back('f');  // a font record: not read by this kernel
  put_bytes(dir / "text.kzf", bytes_of("hello, this is no drawing"));
  put_bytes(dir / "short.kzf", bytes_of("(KZ"));
  put_bytes(dir / "empty.kzf", {});
  put_bytes(dir / "cut.kzf", Bytes(plain.begin(), plain.begin() + 20));
  put_bytes(dir / "unknown.kzf", uncompressed_file(unknown));
  ASSERT_EQ(mkdir((dir / "folder.kzf").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.kzf").c_str(), 0644), 0);
  const struct {
    const char* name;
    const char* reason;
  } loads[] = {
      {"missing.kzf", "No such file or directory"},
      {"folder.kzf", "is a directory"},
      {"pipe.kzf", "is a pipe, not a regular file"},
      {"text.kzf", "not a drawing (no native file header)"},
      {"short.kzf", "not a drawing (3 bytes, too short)"},
      {"empty.kzf", "not a drawing (0 bytes, too short)"},
      {"cut.kzf", "truncated at byte 20"},
      {"unknown.kzf", "a record this kernel does not read, or out of memory (record 3)"},
  };
  for (const auto& c : loads) {
    SCOPED_TRACE(c.name);
    MB_Drawing d;
    MB_File_IO io;
    io.drawing(&d);
    EXPECT_FALSE(io.load_kzf((dir / c.name).c_str()));
    EXPECT_EQ(io.reason(), c.reason);
  }
  MB_Drawing d;
  MB_File_IO io;
  const std::string ok = dir / "ok.kzf";
  save_one_line(d, io, ok);
  EXPECT_EQ(io.reason(), "");
  ASSERT_TRUE(io.load_kzf(ok.c_str()));
  EXPECT_EQ(io.reason(), "");

  std::string folder = dir / "folder.kzf", nowhere = dir / "none/x.kzf", full = "/dev/full";
  const struct {
    std::string* path;
    const char* reason;
  } saves[] = {
      {&folder, "is a directory"},
      {&nowhere, "No such file or directory"},
      {&full, "No space left on device"},
  };
  for (const auto& c : saves) {
    SCOPED_TRACE(*c.path);
    if (*c.path == full && access("/dev/full", W_OK) != 0) continue;
    EXPECT_FALSE(io.save_kzf(&(*c.path)[0]));
    EXPECT_EQ(io.reason(), c.reason);
  }
  EXPECT_STREQ(mb_result_text(MB_BAD_HEADER), "not a drawing (no native file header)");
  EXPECT_STREQ(mb_result_text(12345), "unknown result");
}

TEST(KzfFailures, SaveFollowsNoLinkBesideTheDrawing) {
  Temp_Dir dir;
  ASSERT_FALSE(dir.path.empty());
  // Links where an older save put its temporary file, and where others
  // might: none of them is written through.
  const std::string victim = dir / "victim";
  put_bytes(victim, bytes_of("keep"));
  for (const char* name : {"d.kzf.~kzf", "d.kzf.tmp", ".d.kzf.tmp", "d.~kzf", "~d.kzf"})
    ASSERT_EQ(symlink(victim.c_str(), (dir / name).c_str()), 0);
  MB_Drawing good;
  MB_File_IO io;
  std::string target = dir / "d.kzf";
  save_one_line(good, io, target);
  const Bytes saved = bytes_at(target);
  EXPECT_EQ(bytes_at(victim), bytes_of("keep"));

  MB_Drawing bad;
  bad.object_list().add_tail(new Unwritable_Line());
  MB_File_IO io2;
  io2.drawing(&bad);
  EXPECT_FALSE(io2.save_kzf(&target[0]));
  EXPECT_EQ(bytes_at(target), saved);
  EXPECT_EQ(bytes_at(victim), bytes_of("keep"));
  // Nothing is left behind: the drawing, the victim and the five links.
  EXPECT_EQ(std::system(("test $(ls -A " + dir.path + " | wc -l) -eq 7").c_str()), 0);
}

TEST(KzfFailures, ContentBeforeAFailureStays) {
  Bytes payload_bytes = {'L', 0, 0, 0, 0};
  for (double v : {1.0, 2.0, 3.0, 4.0}) append_double(payload_bytes, v);
  Bytes bad = payload_bytes;
  bad.push_back('f');  // a font record: not read by this kernel
  bad.insert(bad.end(), payload_bytes.begin(), payload_bytes.end());
  MB_Drawing d;
  MB_Result r;
  EXPECT_FALSE(load(uncompressed_file(bad), d, &r));
  EXPECT_EQ(r, MB_NO_OBJECT);
  EXPECT_EQ(d.object_list().count(), 1);
  // Hostile counts and lengths fail without allocating for them.
  for (uint32_t n : {0x7FFFFFFFu, 0x80000000u, 0x10000000u}) {
    Bytes b = {'l', 0, 0, 0, 0};
    append_long(b, n);
    Bytes s = {'L', 0x04, 0, 0, 0};
    append_long(s, n);
    Bytes x = {'L', 0x10, 0, 0, 0};
    append_long(x, n);
    for (const Bytes& body : {b, s, x}) {
      MB_Drawing e;
      EXPECT_FALSE(load(uncompressed_file(body), e, &r));
      EXPECT_EQ(e.object_list().count(), 0);
    }
  }
}

TEST(KzfFailures, DamagedFilesEndCleanly) {
  MB_Drawing d;
  MB_Layer* layer = new MB_Layer(MB_String("a"));
  d.layer_list().add_tail(layer);
  MB_Line* l = new MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0));
  l->string() = "s";
  l->xdata().buffer("xy", 2);
  l->general().thickness(2);
  d.object_list().add_tail(l);
  MB_Lines* c = new MB_Lines(2);
  d.object_list().add_tail(c);
  d.object_list().add_tail(new MB_Point(As_Pt(5, 6, 0)));
  const Bytes compressed = save(d);
  Bytes body;
  ASSERT_TRUE(payload(compressed, body));
  const Bytes plain = uncompressed_file(body);

  for (const Bytes* file : {&compressed, &plain}) {
    MB_Drawing whole;
    ASSERT_TRUE(load(*file, whole));
    const int count = whole.object_list().count();
    load_damaged(*file, 12345, [count](MB_Drawing& part) { EXPECT_LE(part.object_list().count(), count); });
  }
}

namespace {

// The rendition's two long slots are the same record: "s" and the value,
// read back by either; the URL record is "(URL)" and leaves no change
// pending in the desired rendition.
TEST(KzfRenditionRecords, LongSlotsAndTheUrlRecord) {
  struct Case {
    bool url;
    std::function<MB_Result(MB_File_IO&)> write;
    const char* bytes;
  };
  int32_t read_back = 0;
  const Case cases[] = {
      {false,
       [](MB_File_IO& io) { return MB_Rendition_Long_A(0x01020304).serialize(io); }, "s\x04\x03\x02\x01"},
      {false,
       [](MB_File_IO& io) { return MB_Rendition_Long_B(0x01020304).serialize(io); }, "s\x04\x03\x02\x01"},
      {true,
       [](MB_File_IO& io) {
         io.desired_rendition().changed(MB_Rendition::CHANGED_URL | MB_Rendition::CHANGED_COLOR);
         io.desired_rendition().second_changed(7);
         return MB_URL().serialize(io);
       },
       "(URL)"},
  };
  EXPECT_EQ(int32_t(MB_Rendition_Long_B().object_id()), int32_t(MB_ID_RENDITION_LONG_B));
  EXPECT_EQ(int32_t(MB_URL().object_id()), int32_t(MB_ID_URL));
  EXPECT_EQ(MB_URL().link(), -1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    Temp_File f;
    MB_File_IO io;
    io.heuristics().binary = 1;
    ASSERT_EQ(open_writer(io, f), MB_SUCCESS);
    ASSERT_EQ(c.write(io), MB_SUCCESS);
    if (c.url) {
      EXPECT_EQ(io.desired_rendition().changed(), MB_Rendition::CHANGED_COLOR) << "only the URL change is taken";
      EXPECT_EQ(io.desired_rendition().second_changed(), 0);
    }
    ASSERT_EQ(io.close(), MB_SUCCESS);
    Bytes body;
    const Bytes file = f.read();
    const Bytes head = header_bytes();
    ASSERT_GE(file.size(), head.size());
    body.assign(file.begin() + long(head.size()), file.end());
    while (!body.empty() && (body.front() == '\r' || body.front() == '\n')) body.erase(body.begin());
    const std::string want = c.bytes;
    ASSERT_GE(body.size(), want.size());
    EXPECT_EQ(std::string(body.begin(), body.begin() + long(want.size())), want);
    if (!c.url) {
      Temp_File g;
      MB_File_IO reader;
      ASSERT_EQ(open_reader(reader, g, bytes_of(want)), MB_SUCCESS);
      MB_Opcode op;
      op.set_single('s');
      unsigned char s;
      ASSERT_EQ(reader.read(s), MB_SUCCESS);
      MB_Rendition_Long_B slot;
      ASSERT_EQ(slot.materialize(op, reader), MB_SUCCESS);
      read_back = slot.value();
      EXPECT_EQ(read_back, 0x01020304);
    }
  }
}

// The block a pass defines: found by name or made once, its base point set,
// objects going to its list while it is open and to the drawing after.
TEST(KzfFifoRendition, BlockDefinitionOperations) {
  MB_Drawing d;
  MB_FIFO_Rendition state(&d);
  EXPECT_FALSE(state.set_block_base(As_Pt(1, 1, 0))) << "no block yet";
  EXPECT_EQ(state.creating_list(), &d.object_list());
  As_Pt base(5, 6, 0);
  ASSERT_TRUE(state.start_block(MB_String("Door"), base));
  MB_Block* door = state.block();
  ASSERT_NE(door, nullptr);
  EXPECT_EQ(d.block_list().tail(), door);
  EXPECT_TRUE(door->desc() == MB_String("Block desc0"));
  EXPECT_EQ(state.creating_list(), &door->object_list());
  auto* line = new MB_Line(As_Pt(0, 0, 0), As_Pt(1, 0, 0));
  state.add_object(line);
  state.add_object(nullptr);
  EXPECT_EQ(door->object_list().count(), 1);
  ASSERT_TRUE(state.set_block_base(As_Pt(2, 3, 0)));
  EXPECT_EQ(door->base_pos().x(), 2);
  EXPECT_TRUE(state.end_block());
  EXPECT_EQ(state.block(), nullptr);
  EXPECT_EQ(state.creating_list(), &d.object_list());
  ASSERT_TRUE(state.start_block(MB_String("Door"), base));
  EXPECT_EQ(state.block(), door) << "a second start finds the block";
  EXPECT_EQ(d.block_list().count(), 1);
  state.end_block();
  EXPECT_FALSE(MB_FIFO_Rendition().start_block(MB_String("x"), base)) << "no drawing";
}

}  // namespace
