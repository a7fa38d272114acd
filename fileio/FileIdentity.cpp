#include "fileio/FileIdentity.h"

#include <sys/stat.h>

namespace fileio {

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
                        static_cast<std::int64_t>(status.st_size),  status.st_mtim.tv_sec,
                        status.st_mtim.tv_nsec,                     status.st_ctim.tv_sec,
                        status.st_ctim.tv_nsec};
}

}  // namespace fileio
