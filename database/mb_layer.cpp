// Layer construction; the file records live with the native-format pass.
#include "database/mb_layer.h"

MB_Layer::MB_Layer() : name_("layer0"), flags_(kVisible) {}

MB_Layer::MB_Layer(const MB_String& name) : name_(name) {}
