#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/fileformat/kzf_codec.h"
#include "database/fileformat/kzf_dictionary.h"
#include "tests/database/kzf_codec_support.h"

using namespace kzf_test;

namespace {

const Bytes kMarker = {'{', 0, 0, 0, 0, 0x10, 0};

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Bytes whose 4-grams occur neither in the dictionary nor among themselves.
Bytes unique_bytes(size_t n, unsigned seed) {
  Bytes b = random_bytes(n, seed);
  for (auto& x : b) x |= 0x80;  // the dictionary text and digits are ASCII
  return b;
}

}  // namespace

// Hand-made token streams that do not depend on the dictionary's filled
// regions: each decoded from one block (end token, "}" and two trailing
// bytes) in one read.
TEST(KzfDecoder, TokenVectors) {
  struct Case {
    const char* name;
    int version;
    Bytes block;
    MB_Result result;
    std::string out;
  } cases[] = {
      {"literals", 100, cat({{0x05}, bytes_of("hello"), {0x00}}), 19, "hello"},
      {"match", 100, cat({{0x14}, bytes_of("abcd"), {0x03, 0x00, 0x00}}), 19, "abcdabcd"},
      {"overlapping match repeats", 100, cat({{0x14}, bytes_of("abcd"), {0x00, 0x00, 0x00}}), 19,
       "abcddddd"},
      {"overlap of two", 100, cat({{0x32}, bytes_of("ab"), {0x01, 0x00, 0x00}}), 19, "abababab"},
      {"oldest dictionary byte", 100, {0x10, 0xD2, 0x34, 0x00}, 19, "(Das"},
      {"offset past the history", 100, {0x10, 0xD3, 0x34, 0x00}, 2, ""},
      {"largest offset", 100, {0x10, 0xFF, 0xFF, 0x00}, 2, ""},
      {"literals before a bad offset", 100, cat({{0x12}, bytes_of("ok"), {0xFF, 0xFF, 0x00}}), 2, "ok"},
      {"literal extension 0", 100, cat({{0x0F, 0x00}, bytes_of("fifteen bytes!!"), {0x00}}), 19,
       "fifteen bytes!!"},
      {"match extension", 100, cat({{0x11}, bytes_of("z"), {0x00, 0x00}, {0xF0, 0x02, 0x00, 0x00}, {0}}),
       19, std::string(25, 'z')},
      {"front offsets, version 22", 22, cat({{0x04}, bytes_of("abcd"), {0x10, 0xD3, 0x34, 0x00}}), 19,
       "abcdabcd"},
      {"front offset 0 is the oldest byte", 22, {0x10, 0x00, 0x00, 0x00}, 19, "(Das"},
      {"front offset at the history end", 22, cat({{0x04}, bytes_of("abcd"), {0x10, 0xD7, 0x34, 0x00}}),
       2, "abcd"},
      {"truncated literals", 100, {0x05, 'h', 'e'}, 3, "he"},
      {"truncated offset", 100, {0x14, 'a', 'b', 'c', 'd', 0x03}, 3, "abcd"},
      {"truncated extension", 100, {0x0F}, 3, ""},
      {"no end token", 100, {0x02, 'h', 'i'}, 3, "hi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool ended = c.result == MB_END_OF_BLOCK;
    Bytes block = ended ? cat({c.block, bytes_of("}\r\n")}) : c.block;
    for (int reads : {1, 3, 1 << 16}) {
      for (int source_chunk : {1, 1 << 16}) {
        Decoded d = decode(block, c.version, {reads}, source_chunk);
        EXPECT_EQ(d.result, c.result);
        EXPECT_EQ(std::string(d.out.begin(), d.out.end()), c.out);
        if (ended) {
          EXPECT_EQ(d.block_end, 0);
          EXPECT_EQ(d.leftover, bytes_of("\r\n"));
        }
      }
    }
  }
}

TEST(KzfDecoder, EndTokenStopsAShortRequestAndLeavesTheRestPlain) {
  Source src;
  src.data = cat({{0x05}, bytes_of("hello"), {0x00}, bytes_of("}(EndOfKZF)")});
  MB_LZ_Decompressor dec(&src, 100);
  ASSERT_EQ(dec.start(), 0);
  char buf[16] = {};
  int got = 0;
  EXPECT_EQ(dec.read(16, got, buf), 19);
  EXPECT_EQ(got, 5);
  EXPECT_EQ(std::string(buf, 5), "hello");
  EXPECT_EQ(dec.read(16, got, buf), 19);  // stays at the end
  EXPECT_EQ(got, 5);
  EXPECT_EQ(dec.read_block_end(), 0);
  const uint8_t* rest = nullptr;
  int k = dec.leftover(&rest);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rest), size_t(k)), "(EndOfKZF)");
  dec.take_leftover();
  EXPECT_EQ(dec.leftover(&rest), 0);
}

TEST(KzfDecoder, ClosingBrace) {
  for (auto [tail, want] : std::vector<std::pair<Bytes, MB_Result>>{
           {bytes_of("}"), 0}, {bytes_of("A"), 2}, {{}, 1}}) {
    Source src;
    src.data = cat({{0x00}, tail});
    src.end_code = MB_NO_BYTE;
    MB_LZ_Decompressor dec(&src, 100);
    ASSERT_EQ(dec.start(), 0);
    char buf[4];
    int got = 0;
    ASSERT_EQ(dec.read(4, got, buf), 19);
    EXPECT_EQ(dec.read_block_end(), want);
    const uint8_t* rest = nullptr;
    EXPECT_EQ(dec.leftover(&rest), want == 2 ? 1 : 0);  // a stray byte stays unread
  }
}

TEST(KzfDecoder, ResumesWhenTheSourceRunsDry) {
  Bytes data = text_like(20000, 3);
  Bytes block = block_of(encode(data));
  Source src;
  src.end_code = MB_SHORT_READ;
  MB_LZ_Decompressor dec(&src, 100);
  ASSERT_EQ(dec.start(), 0);
  Bytes out(data.size() + 16);
  int got = 0;
  MB_Result r = 0;
  for (size_t fed = 0; fed < block.size();) {
    size_t k = std::min<size_t>(37, block.size() - fed);
    src.data.insert(src.data.end(), block.begin() + long(fed), block.begin() + long(fed + k));
    fed += k;
    r = dec.read(int(out.size()) - got, got, out.data() + got);
    if (fed < block.size()) {
      ASSERT_EQ(r, MB_SHORT_READ);
    }
  }
  EXPECT_EQ(r, MB_END_OF_BLOCK);
  out.resize(size_t(got));
  EXPECT_EQ(out, data);
  EXPECT_EQ(dec.read_block_end(), 0);
}

TEST(KzfDecoder, RefusesToReadBeforeStart) {
  Source src;
  MB_LZ_Decompressor dec(&src, 100);
  char buf[4];
  int got = 0;
  EXPECT_EQ(dec.read(4, got, buf), 10);
  EXPECT_EQ(dec.read_block_end(), 10);
}

TEST(KzfEncoder, EmptyBlock) {
  EXPECT_EQ(encode({}), cat({kMarker, {0x00, '}'}}));
}

TEST(KzfEncoder, LiteralRuns) {
  Bytes five = unique_bytes(5, 1);
  EXPECT_EQ(encode(five), cat({kMarker, {0x05}, five, {0x00, '}'}}));
  Bytes run = unique_bytes(270, 2);
  EXPECT_EQ(encode(run), cat({kMarker, {0x0F, 0xFF}, run, {0x00, '}'}}));
  Bytes longer = unique_bytes(290, 3);
  Bytes tail(longer.begin() + 270, longer.end());
  EXPECT_EQ(encode(longer), cat({kMarker, {0x0F, 0xFF}, Bytes(longer.begin(), longer.begin() + 270),
                                 {0x0F, 0x05}, tail, {0x00, '}'}}));
}

TEST(KzfEncoder, MatchLengthCodes) {
  // x, a separator, x again and another byte: one match as long as x.
  for (int len : {4, 17, 18, 19, 250}) {
    SCOPED_TRACE(len);
    Bytes x = unique_bytes(size_t(len), 4);
    Bytes in = cat({x, {0x01}, x, {0x02}});
    Bytes lits = cat({x, {0x01}});
    int n = len + 1;
    Bytes head = {uint8_t((std::min(len - 3, 15) << 4) | std::min(n, 15))};
    if (n >= 15) head.push_back(uint8_t(n - 15));
    Bytes ext;
    if (len >= 18) ext.push_back(uint8_t(len - 18));
    Bytes off = {uint8_t(len), 0};  // distance len + 1
    EXPECT_EQ(encode(in), cat({kMarker, head, lits, ext, off, {0x01, 0x02, 0x00, '}'}}));
  }
}

TEST(KzfEncoder, LongRuns) {
  // 300 equal bytes: four literals, then matches on what is already there.
  Bytes run(300, 0xE7);
  Bytes block = block_of(encode(run));
  size_t end = 0;
  std::vector<Token> ts = tokens_of(block, &end);
  ASSERT_GE(ts.size(), 2u);
  EXPECT_EQ(ts[0].literals, 4);
  EXPECT_EQ(ts[0].length, 4);
  for (size_t i = 1; i < ts.size(); ++i) {
    EXPECT_EQ(ts[i].literals, 0);
    EXPECT_LE(ts[i].length, 273);
  }
  EXPECT_EQ(Bytes(block.begin() + long(end), block.end()), bytes_of("}"));
  EXPECT_EQ(decode(block).out, run);
  // A repeated block of 600 bytes: matches of 273, 273 and 54.
  Bytes x = unique_bytes(600, 6);
  Bytes twice = cat({x, x});
  block = block_of(encode(twice));
  ts = tokens_of(block);
  ASSERT_EQ(ts.size(), 5u);
  EXPECT_EQ(ts[2].literals, 60);
  EXPECT_EQ(ts[2].length, 273);
  EXPECT_EQ(ts[2].offset, 599);
  EXPECT_EQ(ts[3].length, 273);
  EXPECT_EQ(ts[4].length, 54);
  EXPECT_EQ(decode(block).out, twice);
}

TEST(KzfEncoder, DictionaryContentIsReferencedFromTheFirstToken) {
  for (const char* s : {"0000100020003", "(LineStyle (Copyright ", "(NamedView (PlotInfo "}) {
    SCOPED_TRACE(s);
    Bytes block = block_of(encode(bytes_of(s)));
    std::vector<Token> ts = tokens_of(block);
    ASSERT_FALSE(ts.empty());
    EXPECT_EQ(ts[0].literals, 0);
    EXPECT_GE(ts[0].length, 4);
    EXPECT_EQ(decode(block).out, bytes_of(s));
  }
}

TEST(KzfEncoder, TargetVersions) {
  Sink sink;
  MB_LZ_Compressor old(&sink, 22);
  EXPECT_EQ(old.start(), 10);
  EXPECT_EQ(old.compress(3, "abc"), 10);
  EXPECT_TRUE(sink.data.empty());
  // Versions 23 to 36 preset the dictionary without its leading names, which
  // then go out as literals; a decoder presetting everything still reads it.
  Bytes names = bytes_of("(DashPattern (LineStyle ");
  Bytes v30 = block_of(encode(names, {1 << 30}, 30));
  EXPECT_GT(tokens_of(v30)[0].literals, 0);
  EXPECT_EQ(decode(v30, 30).out, names);
  EXPECT_EQ(tokens_of(block_of(encode(names, {1 << 30}, 37)))[0].literals, 0);
}

TEST(KzfEncoder, FailingSinkIsReportedFromThenOn) {
  Bytes data = random_bytes(300000, 5);
  Sink sink;
  sink.fail_after = 1;
  MB_LZ_Compressor enc(&sink, 100);
  ASSERT_EQ(enc.start(), MB_SUCCESS);
  MB_Result r = 0;
  for (size_t at = 0; at < data.size() && !r; at += 1000) r = enc.compress(1000, data.data() + at);
  EXPECT_EQ(r, MB_SHORT_WRITE);
  EXPECT_EQ(enc.compress(4, "more"), MB_SHORT_WRITE);
  EXPECT_EQ(enc.finish(), 8);
}

TEST(KzfEncoder, MisuseIsRefused) {
  Sink sink;
  MB_LZ_Compressor enc(&sink, 100);
  EXPECT_EQ(enc.compress(1, "a"), 10);
  EXPECT_EQ(enc.finish(), 10);
  ASSERT_EQ(enc.start(), MB_SUCCESS);
  EXPECT_EQ(enc.start(), 10);
  EXPECT_EQ(enc.compress(-1, "a"), 10);
  EXPECT_EQ(enc.finish(), 0);
  EXPECT_EQ(enc.start(), 0);  // usable again after finish
  EXPECT_EQ(enc.finish(), 0);
  EXPECT_EQ(sink.data, cat({kMarker, {0, '}'}, kMarker, {0, '}'}}));
}

// Round trips: the token stream is the same however the writes are cut, and
// decodes to the input however the reads and the source are cut.
TEST(KzfCodec, RoundTripsThroughChunkings) {
  struct Data {
    const char* name;
    Bytes bytes;
  } data[] = {
      {"random", random_bytes(150000, 21)},
      {"text", text_like(150000, 22)},
      {"records", record_like(150000, 23)},
  };
  const Chunking writes[] = {{1}, {4}, {7}, {4096}, {0, 300}};
  const Chunking reads[] = {{1}, {5}, {543}, {1 << 20}, {0, 2000}};
  for (const Data& d : data) {
    SCOPED_TRACE(d.name);
    Bytes whole = encode(d.bytes);
    EXPECT_LT(whole.size(), d.bytes.size() + d.bytes.size() / 100 + 16);
    for (const Chunking& w : writes) EXPECT_EQ(encode(d.bytes, w), whole) << w.size;
    Bytes block = block_of(whole);
    for (const Chunking& r : reads) {
      for (int source_chunk : {1, 1000, 1 << 20}) {
        Decoded out = decode(block, 100, r, source_chunk);
        EXPECT_EQ(out.result, MB_END_OF_BLOCK);
        EXPECT_EQ(out.block_end, 0);
        EXPECT_TRUE(out.out == d.bytes) << r.size << " " << source_chunk;
      }
    }
  }
}

TEST(KzfCodec, HistoryBeyondTheWindow) {
  // A block repeated just inside the window, then far outside it.
  Bytes a = random_bytes(30000, 31);
  Bytes filler1 = random_bytes(65536 - 30000 - 8, 32);
  Bytes filler2 = random_bytes(70000, 33);
  Bytes in = cat({a, filler1, a, filler2, a, text_like(100000, 34), record_like(200000, 35)});
  Bytes block = block_of(encode(in));
  int far = 0;
  for (const Token& t : tokens_of(block)) far = std::max(far, t.offset);
  EXPECT_GE(far, 65536 - 40);
  EXPECT_LE(far, 65535);
  for (int reads : {1 << 20, 333}) EXPECT_TRUE(decode(block, 100, {reads}).out == in);
  // Every chunking of the writes still gives the same stream.
  EXPECT_EQ(encode(in, {0, 70000}), encode(in));
}

TEST(KzfCodec, BufferHelpers) {
  Bytes in = record_like(100000, 41);
  Bytes enc;
  ASSERT_EQ(kzf_compress(in.data(), in.size(), 100, enc), 0);
  EXPECT_EQ(enc, encode(in));
  Bytes block = cat({block_of(enc), bytes_of("\r\n(EndOfKZF)\r\n")});
  Bytes out;
  size_t used = 0;
  EXPECT_EQ(kzf_decompress(block.data(), block.size(), 100, out, &used), 0);
  EXPECT_TRUE(out == in);
  EXPECT_EQ(used, enc.size() - 7);
  out.clear();
  EXPECT_EQ(kzf_decompress(block.data(), used - 1, 100, out), 1);  // "}" missing
  out.clear();
  EXPECT_EQ(kzf_decompress(block.data(), used - 2, 100, out), 3);  // end token missing
}

// Damaged input: every truncation and seeded byte mutations of a small
// stream end with a result code or a valid output, never a crash, a hang or
// a read outside the history (the sanitizers watch).
TEST(KzfDecoder, DamagedStreams) {
  Bytes in = cat({text_like(1200, 51), record_like(1200, 52), Bytes(300, 'q')});
  Bytes block = cat({block_of(encode(in)), bytes_of("\r\n")});
  for (size_t cut = 0; cut < block.size(); ++cut) {
    Bytes part(block.begin(), block.begin() + long(cut));
    for (int reads : {1 << 16, 7}) {
      Decoded d = decode(part, 100, {reads});
      if (d.result == MB_END_OF_BLOCK) {
        EXPECT_GE(cut, block.size() - 3);
        EXPECT_EQ(d.block_end, cut == block.size() - 3 ? 1 : 0);
      } else {
        EXPECT_EQ(d.result, MB_AT_END) << cut;
      }
      EXPECT_TRUE(std::equal(d.out.begin(), d.out.end(), in.begin()));
    }
  }
  std::mt19937 rng(1234);
  int failures = 0;
  for (int round = 0; round < 2000; ++round) {
    Bytes bad = block;
    int changes = 1 + int(rng() % 4);
    for (int i = 0; i < changes; ++i) bad[rng() % bad.size()] = uint8_t(rng());
    if (round % 5 == 0) bad.resize(rng() % bad.size());
    Decoded d = decode(bad, round % 2 ? 100 : 22, {0, 700}, 1 + int(rng() % 64));
    EXPECT_TRUE(d.result == MB_END_OF_BLOCK || d.result == MB_SYNTAX_ERROR || d.result == MB_AT_END) << d.result;
    EXPECT_LE(d.out.size(), bad.size() * 273);
    failures += d.result != 19;
  }
  EXPECT_GT(failures, 100);
}
