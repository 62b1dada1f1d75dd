// The attributes every entity carries: colours, display width, line scale,
// width, thickness, layer, line type and link.
//
// A drawing holds millions of entities and few distinct combinations of
// these attributes, so an entity keeps its two colours itself and shares the
// rest: one immutable record per distinct combination, made on its first use
// and kept for the life of the process, shared by every entity that has it.
// The getters and setters read and write as if each entity had its own
// fields; a setter that changes a value moves the entity to the record of
// the new combination. Records are compared bit by bit, so every value,
// a negative zero or a NaN among them, comes back exactly as it was set.
#pragma once

#include <cstdint>

#include "database/mb_result.h"

class MB_File_IO;
class MB_Layer;
class MB_Line_Type;
class MB_Opcode;
class MB_URL;

class MB_General {
 public:
  // The attributes besides the colours, as one value.
  struct Shared {
    int32_t display_width = 0;
    double line_scale = 0.0;
    double width = 0.0;
    double thickness = 0.0;
    MB_Layer* layer = nullptr;
    MB_Line_Type* line_type = nullptr;
    MB_URL* url = nullptr;
  };

  // Colours, display width, line scale, width and thickness of the settings.
  MB_General();
  MB_General(const MB_General&) = default;
  MB_General& operator=(const MB_General&) = default;

  // Every attribute, the drawn colour and display width among them.
  void copy_to(MB_General& target) const { target = *this; }

  int32_t color() const { return color_; }
  void color(int32_t c) { color_ = c; }
  int32_t display_color() const { return display_color_; }
  void display_color(int32_t c) { display_color_ = c; }
  int32_t display_width() const { return shared_->display_width; }
  void display_width(int32_t w) { change(&Shared::display_width, w); }
  double line_scale() const { return shared_->line_scale; }
  void line_scale(double s) { change(&Shared::line_scale, s); }
  double width() const { return shared_->width; }
  void width(double w) { change(&Shared::width, w); }
  double thickness() const { return shared_->thickness; }
  void thickness(double t) { change(&Shared::thickness, t); }
  MB_Layer* layer() const { return shared_->layer; }
  void layer(MB_Layer* l) { change(&Shared::layer, l); }
  MB_Line_Type* line_type() const { return shared_->line_type; }
  void line_type(MB_Line_Type* t) { change(&Shared::line_type, t); }
  MB_URL* url() const { return shared_->url; }
  void url(MB_URL* u) { change(&Shared::url, u); }

  // What the last materialize of a pass made of which record and which read
  // values: the entities of a load mostly repeat both, and then take the
  // answer without looking for the record. Records never die, so a memo
  // stays true for the life of the process.
  struct Read_Memo {
    const Shared* from = nullptr;
    const Shared* to = nullptr;
    int32_t display_width = 0;
    double line_scale = 0.0;
    double width = 0.0;
    double thickness = 0.0;
  };

  // Hands the attributes to the pass's attribute state, which writes those
  // that changed; takes them back from it when reading.
  MB_Result serialize(MB_File_IO& io) const;
  MB_Result materialize(const MB_Opcode& op, MB_File_IO& io);
  MB_Result process(MB_File_IO&) { return MB_SUCCESS; }

 private:
  // All of them at once.
  void shared(const Shared& values);
  // These values read from a file over the others of the entity's record,
  // through the memo of the read pass.
  void read_shared(int32_t display_width, double line_scale, double width, double thickness, Read_Memo& memo);
  template <class T>
  void change(T Shared::*field, T value) {
    Shared s = *shared_;
    s.*field = value;
    shared(s);
  }

  const Shared* shared_;
  int32_t color_;
  int32_t display_color_;
};
