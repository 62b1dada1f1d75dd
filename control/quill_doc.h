// The control's document. It holds no data: the drawing lives in the view's
// editing context, so opening reads nothing and saving writes nothing.
#pragma once

#include <afxwin.h>

class CQuillDoc : public CDocument {
  DECLARE_DYNCREATE(CQuillDoc)
 public:
  BOOL OnSaveDocument(LPCSTR path) override;
};
