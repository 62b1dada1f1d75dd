// Fuzz target for the registry file's reader: any text is read into a store
// in memory, every section and entry looked up, an entry set and a section
// removed. The text is written back as read, and after the edits it reads
// again as the same store (damaged lines kept as they were). No
// crash, no hang, no unbounded work on a file of the size the reader takes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qm_profile.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > QmProfileStore::kMaxFileBytes) return 0;
  QmProfileStore store;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool intact = store.Load(text);
  check(store.Text() == text);
  std::string value;
  for (const std::string& section : store.Sections())
    for (const std::string& entry : store.Entries(section)) check(store.Get(section, entry, &value));
  store.Set("HKEY_CLASSES_ROOT\\Fuzz", "@", "value");
  check(store.Get("hkey_classes_root\\fuzz", "@", &value) && value == "value");
  const std::vector<std::string> sections = store.Sections();
  if (!sections.empty()) store.RemoveSection(sections.front());
  QmProfileStore again;
  check(again.Load(store.Text()) || !intact);
  check(again.Sections() == store.Sections());
  for (const std::string& section : store.Sections()) check(again.Entries(section) == store.Entries(section));
  return 0;
}
