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

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileStatus CheckFolderWritable(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return FileStatus::FromErrno(ENOTDIR);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return FileStatus::FromErrno(errno);
  return FileStatus::Ok();
}

std::optional<FileIdentity> IdentityAt(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

FileStatus MakeDirectories(const std::string& dir) {
  for (std::size_t end = dir.find('/', 1);; end = dir.find('/', end + 1)) {
    const std::string part = dir.substr(0, end);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return FileStatus::FromErrno(errno);
    if (end == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return FileStatus::FromErrno(errno);
  return S_ISDIR(st.st_mode) ? FileStatus::Ok() : FileStatus::FromErrno(ENOTDIR);
}

}  // namespace varrow
