// Loops and point checks shared by the loop, search and hatch tests.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "geometry/as_loop.h"
#include "tests/support/file_bytes.h"

namespace loop_fixtures {

inline As_Loop MakeLoop(std::initializer_list<std::pair<double, double>> xy) {
  As_Loop loop;
  for (const auto& p : xy) loop.add(As_Pt(p.first, p.second, 0));
  return loop;
}

// The square with corners (x0, y0) and (x1, y1), counter-clockwise.
inline As_Loop Box(double x0, double y0, double x1, double y1) {
  return MakeLoop({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

inline std::vector<As_Pt> Vertices(const As_Loop& loop) {
  std::vector<As_Pt> v = loop.closed_points();
  if (!v.empty()) v.pop_back();
  return v;
}

// The loop's vertices from its head, as (x, y) pairs.
inline ::testing::AssertionResult HasVertices(const As_Loop& loop,
                                              std::vector<std::pair<double, double>> expect,
                                              double tol = 1e-9) {
  const std::vector<As_Pt> v = Vertices(loop);
  if (v.size() != expect.size())
    return ::testing::AssertionFailure() << v.size() << " vertices, expected " << expect.size();
  for (size_t i = 0; i < v.size(); ++i) {
    if (std::fabs(v[i].x() - expect[i].first) > tol || std::fabs(v[i].y() - expect[i].second) > tol)
      return ::testing::AssertionFailure()
             << "vertex " << i << " is (" << v[i].x() << ", " << v[i].y() << ")";
  }
  return ::testing::AssertionSuccess();
}

// Deletes the As_Loop*s a list was handed.
struct OwnedLoops {
  As_Void_List list;
  ~OwnedLoops() {
    for (As_Void_Node* n = list.head(); n; n = n->next()) delete static_cast<As_Loop*>(n->entity());
  }
  const As_Loop& at(int i) const { return *static_cast<const As_Loop*>(list.get(i)); }
};

// Runs a test in a fresh temporary current directory, for the debug files
// the code writes there.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) old_ = cwd;
    char name[] = "/tmp/qm_loops_XXXXXX";
    if (mkdtemp(name)) dir_ = name;
    if (!dir_.empty() && chdir(dir_.c_str()) != 0) dir_.clear();
  }
  ~ScopedTempDir() {
    if (!old_.empty() && chdir(old_.c_str()) != 0) return;
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  bool ok() const { return !dir_.empty(); }

 private:
  std::string old_, dir_;
};


inline int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace loop_fixtures
