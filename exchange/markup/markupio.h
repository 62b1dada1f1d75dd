// The redline markup exchange: a drawing's markup polylines and texts
// written as an XML document over a base drawing, and such a document read
// back on top of its base drawing (opened by its kind).
#pragma once

#include <afxwin.h>

#include <string>

class MB_Drawing;

// Writes the markup entities of the drawing (those whose string property
// -302 is "@redline", any case) into a copy of the support folder's template
// saved as `target`, naming `base_document` (null counts as empty) as the
// base drawing. False, writing nothing, for a null drawing, a null or empty
// target, or a template that cannot be read or lacks BaseDocument, Tag or
// Objects; otherwise the result of the save. The template is never written.
bool api_mb_save_xml(MB_Drawing* drawing, const char* base_document, const char* target);
// The same, giving the reason when the template is what failed: its path
// and why it cannot serve (left alone otherwise; a failed write leaves the
// system's reason in errno).
bool api_mb_save_xml(MB_Drawing* drawing, const char* base_document, const char* target, std::string& why);

// Reads the markup document at `markup_path` into the drawing: the base
// drawing it names is loaded first (its path, without the quotes, goes to
// `base_document`), then its polylines and texts are added, each marked
// "@redline". False for a null drawing, or when the document has no Objects
// element (the base drawing is loaded even then).
bool api_mb_load_xml(CString& markup_path, MB_Drawing* drawing, CString& base_document);
// The same, the base drawing opened by its kind: a native drawing (.kzf,
// .qlf) through the kernel's reader, a DXF through the outside loader. A
// base that is the file `already_open` (the drawing's own file, already in
// it) is not read again. Why a base the document names could not be read
// goes to `base_failure` as "PATH: reason" (empty when it was read or the
// document names none); the markup is read all the same.
bool api_mb_load_xml(CString& markup_path, MB_Drawing* drawing, CString& base_document, const char* already_open,
                     std::string* base_failure);
