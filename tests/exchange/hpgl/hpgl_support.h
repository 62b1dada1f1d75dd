// Helpers of the HPGL tests: scratch files, the chains and circles a read
// made, and the segments another program drew, for comparing readings.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "database/entities/mb_circle.h"
#include "database/entities/mb_lines.h"
#include "database/mb_drawing.h"
#include "exchange/hpgl/penplot.h"
#include "tests/support/file_bytes.h"

namespace hpgl_test {

using Chain = std::vector<std::pair<double, double>>;

struct Segment {
  double x0, y0, x1, y1;
};

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/penplot_test_XXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? made : "/tmp";
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::string write(const std::string& name, const std::string& bytes) const {
    const std::string p = file(name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }

 private:
  std::string path_;
};


// The chains of lines of the drawing's entity list, in order.
inline std::vector<Chain> chains_of(MB_Drawing& d) {
  std::vector<Chain> out;
  for (MB_Object* o = d.object_list().head(); o; o = o->next()) {
    if (o->object_id() != MB_Object::ID_LINES) continue;
    const MB_Lines* l = static_cast<const MB_Lines*>(o);
    Chain c;
    for (int i = 0; i < l->count(); ++i) c.emplace_back((*l)[i].x(), (*l)[i].y());
    out.push_back(c);
  }
  return out;
}

inline std::vector<const MB_Circle*> circles_of(MB_Drawing& d) {
  std::vector<const MB_Circle*> out;
  for (MB_Object* o = d.object_list().head(); o; o = o->next())
    if (o->object_id() == MB_Object::ID_CIRCLE) out.push_back(static_cast<const MB_Circle*>(o));
  return out;
}

// The segments of the chains that have a length.
inline std::vector<Segment> segments_of(const std::vector<Chain>& chains) {
  std::vector<Segment> out;
  for (const Chain& c : chains)
    for (size_t i = 1; i < c.size(); ++i)
      if (c[i] != c[i - 1]) out.push_back({c[i - 1].first, c[i - 1].second, c[i].first, c[i].second});
  return out;
}

inline bool have_program(const char* name) {
  const std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

// Runs a shell command; true when it exits with 0.
inline bool run(const std::string& cmd) {
  const int rc = std::system(cmd.c_str());
  return rc != -1 && WIFEXITED(rc) && WEXITSTATUS(rc) == 0;
}

// The segments hp2xx draws for a plot file, from its own HPGL output: an
// absolute PU or PD per point, each PD a segment from the pen. hp2xx scales
// the picture to its page, so only shapes compare, not coordinates.
inline std::vector<Segment> hp2xx_segments(const std::string& plot, const ScratchDir& dir) {
  const std::string out = dir.file("hp2xx.out");
  std::vector<Segment> segs;
  if (!run("hp2xx -q -m hpgl -f '" + out + "' '" + plot + "' </dev/null >/dev/null 2>&1")) return segs;
  const std::string text = read_all(out);
  double px = 0, py = 0;
  size_t i = 0;
  while ((i = text.find('P', i)) != std::string::npos) {
    const char op = i + 1 < text.size() ? text[i + 1] : 0;
    i += 2;
    double x, y;
    int used = 0;
    if ((op == 'U' || op == 'D') && std::sscanf(text.c_str() + i, "%lf,%lf%n", &x, &y, &used) == 2) {
      if (op == 'D' && (x != px || y != py)) segs.push_back({px, py, x, y});
      px = x;
      py = y;
      i += static_cast<size_t>(used);
    }
  }
  return segs;
}

// Both sets of segments mapped onto the unit square of their bounding boxes
// (with the same scale on both axes); true when every segment of a has a
// segment of b at the same place (either direction) within tol of the box,
// and the other way round. Segments shorter than tol are dots (hp2xx draws
// one for a PD without coordinates) and take no part.
inline bool same_picture(std::vector<Segment> a, std::vector<Segment> b, double tol, std::string* why) {
  auto normalise = [tol](std::vector<Segment>& s) {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const Segment& g : s) {
      x0 = std::min({x0, g.x0, g.x1});
      y0 = std::min({y0, g.y0, g.y1});
      x1 = std::max({x1, g.x0, g.x1});
      y1 = std::max({y1, g.y0, g.y1});
    }
    const double k = std::max(x1 - x0, y1 - y0);
    std::vector<Segment> kept;
    for (const Segment& g : s) {
      const Segment n = {(g.x0 - x0) / k, (g.y0 - y0) / k, (g.x1 - x0) / k, (g.y1 - y0) / k};
      if (std::hypot(n.x1 - n.x0, n.y1 - n.y0) >= tol) kept.push_back(n);
    }
    s.swap(kept);
  };
  if (a.empty() || b.empty()) {
    if (why) *why = "no segments";
    return a.empty() && b.empty();
  }
  normalise(a);
  normalise(b);
  auto covered = [tol](const std::vector<Segment>& from, const std::vector<Segment>& in, std::string* reason) {
    for (const Segment& g : from) {
      bool found = false;
      for (const Segment& h : in) {
        const bool same = std::fabs(g.x0 - h.x0) <= tol && std::fabs(g.y0 - h.y0) <= tol &&
                          std::fabs(g.x1 - h.x1) <= tol && std::fabs(g.y1 - h.y1) <= tol;
        const bool flipped = std::fabs(g.x0 - h.x1) <= tol && std::fabs(g.y0 - h.y1) <= tol &&
                             std::fabs(g.x1 - h.x0) <= tol && std::fabs(g.y1 - h.y0) <= tol;
        if (same || flipped) {
          found = true;
          break;
        }
      }
      if (!found) {
        if (reason) {
          std::ostringstream s;
          s << "segment (" << g.x0 << "," << g.y0 << ")-(" << g.x1 << "," << g.y1 << ") has no partner";
          *reason = s.str();
        }
        return false;
      }
    }
    return true;
  };
  return covered(a, b, why) && covered(b, a, why);
}

}  // namespace hpgl_test
