#include "fileio/FileAttributes.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace fileio {
namespace {

// The names of the file's extended attributes; none where the file system has none.
std::vector<std::string> AttributeNames(const std::string& path) {
    std::vector<std::string> names;
    ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
    if (size <= 0) return names;
    std::string list(static_cast<std::size_t>(size), '\0');
    size = ::listxattr(path.c_str(), list.data(), list.size());
    if (size <= 0) return names;
    for (std::size_t start = 0; start < static_cast<std::size_t>(size);) {
        const std::size_t end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool MayGive(const std::string& name, bool root) {
    const std::string_view kinds[] = {"user.", "system.posix_acl_access", "system.posix_acl_default"};
    if (std::any_of(std::begin(kinds), std::end(kinds), [&](std::string_view kind) { return name.starts_with(kind); }))
        return true;
    return root && (name.starts_with("security.") || name.starts_with("trusted."));
}

bool InGroup(gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    const int got = ::getgroups(static_cast<int>(groups.size()), groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

bool CanCarryAttributes(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return true;
    const bool root = ::geteuid() == 0;
    if (!root && (info.st_uid != ::geteuid() || !InGroup(info.st_gid))) return false;
    const std::vector<std::string> names = AttributeNames(path);
    return std::all_of(names.begin(), names.end(), [&](const std::string& name) { return MayGive(name, root); });
}

int CarryAttributes(const std::string& path, int handle) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    if (::fchown(handle, info.st_uid, info.st_gid) != 0) {
        [[maybe_unused]] const int groupGiven = ::fchown(handle, static_cast<uid_t>(-1), info.st_gid);
    }
    // After the owner, since a change of owner clears the set-id bits; before the
    // ACL, which the mode would otherwise cut down to its mask.
    ::fchmod(handle, info.st_mode & 07777);
    for (const std::string& name : AttributeNames(path)) {
        const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) return errno;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0) return errno;
        if (::fsetxattr(handle, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) return errno;
    }
    return 0;
}

}  // namespace fileio
