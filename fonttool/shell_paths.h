// The path rules of the font tool's dialog: the source file named after the
// font, the folder a file lies in. The separator is a parameter so that the
// same rules serve Linux paths and Windows-style ones.
#pragma once

#include <string>

namespace fontlathe {

// The separator of the paths the program deals in.
constexpr char kPathSeparator = '/';

// The name of the file a path names: what follows its last separator.
std::string FileNameOf(const std::string& path, char separator = kPathSeparator);

// The folder of a path: the path without the name and its separator (a file
// in the root folder gives the root).
std::string FolderOf(const std::string& path, char separator = kPathSeparator);

// The source file beside a font: its last character 'x' made 'p' ('X' made
// 'P'); "" when the path ends in anything else.
std::string SourcePathBesideFont(const std::string& fontPath);

// The source file for the font `fileName` in `folder`: the folder, a
// separator unless it ends with one, and the name with a last 'x' or 'X' made
// 'p' or 'P' (other last characters stay). A name of one character or none
// gives the folder alone.
std::string SourcePathInFolder(const std::string& folder, const std::string& fileName, char separator = kPathSeparator);

// The folder without a separator at its end (the root keeps its own).
std::string WithoutTrailingSeparator(const std::string& folder, char separator = kPathSeparator);

}  // namespace fontlathe
