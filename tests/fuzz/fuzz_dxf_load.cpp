// Fuzz target for the outside drawing loader: any bytes go through the DXF
// guard, then dxflib builds the kept records into a drawing and the loader's
// own kinds (texts, dimensions, leaders) are built from them. The guard must
// end, keep only text dxflib can parse safely, and the build must neither
// crash nor leak.
#include <dxflib/dl_dxf.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "database/mb_drawing.h"
#include "exchange/cadbridge/dxf_annotations.h"
#include "exchange/cadbridge/dxf_builder.h"
#include "exchange/cadbridge/dxf_guard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Dxf_Guarded guarded;
  if (!dxf_guard(bytes, guarded)) return 0;
  MB_Drawing drawing;
  Dxf_Builder builder(drawing, guarded);
  std::istringstream stream(guarded.text);
  DL_Dxf dxf;
  dxf.in(stream, &builder);
  builder.finish();
  Dxf_Annotations annotations(drawing, builder);
  annotations.read(guarded.text);
  drawing.build_draw();
  return 0;
}
