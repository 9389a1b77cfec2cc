#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "datafile/data_file.h"

namespace varrow {

// A folder and a file name joined by one separator, also when the folder is
// the root or already ends in a separator.
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder of a path ("." for a bare name, "/" for one in the root) and its
// last part.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// Whether new data files can be made in `folder`: it still exists, is a
// folder, and may be written; otherwise the system's error.
[[nodiscard]] FileStatus CheckFolderWritable(const std::string& folder);

// The identity of the file a path names, if it can be looked at.
std::optional<FileIdentity> IdentityAt(const std::string& path);

// Makes a folder and the folders above it that are missing.
[[nodiscard]] FileStatus MakeDirectories(const std::string& dir);

}  // namespace varrow
