#pragma once
// A file rewritten whole without ever leaving less than was there: the new
// file is written beside the old one and takes its place in one step.
#include <functional>
#include <string>

namespace FileReplace {

// write fills the temporary file whose name it is given, in path's folder;
// the complete file then replaces path (or becomes it). False when path is
// read-only or a folder, when no temporary name is found, when write returns
// false or when the replacement is refused: the temporary file is then gone
// and path is as it was.
bool Replace(const std::wstring& path, const std::function<bool(const std::wstring& temp)>& write);

// The temporary name Replace writes first: a short name in the target's
// folder that no file has yet, in the form the platform takes at any length;
// "" when none is found.
std::wstring TempNameBeside(const std::wstring& path);

}  // namespace FileReplace
