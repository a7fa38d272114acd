#pragma once
// A save of a file of the program (the catalogue, or a file kept beside it)
// that keeps the content it replaces as a version (fileio/VersionFolder.h) and
// tells the user what happened to the versions on the way: that the previous
// content could not be kept, and why (once a run for each folder and reason, so
// that a window does not repeat it at every change), or that the oldest versions
// were removed so that the save fitted on a full disk. These are information
// boxes: the save itself worked. A save that fails raises its failure.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fileio/VersionFolder.h"

// nameText names the file in the messages (Windows-1250); numberedWith as for
// fileio::VersionFolder.
fileio::VersionedSave SaveWithVersion(const std::string& path, const std::string& nameText,
                                      const std::function<void()>& save,
                                      const std::optional<fileio::VersionBounds>& bounds = fileio::VersionBounds{},
                                      const std::vector<std::string>& numberedWith = {});
