// Converts between HPGL plot files and native drawings through the HPGL
// library:
//
//   quillmark_plot plot.plt drawing.kzf     reads a plot, saves a drawing
//   quillmark_plot drawing.kzf plot.plt     writes a drawing as a plot
//   quillmark_plot --help | --version
//
// A name ending in .plt, .hgl, .hp, .hpg or .hpgl is a plot file, any other
// a native drawing.
// A plot is read 1:1 in plotter units and written at 40 plotter units per
// drawing unit. A plot that holds nothing a plotter would draw is refused.
// The output never replaces the input. Exit status: 0 done, 1 a file that
// cannot be read or written (named, with the reason), 2 a usage error.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "database/entities/mb_block.h"
#include "database/fileformat/mb_file_io.h"
#include "database/mb_drawable.h"
#include "database/mb_drawing.h"
#include "database/mb_names.h"
#include "exchange/hpgl/penplot.h"
#include "qm_file.h"
#include "qm_program.h"

namespace {

bool is_plot(const char* path) {
  for (const char* ext : {"plt", "hgl", "hp", "hpg", "hpgl"})
    if (is_file_ext(path, ext)) return true;
  return false;
}

// Why a plot file could not be read: what opening it says, else that the
// library could not read it.
std::string plot_read_error(const char* path) {
  FILE* f = qm_fopen(path, "rb");
  if (!f) return qm_file_error(path, errno);
  std::fclose(f);
  return "not a plot file the library reads";
}

// Every entity and block of a drawing read from a file gets its display,
// which the plot writer draws from.
void build(MB_Drawing& drawing) {
  for (MB_Object* o = drawing.block_list().head(); o; o = o->next())
    if (o->object_id() == MB_Object::ID_BLOCK) static_cast<MB_Block*>(o)->build_draw();
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next())
    if (o->is_drawable()) static_cast<MB_Drawable*>(o)->build_draw();
}

constexpr const char* kProgram = "quillmark_plot";
constexpr const char* kUsage =
    "usage: quillmark_plot [--] plot.plt drawing.kzf | drawing.kzf plot.plt\n"
    "       quillmark_plot --help | --version\n"
    "  reads a plot file (.plt, .hgl, .hp, .hpg, .hpgl) into a native drawing, or\n"
    "  writes a native drawing as a plot file\n";

int usage(const std::string& why) { return qm_program_usage_error(kProgram, kUsage, why); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<const char*> names;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    int status = 0;
    if (!options || arg[0] != '-' || arg[1] == '\0') {
      names.push_back(arg);
    } else if (std::strcmp(arg, "--") == 0) {
      options = false;
    } else if (qm_program_standard_option(arg, kProgram, kUsage, &status)) {
      return status;
    } else {
      return usage(qm_program_unknown_option(arg));
    }
  }
  if (names.size() != 2)
    return usage(names.size() < 2 ? "give the file to read and the file to write" : "too many files");
  const char* in = names[0];
  const char* out = names[1];
  if (is_plot(in) == is_plot(out))
    return usage(std::string("one of ") + in + " and " + out +
                 (is_plot(in) ? " must be a native drawing, the other a plot file"
                              : " must be a plot file (.plt, .hgl, .hp, .hpg, .hpgl)"));
  if (qm_same_file(in, out)) return usage(std::string(out) + " would replace the input");
  MB_Drawing drawing(in);
  MB_File_IO io;
  io.drawing(&drawing);
  if (is_plot(in)) {
    if (!api_mb_load_hpgl_file(in)) {
      std::fprintf(stderr, "quillmark_plot: cannot read the plot file %s: %s\n", in, plot_read_error(in).c_str());
      return 1;
    }
    // A file that draws nothing is no plot the user meant to convert: it is
    // refused as the control refuses it, and no drawing is written.
    if (!drawing.object_list().head()) {
      std::fprintf(stderr, "quillmark_plot: cannot read the plot file %s: it %s\n", in, kHpglReasonNothingDrawn);
      return 1;
    }
    std::string name(out);
    if (!io.save_kzf(&name[0])) {
      std::fprintf(stderr, "quillmark_plot: cannot write the drawing %s: %s\n", out, io.reason().c_str());
      return 1;
    }
  } else {
    if (!io.load_kzf(in)) {
      std::fprintf(stderr, "quillmark_plot: cannot read the drawing %s: %s\n", in, io.reason().c_str());
      return 1;
    }
    build(drawing);
    errno = 0;
    if (!api_mb_save_hpgl_file(out)) {
      const int err = errno ? errno : EIO;
      std::fprintf(stderr, "quillmark_plot: cannot write the plot file %s: %s\n", out, qm_file_error(out, err).c_str());
      return 1;
    }
  }
  int entities = 0;
  for (MB_Object* o = drawing.object_list().head(); o; o = o->next()) ++entities;
  std::printf("%s: %d entities written to %s\n", in, entities, out);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "quillmark_plot: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}
