#include "datafile/folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace varrow {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

FileStatus CheckFolderWritable(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return FileStatus::FromErrno(ENOTDIR);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return FileStatus::FromErrno(errno);
  return FileStatus::Ok();
}

}  // namespace varrow
