// The file object's primitives, framing records, tokenizer and dispatcher.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "database/fileformat/mb_file_io.h"
#include "database/fileformat/mb_format_records.h"
#include "database/mb_color.h"
#include "database/entities/mb_line.h"
#include "database/mb_drawing.h"
#include "geometry/as_pt_set.h"
#include "kzf_file_support.h"

using namespace kzf_file_test;

TEST(KzfPrimitives, CountsWrittenAndReadBack) {
  struct Case {
    int n;
    Bytes bytes;
  } cases[] = {{1, {0x01}}, {255, {0xFF}}, {256, {0, 0, 0}}, {300, {0, 0x2C, 0}}, {65791, {0, 0xFF, 0xFF}}};
  for (const Case& c : cases) {
    EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { EXPECT_EQ(io.write_count(c.n), MB_SUCCESS); }), c.bytes) << c.n;
    Temp_File f;
    MB_File_IO io;
    ASSERT_EQ(open_reader(io, f, c.bytes), MB_SUCCESS);
    int32_t n = 0;
    EXPECT_EQ(io.read_count(n), MB_SUCCESS);
    EXPECT_EQ(n, c.n);
  }
  EXPECT_TRUE(write_pass_body([](MB_File_IO& io) {
                EXPECT_EQ(io.write_count(0), MB_SYNTAX_ERROR);
                EXPECT_EQ(io.write_count(65792), MB_SYNTAX_ERROR);
              }).empty());
}

TEST(KzfPrimitives, PositionsAreDeltaCoded) {
  Bytes expect;
  for (double v : {1.0, 2.0, 3.0, 4.0}) append_double(expect, v);
  EXPECT_EQ(write_pass_body([](MB_File_IO& io) {
              io.write_position(As_Pt(1, 2, 0));
              io.write_position(As_Pt(4, 6, 0));
            }),
            expect);
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, expect), MB_SUCCESS);
  As_Pt a(0, 0, 7), b;
  ASSERT_EQ(io.read_position(a), MB_SUCCESS);
  ASSERT_EQ(io.read_position(b), MB_SUCCESS);
  EXPECT_EQ(a.x(), 1);
  EXPECT_EQ(a.y(), 2);
  EXPECT_EQ(a.z(), 7);  // the caller's z stays
  EXPECT_EQ(b.x(), 4);
  EXPECT_EQ(b.y(), 6);
  // A new pass starts from the origin again.
  io.close();
  ASSERT_EQ(open_reader(io, f, expect), MB_SUCCESS);
  ASSERT_EQ(io.read_position(a), MB_SUCCESS);
  EXPECT_EQ(a.x(), 1);
}

TEST(KzfPrimitives, ColoursAndVersionByteOrder) {
  const Bytes b = {1, 2, 3, 4};
  EXPECT_EQ(write_pass_body([](MB_File_IO& io) { io.write(MB_RGBA32(1, 2, 3, 4)); }), b);
  for (int version : {32, 33}) {
    Temp_File f;
    MB_File_IO io;
    ASSERT_EQ(open_reader(io, f, b), MB_SUCCESS);
    io.rendition()->major_revision(0);
    io.rendition()->minor_revision(int16_t(version));
    MB_RGBA32 c;
    ASSERT_EQ(io.read(c), MB_SUCCESS);
    EXPECT_EQ(c, version == 32 ? MB_RGBA32(3, 2, 1, 4) : MB_RGBA32(1, 2, 3, 4));
  }
}

TEST(KzfPrimitives, UnsignedLongIsFourBytes) {
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, {0x78, 0x56, 0x34, 0x12, 0xAA}), MB_SUCCESS);
  uint32_t v = 0;
  ASSERT_EQ(io.read(v), MB_SUCCESS);
  EXPECT_EQ(v, 0x12345678u);
  unsigned char b;
  ASSERT_EQ(io.read(b), MB_SUCCESS);
  EXPECT_EQ(b, 0xAA);
}

TEST(KzfPrimitives, ShortReadPutsBackWhatItGot) {
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, {0x11, 0x22}), MB_SUCCESS);
  int32_t v;
  EXPECT_EQ(io.read(v), MB_SHORT_READ);
  EXPECT_EQ(io.logical_position(), 0);
  unsigned short s = 0;
  ASSERT_EQ(io.read(s), MB_SUCCESS);
  EXPECT_EQ(s, 0x2211);
  EXPECT_EQ(io.read(v), MB_SHORT_READ);
}

TEST(KzfPrimitives, SkipTakesPutBackBytesBeforeTheFile) {
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, {1, 2, 3, 4, 5, 6}), MB_SUCCESS);
  unsigned char b[2];
  ASSERT_EQ(io.read(2, b), MB_SUCCESS);
  io.put_back(2, b);
  io.skip(3);  // drops 1, 2 from the put-back bytes and 3 from the file
  unsigned char c;
  ASSERT_EQ(io.read(c), MB_SUCCESS);
  EXPECT_EQ(c, 4);
  EXPECT_EQ(io.logical_position(), 4);
  io.skip(5);
  EXPECT_EQ(io.read(c), MB_SHORT_READ);
}

TEST(KzfPrimitives, PointSetCountsAreChecked) {
  for (uint32_t n : {0xFFFFFFFFu, 0x7FFFFFFFu, 3u}) {
    Bytes b;
    append_long(b, n);
    append_double(b, 1.0);
    Temp_File f;
    MB_File_IO io;
    ASSERT_EQ(open_reader(io, f, b), MB_SUCCESS);
    As_Pt_Set set(2);
    EXPECT_NE(io.read(set), MB_SUCCESS) << n;
    EXPECT_EQ(set.count(), 2);  // unchanged
  }
  // Sets whose counts add up beyond the limit.
  Bytes b;
  append_long(b, 2);
  b.push_back(0);
  append_long(b, 0x7FFFFFFF);
  append_long(b, 0x7FFFFFFF);
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, b), MB_SUCCESS);
  As_Pt_Sets sets;
  EXPECT_EQ(io.read(sets), MB_SYNTAX_ERROR);
}

TEST(KzfPrimitives, PointSetsRoundTrip) {
  const As_Pt pts[3] = {As_Pt(1, 2, 0), As_Pt(3, 4, 0), As_Pt(-5, 0.25, 0)};
  const unsigned long counts[2] = {1, 2};
  As_Pt_Sets sets(2, counts, pts);
  sets.is_filled(true);
  As_Pt_Set set(3, pts);
  Bytes b = write_pass_body([&](MB_File_IO& io) {
    io.write(set);
    io.write(sets);
  });
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, b), MB_SUCCESS);
  As_Pt_Set s2;
  As_Pt_Sets ss2;
  ASSERT_EQ(io.read(s2), MB_SUCCESS);
  ASSERT_EQ(io.read(ss2), MB_SUCCESS);
  ASSERT_EQ(s2.count(), 3);
  ASSERT_EQ(ss2.ptset_count(), 2u);
  EXPECT_TRUE(ss2.is_filled());
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(s2.points()[i].x(), pts[i].x(), 1e-12);
    EXPECT_NEAR(ss2.points()[i].y(), pts[i].y(), 1e-12);
  }
}

TEST(KzfPrimitives, AsciiNumbersIgnoreTheLocaleAndStringsQuoteOnlyWhenNeeded) {
  const char* saved = std::setlocale(LC_NUMERIC, nullptr);
  std::string keep = saved ? saved : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // a decimal comma where installed
  EXPECT_EQ(write_pass_body([](MB_File_IO& io) {
              io.write_ascii(1.5);
              io.write(" ");
              io.write_ascii(0.1);
            }),
            bytes_of("1.5 0.1"));
  std::setlocale(LC_NUMERIC, keep.c_str());
  struct Case {
    const char* in;
    char force;
    const char* out;
  } cases[] = {{"abc", 0, "abc"}, {"a b", 0, "'a b'"}, {"it's", 0, "'it\\'s'"}, {"", 0, "''"},
               {"abc", 1, "'abc'"}};
  for (const Case& c : cases) {
    EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { io.write_quoted_string(c.in, c.force); }), bytes_of(c.out));
  }
  EXPECT_EQ(write_pass_body([](MB_File_IO& io) { io.write_hex(static_cast<unsigned char>(0xA5)); }), bytes_of("A5"));
  const unsigned short units[] = {0x41, 0x4E2D, 0};
  EXPECT_EQ(write_pass_body([&](MB_File_IO& io) { io.write_quoted_string(units); }),
            (Bytes{'{', 2, 0, 0, 0, 0x41, 0, 0x2D, 0x4E, '}'}));
}

TEST(KzfPrimitives, SkipPastMatchingParen) {
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, bytes_of("a (b) c)X")), MB_SUCCESS);
  io.set_paren_count(1);
  ASSERT_EQ(io.skip_past_matching_paren(0), MB_SUCCESS);
  EXPECT_EQ(io.paren_count(), 0);
  unsigned char c;
  ASSERT_EQ(io.read(c), MB_SUCCESS);
  EXPECT_EQ(c, 'X');
  for (uint32_t len : {0u, 0xFFFFFFF0u}) {
    Bytes b = {'{'};
    append_long(b, len);
    b.push_back(')');
    Temp_File g;
    MB_File_IO io2;
    ASSERT_EQ(open_reader(io2, g, b), MB_SUCCESS);
    io2.set_paren_count(1);
    EXPECT_EQ(io2.skip_past_matching_paren(0), MB_SYNTAX_ERROR) << len;
  }
  Temp_File g;
  MB_File_IO io3;
  ASSERT_EQ(open_reader(io3, g, bytes_of("(abc")), MB_SUCCESS);
  EXPECT_EQ(io3.skip_past_matching_paren(0), MB_SHORT_READ);
}

TEST(KzfPrimitives, OpeningTwiceOrInABadModeIsRefused) {
  Temp_File f;
  MB_File_IO io;
  EXPECT_EQ(io.close(), MB_SUCCESS);  // nothing open: nothing happens
  ASSERT_EQ(open_reader(io, f, header_bytes()), MB_SUCCESS);
  EXPECT_EQ(io.open(), MB_ALREADY_OPEN);
  EXPECT_EQ(io.close(), MB_SUCCESS);
  io.file_name("/nonexistent-dir/x.kzf");
  io.set_file_mode(MB_File_IO::MODE_WRITE);
  EXPECT_EQ(io.open(), MB_BAD_MODE);
  io.set_file_mode(MB_File_IO::MODE_CLOSED);
  io.file_name(f.path());
  EXPECT_EQ(io.open(), MB_BAD_MODE);
}

// ---- framing, tokenizer and dispatch ----

namespace {

MB_Result load_result(const Bytes& b, MB_Drawing& d) {
  Temp_File f;
  f.write(b);
  MB_File_IO io;
  io.drawing(&d);
  bool ok = io.load_kzf(f.path());
  EXPECT_EQ(ok, io.result() == MB_SUCCESS);
  return io.result();
}

// The result of the first failing object after the header.
MB_Result pass_result(const Bytes& body) {
  Bytes b = header_bytes();
  b.insert(b.end(), body.begin(), body.end());
  Temp_File f;
  MB_File_IO io;
  EXPECT_EQ(open_reader(io, f, b), MB_SUCCESS);
  MB_Result r;
  do {
    r = io.process_next_object();
  } while (r == MB_SUCCESS);
  return r;
}

}  // namespace

TEST(KzfFraming, EmptyDrawingIsHeaderAndEndRecord) {
  MB_Drawing d;
  Temp_File f;
  MB_File_IO io;
  io.drawing(&d);
  ASSERT_TRUE(io.save_kzf(f.path()));
  EXPECT_EQ(f.read(), bytes_of("(KZF V01.00)\r\n(EndOfKZF)\r\n"));
  MB_Drawing back;
  EXPECT_EQ(load_result(f.read(), back), MB_SUCCESS);
  EXPECT_TRUE(back.object_list().is_empty());
}

TEST(KzfFraming, HeaderVersionChoosesThePaletteAndBadHeadersFail) {
  struct Case {
    const char* text;
    MB_Result result;
  } cases[] = {{"(KZF V01.00)(EndOfKZF)", MB_END_OF_FILE}, {"(KZF V1.00)(EndOfKZF)", MB_BAD_HEADER},
               {"(KZF X01.00)", MB_BAD_HEADER},           {"(KZF V01", MB_SHORT_READ},
               {"", MB_SHORT_READ}};
  for (const Case& c : cases) {
    Temp_File f;
    MB_File_IO io;
    ASSERT_EQ(open_reader(io, f, bytes_of(c.text)), MB_SUCCESS);
    MB_Result r;
    do {
      r = io.process_next_object();
    } while (r == MB_SUCCESS);
    EXPECT_EQ(r, c.result) << c.text;
  }
  for (int minor : {37, 38}) {
    Temp_File f;
    MB_File_IO io;
    std::string text = "(KZF V00." + std::to_string(minor) + ")";
    ASSERT_EQ(open_reader(io, f, bytes_of(text)), MB_SUCCESS);
    ASSERT_EQ(io.process_next_object(), MB_SUCCESS);
    EXPECT_EQ(io.file_version(), minor);
    MB_RGBA32 e;
    ASSERT_TRUE(io.rendition()->color_map().entry(11, e));
    EXPECT_EQ(e, MB_Color_Map(minor).map(11));
  }
  MB_Drawing d;
  EXPECT_EQ(load_result(bytes_of("(KZF V1.00)\r\n(EndOfKZF)\r\n"), d), MB_BAD_HEADER);
  Temp_File missing;
  std::remove(missing.path());
  MB_File_IO io;
  io.drawing(&d);
  EXPECT_FALSE(io.load_kzf(missing.path()));
  EXPECT_FALSE(MB_File_IO().load_kzf(missing.path()));  // no drawing
}

TEST(KzfFraming, OverlongNamesAndUnknownOpcodesAreSyntaxErrors) {
  struct Case {
    Bytes body;
    MB_Result result;
  } cases[] = {
      {bytes_of("(" + std::string(39, 'a') + ")"), MB_NO_OBJECT},  // a name, no object
      {bytes_of("(" + std::string(40, 'a') + ")"), MB_SYNTAX_ERROR},
      {bytes_of("(URL)"), MB_NO_OBJECT},
      {bytes_of("(ab~"), MB_SYNTAX_ERROR},  // 0x7E is past the name characters
      {Bytes{'(', 'a', 0x7F}, MB_SYNTAX_ERROR},
      {bytes_of("f"), MB_NO_OBJECT},
      {bytes_of("q"), MB_SYNTAX_ERROR},
      {Bytes{0x93}, MB_SYNTAX_ERROR},
      {bytes_of(")"), MB_SYNTAX_ERROR},
      {Bytes{'{', 0, 0, 0, 0, 2, 0}, MB_NO_OBJECT},
      {bytes_of(" \t\r\n(EndOfKZF)"), MB_END_OF_FILE},
      {Bytes{0x04, 0x7F, 'C', 1, 2, 3, 4, 's', 9, 0, 0, 0, ' ', '(', 'E', 'n', 'd', 'O', 'f', 'K', 'Z', 'F', ')'},
       MB_END_OF_FILE},
      {bytes_of("S1234"), MB_SYNTAX_ERROR},
      {bytes_of("(Color 1 2 3)(EndOfKZF)"), MB_END_OF_FILE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pass_result(c.body), c.result) << std::string(c.body.begin(), c.body.end());
  }
}

TEST(KzfFraming, TextAttributesReachThePass) {
  Bytes body = {'H'};
  append_double(body, 2.5);
  body.push_back('K');
  append_double(body, 0.75);
  body.push_back('d');
  append_double(body, 1.0);
  body.push_back('A');
  append_double(body, 0.25);
  body.push_back('b');
  append_long(body, 7);
  body.push_back('o');
  append_long(body, 3);
  body.push_back(0x03);
  append_long(body, 0x123456);
  Bytes b = header_bytes();
  b.insert(b.end(), body.begin(), body.end());
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, b), MB_SUCCESS);
  for (int i = 0; i < 8; ++i) ASSERT_EQ(io.process_next_object(), MB_SUCCESS) << i;
  const MB_FIFO_Rendition& s = io.fifo_rendition();
  EXPECT_EQ(s.text_heigh(), 2.5);
  EXPECT_EQ(s.text_width_scale(), 0.75);
  EXPECT_EQ(s.text_angle(), 1.0);
  EXPECT_EQ(s.font_oblique_angle(), 0.25);
  EXPECT_EQ(s.text_flag(), 7);
  EXPECT_EQ(s.font_flag(), 3);
  EXPECT_EQ(s.color(), 0x123456u);
}

TEST(KzfRecords, StringsWithBadLengthsFailAndKeepTheirOldValue) {
  EXPECT_EQ(write_pass_body([](MB_File_IO& io) {
              MB_String().serialize(io, 0);
              MB_String("abc").serialize(io, 0);
              MB_Color(7).serialize(io);
            }),
            (Bytes{0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 0x03, 7, 0, 0, 0}));
  Temp_File f;
  MB_File_IO io;
  ASSERT_EQ(open_reader(io, f, {3, 0, 0, 0, 'a', 'b', 'c', 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'x'}), MB_SUCCESS);
  MB_String s("old");
  ASSERT_EQ(s.materialize(io), MB_SUCCESS);
  EXPECT_TRUE(s == "abc");
  EXPECT_EQ(s.materialize(io), MB_SYNTAX_ERROR);  // a negative length
  EXPECT_TRUE(s == "abc");
  EXPECT_EQ(s.materialize(io), MB_SHORT_READ);  // fewer bytes than the length
  EXPECT_TRUE(s == "abc");
}

TEST(KzfRecords, ColourMapHasItsHeaderAndMisplacedMarkersAreRefused) {
  Bytes map = write_pass_body([](MB_File_IO& io) { MB_Color_Map(38).serialize(io); });
  ASSERT_EQ(map.size(), 1033u);
  EXPECT_EQ(Bytes(map.begin(), map.begin() + 8), (Bytes{0x7B, 0x04, 0x04, 0, 0, 0x01, 0, 0}));
  Bytes body = map;
  body.back() = '!';  // not the closing brace
  EXPECT_EQ(pass_result(body), MB_SYNTAX_ERROR);
  EXPECT_EQ(pass_result(Bytes{'{', 0, 0, 0, 0, 0x23, 0x01}), MB_SHORT_READ);  // marker 0x123: a block that ends at once
  // A marker inside a compressed block is refused.
  std::vector<uint8_t> block;
  const uint8_t inner[7] = {'{', 0, 0, 0, 0, 16, 0};
  ASSERT_EQ(kzf_compress(inner, 7, 100, block), MB_SUCCESS);
  EXPECT_EQ(pass_result(block), MB_SYNTAX_ERROR);
}

// A read pass counts each kind of opcode it meets and the bytes up to the
// next one; the statistics live from open to close.
TEST(KzfReadPass, StatisticsCountOpcodesByKindAndTheirBytes) {
  MB_Drawing d;
  d.add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 5, 0)));
  d.add_object(new MB_Line(As_Pt(1, 2, 0), As_Pt(3, 4, 0)));
  MB_File_IO writer;
  writer.drawing(&d);
  writer.heuristics().compression = 0;
  Temp_File f;
  ASSERT_TRUE(writer.save_kzf(f.path()));
  const Bytes file = f.read();

  Temp_File g;
  MB_Drawing back;
  MB_File_IO io;
  io.drawing(&back);
  EXPECT_EQ(io.read_statistics(), nullptr);
  ASSERT_EQ(open_reader(io, g, file), MB_SUCCESS);
  MB_Result r;
  do r = io.process_next_object();
  while (r == MB_SUCCESS);
  EXPECT_EQ(r, MB_END_OF_FILE);
  const MB_File_IO::Read_Statistics* s = io.read_statistics();
  ASSERT_NE(s, nullptr);
  int counted = 0;
  int64_t bytes = 0;
  for (int i = 0; i < MB_File_IO::Read_Statistics::kSlots; ++i) counted += s->count[i], bytes += s->bytes[i];
  EXPECT_EQ(counted, io.opcode_count());
  EXPECT_EQ(bytes, s->last_start) << "every opcode's bytes but the last one's";
  EXPECT_EQ(s->count[256], 1) << "the header, the first known name";
  EXPECT_EQ(s->bytes[256], 12) << "(KZF V01.00)";
  EXPECT_EQ(s->count[257], 1) << "the end record";
  EXPECT_EQ(s->last_slot, 257);
  int lines = 0;
  for (int i = 0; i < 256; ++i) lines = std::max(lines, s->count[i]);
  EXPECT_GE(lines, 2) << "a single-byte opcode for each line";
  io.close();
  EXPECT_EQ(io.read_statistics(), nullptr);
}

// ASCII string tokens: unquoted up to a blank or ")" (put back), quoted
// with either quote, backslash escapes, and the refusals.
TEST(KzfReadPass, AsciiStringTokens) {
  struct Case {
    const char* text;
    int max;
    char allow_paren;
    MB_Result result;
    const char* token;
    int next;  // the byte read after the token, -1 for none
  } cases[] = {
      {"  plain next", 40, 0, MB_SUCCESS, "plain", ' '},
      {"word)", 40, 0, MB_SUCCESS, "word", ')'},
      {"'two words' x", 40, 0, MB_SUCCESS, "two words", ' '},
      {"\"it's (fine)\"", 40, 0, MB_SUCCESS, "it's (fine)", -1},
      {"a\\ b\\)c ", 40, 0, MB_SUCCESS, "a b)c", ' '},
      {"(paren ", 40, 1, MB_SUCCESS, "(paren", ' '},
      {"(paren ", 40, 0, MB_SYNTAX_ERROR, nullptr, -1},
      {"ab(c ", 40, 1, MB_SYNTAX_ERROR, nullptr, -1},
      {"ab'c ", 40, 0, MB_SYNTAX_ERROR, nullptr, -1},
      {"a{b ", 40, 0, MB_SYNTAX_ERROR, nullptr, -1},
      {"toolong ", 3, 0, MB_SYNTAX_ERROR, nullptr, -1},
      {"'unended", 40, 0, MB_SHORT_READ, nullptr, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Temp_File f;
    MB_File_IO io;
    ASSERT_EQ(open_reader(io, f, bytes_of(c.text)), MB_SUCCESS);
    char* token = nullptr;
    const MB_Result r = io.read(token, c.max, c.allow_paren);
    EXPECT_EQ(r, c.result);
    if (c.token) {
      ASSERT_NE(token, nullptr);
      EXPECT_STREQ(token, c.token);
    } else {
      EXPECT_EQ(token, nullptr);
    }
    delete[] token;
    unsigned char next = 0;
    if (c.next >= 0) {
      ASSERT_EQ(io.read(next), MB_SUCCESS);
      EXPECT_EQ(next, c.next);
    }
  }
}

// The pass's C stream: a read pass reads on from another stream it is
// given; a write pass and a closed one take none.
TEST(KzfReadPass, StreamUserData) {
  Temp_File a, b, w;
  b.write(bytes_of("second"));
  MB_File_IO io;
  EXPECT_EQ(io.stream_user_data(), nullptr);
  FILE* other = std::fopen(b.path(), "rb");
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(io.set_stream_user_data(other));
  ASSERT_EQ(open_reader(io, a, bytes_of("")), MB_SUCCESS);
  EXPECT_NE(io.stream_user_data(), nullptr);
  EXPECT_TRUE(io.set_stream_user_data(other));
  EXPECT_EQ(io.stream_user_data(), other);
  char* token = nullptr;
  ASSERT_EQ(io.read(token, 40, 0), MB_SHORT_READ) << "a token at the end of the stream never ends";
  io.close();
  EXPECT_EQ(io.stream_user_data(), nullptr);

  MB_File_IO writer;
  ASSERT_EQ(open_writer(writer, w), MB_SUCCESS);
  FILE* third = std::fopen(b.path(), "rb");
  EXPECT_FALSE(writer.set_stream_user_data(third));
  std::fclose(third);
  writer.close();
}
