// Command targets: the message-map search (window messages through a flat
// table per map chain, since maps are fixed once compiled), commands and
// their update handlers, and the states a CCmdUI carries.
#include <afxwin.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/afx/afx_internal.h"

namespace {

bool matches(const AFX_MSGMAP_ENTRY& e, UINT msg, UINT code, UINT id) {
  return e.nMessage == msg && e.nCode == code && id >= e.nID && id <= e.nLastID;
}

__attribute__((noinline)) const AFX_MSGMAP_ENTRY* search(const AFX_MSGMAP* map, UINT msg, UINT code, UINT id) {
  for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e)
      if (matches(*e, msg, code, id)) return e;
    if (map->pfnGetBaseMap == nullptr) break;
  }
  return nullptr;
}

}  // namespace

const CRuntimeClass CCmdTarget::classCCmdTarget = {"CCmdTarget", sizeof(CCmdTarget), 0xFFFF, nullptr,
                                                   RUNTIME_CLASS(CObject)};
const CRuntimeClass* CCmdTarget::GetRuntimeClass() const { return RUNTIME_CLASS(CCmdTarget); }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace qmafx {

// Built once per most-derived map, on its first window message; one UI
// thread uses the class library, as on the original platform.
const QmFlatMessageMap* flatten_message_map(const AFX_MSGMAP* map) {
  auto* flat = new QmFlatMessageMap;
  for (const AFX_MSGMAP* m = map; m; m = m->pfnGetBaseMap ? m->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = m->lpEntries; e->pfn; ++e) {
      if (e->nCode != 0 || e->nID != 0) continue;  // commands, notifications, ranges of ids
      // The first entry met for a message is the one the chain search finds.
      if (e->nMessage < QmFlatMessageMap::kLow) {
        if (!flat->low[e->nMessage]) flat->low[e->nMessage] = e->pfn;
        continue;
      }
      bool known = false;
      for (const auto& h : flat->high) known = known || h.first == e->nMessage;
      if (!known) flat->high.emplace_back(e->nMessage, e->pfn);
    }
  }
  map->qm_flat = flat;
  return flat;
}

}  // namespace qmafx

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT msg, UINT code, UINT id) const {
  const AFX_MSGMAP* map = GetMessageMap();
  return search(map, msg, code, id);
}

BOOL CCmdTarget::DispatchWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  return qm_dispatch_window_message(this, msg, wparam, lparam, result);
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handler_info) {
  const AFX_MSGMAP_ENTRY* e = nullptr;
  if (static_cast<UINT>(code) == CN_QM_NOTIFY) {
    NMHDR* hdr = static_cast<NMHDR*>(extra);
    if (!hdr) return FALSE;
    e = search(GetMessageMap(), WM_NOTIFY, hdr->code, id);
    if (!e) return FALSE;
    if (!handler_info) {
      LRESULT ignored = 0;
      e->pfn(this, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&ignored), hdr);
    }
  } else {
    e = search(GetMessageMap(), WM_COMMAND, static_cast<UINT>(code), id);
    if (!e) return FALSE;
    if (handler_info) {
      handler_info->pTarget = this;
    } else {
      e->pfn(this, WM_COMMAND, id, 0, extra);
    }
  }
  if (handler_info) handler_info->pTarget = this;
  return TRUE;
}

void CCmdTarget::BeginWaitCursor() {
  if (CWinApp* app = AfxGetApp()) app->BeginWaitCursor();
}

void CCmdTarget::EndWaitCursor() {
  if (CWinApp* app = AfxGetApp()) app->EndWaitCursor();
}

void CCmdUI::Enable(BOOL) { m_bEnableChanged = TRUE; }
void CCmdUI::SetCheck(int) {}
void CCmdUI::SetRadio(BOOL) {}
void CCmdUI::SetText(LPCSTR) {}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disable_if_no_handler) {
  if (!target || m_nID == 0 || m_nID >= 0xF000) return TRUE;  // separators and system commands
  m_bEnableChanged = FALSE;
  m_bContinueRouting = FALSE;
  BOOL handled = target->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (handled && m_bContinueRouting) handled = FALSE;
  if (!handled && !m_bEnableChanged && disable_if_no_handler) {
    // Without an update handler: enabled exactly when a command handler exists.
    AFX_CMDHANDLERINFO info = {nullptr};
    Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
  }
  return handled;
}

void QmStateCmdUI::Enable(BOOL on) {
  CCmdUI::Enable(on);
  enabled = on ? TRUE : FALSE;
}

void QmStateCmdUI::SetCheck(int check) { checked = check; }

void QmStateCmdUI::SetText(LPCSTR t) {
  text = t;
  text_set = TRUE;
}
