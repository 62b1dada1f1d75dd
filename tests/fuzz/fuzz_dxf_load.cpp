// Fuzz target for the outside drawing loader: any bytes go through the DXF
// guard, then dxflib builds the kept records into a drawing and the loader's
// own kinds (texts, dimensions, leaders) are built from them; then the
// blocks are bound to what their inserts give them, as the loader does. The
// guard must end, keep only text dxflib can parse safely, and the build must
// neither crash nor leak. Pictures are looked for in the folder that
// QM_FUZZ_PICTURES names (run_fuzzers.sh gives the seeds' small pictures,
// so that images are turned and clipped), else in a folder that does not
// exist, where an IMAGE becomes its frame.
#include <dxflib/dl_dxf.h>
#include <sanitizer/lsan_interface.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "database/mb_drawing.h"
#include "exchange/cadbridge/dxf_annotations.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_guard.h"
#include "exchange/cadbridge/dxf_inherit.h"

namespace {

void load(const std::string& bytes) {
  Dxf_Guarded guarded;
  if (!dxf_guard(bytes, guarded)) return;
  MB_Drawing drawing;
  Dxf_Builder builder(drawing, guarded);
  static const std::string pictures = [] {
    const char* given = std::getenv("QM_FUZZ_PICTURES");
    return given && *given ? std::string(given) + "/" : std::string("/nonexistent-fuzz-folder/");
  }();
  builder.picture_folder(pictures);
  std::istringstream stream(guarded.text);
  DL_Dxf dxf;
  dxf.in(stream, &builder);
  builder.finish();
  Dxf_Annotations annotations(drawing, builder);
  annotations.read(guarded.text);
  Dxf_Inherit inherit(drawing, builder.inherited());
  inherit.run();
  drawing.build_draw();
}

}  // namespace

// Fonts are found once for the whole process and kept (the platform's
// font lists, fontconfig's configuration): a text in a style whose shape
// font is missing finds them before the first input. Fontconfig's loading
// of its configuration keeps a few blocks the leak checker cannot trace;
// they are made once, here, and not counted.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  __lsan_disable();
  load("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nSTYLE\n70\n1\n0\nSTYLE\n2\nS\n70\n0\n40\n0\n3\nsimplex.shx\n4\n\n"
       "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\nAb\xE4\xB8\xAD\n7\nS\n"
       "0\nMTEXT\n8\n0\n10\n0\n20\n0\n40\n1\n1\n\\fArial;x\n0\nENDSEC\n0\nEOF\n");
  __lsan_enable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  load(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
