#pragma once
// FileAttributes: what a file is besides its bytes (owner, group, permission
// bits, ACL and other extended attributes), and whether a new file made by this
// user can be given all of it, as a replacement by rename needs.
#include <string>

namespace fileio {

// True when a new file this process makes can carry every attribute of the file
// at path: the owner and group (only root may give away a file, and a group
// only to its members) and each extended attribute (the ACL and "user." ones
// for the file's owner; "security." and "trusted." ones only for root; none of
// another kind). A file that does not exist, or where the system cannot say,
// counts as carried.
bool CanCarryAttributes(const std::string& path);

// Gives the open new file the owner, group, permission bits and extended
// attributes of the file at path, as far as this user may; 0 or the error
// (errno) of the first extended attribute that could not be given.
int CarryAttributes(const std::string& path, int handle);

}  // namespace fileio
