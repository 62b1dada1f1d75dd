// The redline markup format: element and attribute names, the style strings
// and their factors, the time stamp, and the mark that makes an entity part
// of the markup.
//
// A document names its base drawing and holds the markup objects in pairs: a
// Style whose "styles" text describes the object that follows it, then the
// Polyline or Text. Style fields are "name:value" joined by "; "; a reader
// finds the line weight as the 10th field of a polyline's style and the text
// height as the 18th field of a text's, by counting ':'.
#pragma once

#include <windows.h>

#include <string>

class MB_Drawable;

constexpr const char* kMarkupRoot = "redline:RedlineMarkup";
constexpr const char* kMarkupBaseDocument = "redline:BaseDocument";
constexpr const char* kMarkupTag = "redline:Tag";
constexpr const char* kMarkupObjects = "redline:Objects";
constexpr const char* kMarkupStyle = "redline:Style";
constexpr const char* kMarkupPolyline = "redline:Polyline";
constexpr const char* kMarkupText = "redline:Text";
constexpr const char* kMarkupTags = "redline:Tags";
constexpr const char* kMarkupStatus = "redline:Status";
constexpr const char* kMarkupPoint = "redline:Point2d";
// Names without the prefix, as the reader compares them (with case).
constexpr const char* kMarkupStyleName = "Style";
constexpr const char* kMarkupPolylineName = "Polyline";
constexpr const char* kMarkupTextName = "Text";
constexpr const char* kMarkupPointName = "Point2d";

// The template the writer fills, in the kernel's support folder.
constexpr const char* kMarkupTemplate = "sample.xml";
// Why the template could not serve: the first words, then the template's
// path and the reason.
constexpr const char* kReasonTemplateUnread = "the markup template cannot be read: ";
constexpr const char* kReasonTemplateIncomplete = "it lacks BaseDocument, Tag or Objects";

// The string property (key -302) whose value marks markup entities,
// compared without regard to case.
constexpr const char* kMarkupMark = "@redline";
// True when the entity carries the mark: it belongs to the markup, not to
// the base drawing.
bool markup_is_marked(MB_Drawable& entity);
// The display colour of markup polylines read from a document.
constexpr int32_t kMarkupColor = 255;

constexpr const char* kMarkupPolylineStyle =
    "ALColor:255; ALEndArrowScale:1; ALEndArrowType:None; ALEndType:Round; ALJoinType:Round; ALPattern:Solid; "
    "ALPatternScale:1.41073; ALStartArrowScale:1; ALStartArrowType:None; ALWeight:";
constexpr const char* kMarkupTextStyleHead =
    "AFFillColor:16777215; AFFillPattern:None; AFPatternColor:0; ALColor:0; ALEndArrowScale:1; ALEndArrowType:None; "
    "ALEndType:Round; ALJoinType:Round; ALPattern:None; ALPatternScale:1.41073; ALStartArrowScale:1; "
    "ALStartArrowType:None; ALWeight:0; ATBold:0; ATCharset:134; ATColor:255; ATFace:Arial; ATHeight:";
constexpr const char* kMarkupTextStyleTail =
    "; ATItalic:0; ATJustify:Left; ATPitchAndFamily:0; ATUnderline:0; ATVJustify:Top;";
// Which ':' of a style string precedes the line weight and the text height.
constexpr int kMarkupWeightField = 10;
constexpr int kMarkupHeightField = 18;

// Writer's factors and the reader's, their reciprocals.
constexpr double kMarkupWeightPerWidth = 0.03333333333333333;
constexpr double kMarkupWidthPerWeight = 30.0;
constexpr double kMarkupHeightPerTextHeight = 84.73642734275037;
constexpr double kMarkupTextHeightPerHeight = 0.0118013;
// What the reader takes before any Style: a thin line, text height 1.
constexpr double kMarkupDefaultWeight = 0.0;
constexpr double kMarkupDefaultHeight = kMarkupHeightPerTextHeight;
// The alignment flag and width scale of markup texts read from a document.
constexpr int32_t kMarkupTextAlignment = 32;

// "year-month-dayThour:minute:second--8:00" without leading zeros; the
// "--8:00" is part of the format, whatever the zone of the time.
std::string markup_time_stamp(const SYSTEMTIME& t);
// The polyline style of a line weight ("%.8f") and the text style of a
// height ("%f"), with '.' as the decimal point in any locale.
std::string markup_polyline_style(double weight);
std::string markup_text_style(double height);
// A coordinate or size as an attribute value: up to 15 significant digits,
// as "%.15g" in the C locale.
std::string markup_number(double value);
// The value after the n-th ':' of a style string, up to the next ';' or the
// end. False when the string has fewer ':' or no number there.
bool markup_style_field(const std::string& styles, int n, double& value);

// The clock the writer stamps saves with (UTC); tests and hosts may replace
// it. Returns the one replaced; null restores GetSystemTime.
typedef void (*Markup_Clock)(SYSTEMTIME*);
Markup_Clock markup_clock(Markup_Clock clock);
void markup_now(SYSTEMTIME* t);
