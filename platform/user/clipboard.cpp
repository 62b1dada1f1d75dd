// The clipboard: one process-wide store of handles by format, reached only
// between OpenClipboard and CloseClipboard. It takes bitmaps (CF_BITMAP):
// a bitmap handed to SetClipboardData belongs to the clipboard from then on
// and is deleted when the clipboard is emptied or the bitmap is replaced.
// Edit controls keep the text they cut or copy in it, until it is emptied.
// (One still held at exit stays in GDI's table, which outlives this file's
// state.)
#include "platform/user/user_internal.h"

#include <qm_user.h>
#include <winuser.h>

namespace qmuser {

namespace {

struct Clipboard {
  bool open = false;
  HWND opener = nullptr;
  HWND owner = nullptr;
  HBITMAP bitmap = nullptr;
  bool has_text = false;
  std::string text;  // what an edit control cut or copied (GBK)
  void release() {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
    has_text = false;
    text.clear();
  }
};

Clipboard& clipboard() {
  static Clipboard c;
  return c;
}

}  // namespace

bool set_clipboard_text(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  clipboard().text = text;
  clipboard().has_text = true;
  CloseClipboard();
  return true;
}

bool clipboard_text(std::string& text) {
  if (!clipboard().has_text) return false;
  text = clipboard().text;
  return true;
}

void clear_clipboard() {
  Clipboard& c = clipboard();
  c.release();
  c.open = false;
  c.opener = c.owner = nullptr;
}

}  // namespace qmuser

using namespace qmuser;

BOOL OpenClipboard(HWND owner) {
  Clipboard& c = clipboard();
  if (c.open || (owner && !IsWindow(owner))) return FALSE;
  c.open = true;
  c.opener = owner;
  return TRUE;
}

BOOL CloseClipboard() {
  Clipboard& c = clipboard();
  if (!c.open) return FALSE;
  c.open = false;
  c.opener = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  Clipboard& c = clipboard();
  if (!c.open) return FALSE;
  c.release();
  c.owner = c.opener;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  Clipboard& c = clipboard();
  // Only a real bitmap is taken, so that what the clipboard deletes later is
  // always an object it owns.
  if (!c.open || format != CF_BITMAP || !data || GetObjectType(data) != OBJ_BITMAP) return nullptr;
  HBITMAP bitmap = static_cast<HBITMAP>(data);
  if (c.bitmap != bitmap) {
    c.release();
    c.bitmap = bitmap;
  }
  return data;
}

HANDLE GetClipboardData(UINT format) {
  Clipboard& c = clipboard();
  if (!c.open || format != CF_BITMAP) return nullptr;
  return c.bitmap;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  return (format == CF_BITMAP && clipboard().bitmap) ? TRUE : FALSE;
}
