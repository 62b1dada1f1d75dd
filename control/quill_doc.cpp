// The control's document.
#include "control/quill_doc.h"

IMPLEMENT_DYNCREATE(CQuillDoc, CDocument)

BOOL CQuillDoc::OnSaveDocument(LPCSTR) {
  // Nothing of the drawing is in the document: a save must not create or
  // truncate a file, only mark the document as saved.
  SetModifiedFlag(FALSE);
  return TRUE;
}
