#include "fonttool/shell_paths.h"

namespace fontlathe {

namespace {

// 'x' becomes 'p' and 'X' 'P'; false for another character.
bool SourceLetter(char* c) {
  if (*c == 'x') return *c = 'p', true;
  if (*c == 'X') return *c = 'P', true;
  return false;
}

}  // namespace

std::string FileNameOf(const std::string& path, char separator) {
  const size_t at = path.rfind(separator);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string FolderOf(const std::string& path, char separator) {
  const size_t at = path.rfind(separator);
  if (at == std::string::npos) return "";
  return at == 0 ? std::string(1, separator) : path.substr(0, at);
}

std::string SourcePathBesideFont(const std::string& fontPath) {
  std::string out = fontPath;
  if (out.empty() || !SourceLetter(&out.back())) return "";
  return out;
}

std::string SourcePathInFolder(const std::string& folder, const std::string& fileName, char separator) {
  std::string out = folder;
  if (fileName.size() <= 1) return out;
  if (out.empty() || out.back() != separator) out += separator;
  std::string name = fileName;
  SourceLetter(&name.back());
  return out + name;
}

std::string WithoutTrailingSeparator(const std::string& folder, char separator) {
  // The root folder keeps its only separator.
  if (folder.size() > 1 && folder.back() == separator) return folder.substr(0, folder.size() - 1);
  return folder;
}

}  // namespace fontlathe
