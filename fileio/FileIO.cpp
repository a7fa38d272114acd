#include "fileio/FileIO.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

#include "fileio/FileReader.h"
#include "fileio/FileReplacement.h"

namespace fileio {

FileError::FileError(int errorNumber)
    : std::runtime_error(std::generic_category().message(errorNumber)), errorNumber_(errorNumber) {}

FileError::FileError(int errorNumber, const std::string& text) : std::runtime_error(text), errorNumber_(errorNumber) {}

std::string ReadWholeFile(const std::string& path) {
    FileReader file(path);
    std::string content;
    content.reserve(static_cast<std::size_t>(file.Size()));
    char chunk[65536];
    while (const std::size_t got = file.Read(chunk, sizeof chunk)) content.append(chunk, got);
    return content;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    FileReplacement replacement(path);
    replacement.Write(bytes);
    replacement.Commit();
}

void SyncFolder(const std::string& folder) {
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) return;
    ::fsync(handle);
    ::close(handle);
}

}  // namespace fileio
