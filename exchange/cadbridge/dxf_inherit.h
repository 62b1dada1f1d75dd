// What the objects of a DXF block take from the insert that shows them. An
// object on layer 0 is drawn as if on the insert's layer (its colour, line
// type, and hidden with it when that layer is off or frozen); a colour or
// line type of BYBLOCK is the insert's; through nested inserts, each taking
// what its own insert gives it. The kernel's block draws every object as it
// is stored, so each block whose objects take something is copied once per
// distinct thing given (layer, colour, line type), the copy holding objects
// with those resolved, and the inserts are bound to the copies. Blocks of
// objects that take nothing stay shared.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

class MB_Block;
class MB_Drawable;
class MB_Drawing;
class MB_Insert;
class MB_Layer;
class MB_Line_Type;
class MB_Object;

// How an object of a block takes from its insert (bits).
enum Dxf_Inherit_Flag : uint8_t {
  kDxfOnLayerZero = 1,      // its layer is the insert's
  kDxfColorByBlock = 2,     // its colour is the insert's
  kDxfColorByLayer = 4,     // its colour is its layer's
  kDxfLineTypeByBlock = 8,  // its line type is the insert's
  kDxfLineTypeByLayer = 16  // its line type is its layer's
};

class Dxf_Inherit {
 public:
  // `flags` gives, for each object placed in a block and each insert, how it
  // takes from its insert; objects not in it take nothing.
  Dxf_Inherit(MB_Drawing& drawing, const std::unordered_map<const MB_Object*, uint8_t>& flags)
      : drawing_(drawing), flags_(flags) {}

  // Binds every insert of the drawing and of its blocks to the block (or
  // copy) that draws what it gives.
  void run();
  // Why copies were left out (too many), at most one line.
  const std::vector<std::string>& problems() const { return problems_; }

  // Blocks and objects copied beyond these are left as they are.
  static constexpr size_t kMaxCopies = 4096;
  static constexpr size_t kMaxObjects = size_t(1) << 20;

 private:
  struct Given {
    MB_Layer* layer;
    uint32_t color;
    MB_Line_Type* line_type;
    bool operator<(const Given& o) const {
      return std::tie(layer, color, line_type) < std::tie(o.layer, o.color, o.line_type);
    }
  };

  // What an object draws with.
  struct Look {
    MB_Layer* layer;
    int32_t color;
    MB_Line_Type* line_type;
    uint16_t flag;
  };

  uint8_t flags_of(const MB_Object* o) const;
  Look resolved(const MB_Drawable& object, uint8_t flags, const Given& given) const;
  bool takes(MB_Block* block);
  // What the insert gives its block's objects, itself inside a block given
  // `outer` (null at the top).
  Given given_by(const MB_Drawable& insert, const Given* outer) const;
  // True when what is given changes the object's layer, colour, line type
  // or visibility.
  bool changes(const MB_Drawable& object, uint8_t flags, const Given& given) const;
  // Resolves the object's layer, colour and line type from what is given.
  void apply(MB_Drawable& object, uint8_t flags, const Given& given) const;
  MB_Block* copy_for(MB_Block* block, const Given& given, int depth);

  MB_Drawing& drawing_;
  const std::unordered_map<const MB_Object*, uint8_t>& flags_;
  std::unordered_map<const MB_Block*, bool> takes_;
  std::map<std::pair<const MB_Block*, Given>, MB_Block*> copies_;
  size_t objects_ = 0;
  std::vector<std::string> problems_;
};
