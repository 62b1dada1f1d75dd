// Command targets: the message-map search (with a cache of window-message
// lookups, since maps are fixed once compiled), commands and their update
// handlers, and the states a CCmdUI carries.
#include <afxwin.h>

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

// Window messages looked up before: (map, message) to the entry or null.
struct CacheSlot {
  const AFX_MSGMAP* map;
  UINT msg;
  const AFX_MSGMAP_ENTRY* entry;
};
constexpr int kCacheBits = 9;
constexpr size_t kCacheSize = size_t{1} << kCacheBits;
// One UI thread uses the class library, as on the original platform.
CacheSlot t_cache[kCacheSize];

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

namespace {

inline const AFX_MSGMAP_ENTRY* cached_entry(const AFX_MSGMAP* map, UINT msg) {
  // Message numbers that differ only above the low bits (WM_SIZE and
  // WM_USER + 5) must not share a slot: mix every bit before taking the top.
  const uint64_t key = (uint64_t{msg} << 32) ^ reinterpret_cast<uintptr_t>(map);
  CacheSlot& slot = t_cache[(key * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits)];
  if (slot.map == map && slot.msg == msg) return slot.entry;
  const AFX_MSGMAP_ENTRY* e = search(map, msg, 0, 0);
  slot = {map, msg, e};
  return e;
}

}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT msg, UINT code, UINT id) const {
  const AFX_MSGMAP* map = GetMessageMap();
  if (code != 0 || id != 0) return search(map, msg, code, id);
  return cached_entry(map, msg);
}

BOOL CCmdTarget::DispatchWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  const AFX_MSGMAP_ENTRY* e = cached_entry(GetMessageMap(), msg);
  if (!e) return FALSE;
  *result = e->pfn(this, msg, wparam, lparam, nullptr);
  return TRUE;
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
