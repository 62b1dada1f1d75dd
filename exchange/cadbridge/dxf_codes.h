// Values the DXF format gives a meaning to, shared by the loader's parts.
#pragma once

#include "geometry/as_pt.h"

// Angles are written in degrees.
constexpr double kDxfDegree = qm_pi / 180.0;
// Colour numbers that stand for no colour of their own: the colour of the
// insert that shows the block, and the colour of the entity's layer.
constexpr int kDxfByBlock = 0;
constexpr int kDxfByLayer = 256;
// The layer of definition points, named in any case.
constexpr const char* kDxfDefinitionPointLayer = "Defpoints";

// Extended data groups: a string, a control string ("{", "}"), a 16-bit integer.
constexpr int kXdataString = 1000;
constexpr int kXdataControl = 1002;
constexpr int kXdataInteger = 1070;
// The DIMSTYLE group of the colour of dimension and leader lines (DIMCLRD).
constexpr int kDimLineColorCode = 176;
