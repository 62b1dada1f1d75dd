// Run-time classes, dynamic creation by class and by name, and the small
// geometry classes' members that are not one line.
#include <afxwin.h>

#include <algorithm>
#include <cstring>

namespace {

std::vector<const CRuntimeClass*>& named_classes() {
  static std::vector<const CRuntimeClass*> classes;
  return classes;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return TRUE;
  return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(LPCSTR name) {
  if (!name) return nullptr;
  for (const CRuntimeClass* c : named_classes())
    if (std::strcmp(c->m_lpszClassName, name) == 0) return c;
  return nullptr;
}

QmAfxClassInit::QmAfxClassInit(const CRuntimeClass* cls) { named_classes().push_back(cls); }

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

BOOL CRect::IntersectRect(const RECT& a, const RECT& b) {
  SetRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom));
  if (IsRectEmpty()) {
    SetRectEmpty();
    return FALSE;
  }
  return TRUE;
}

BOOL CRect::UnionRect(const RECT& a, const RECT& b) {
  const CRect ca(a), cb(b);
  if (ca.IsRectEmpty()) {
    *this = cb;
  } else if (cb.IsRectEmpty()) {
    *this = ca;
  } else {
    SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
  }
  if (IsRectEmpty()) {
    SetRectEmpty();
    return FALSE;
  }
  return TRUE;
}
