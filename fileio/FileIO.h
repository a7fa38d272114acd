#pragma once
// Whole-file reading and crash-safe replacement of a file.
//
// ReplaceFileAtomically never destroys the previous file before the new content
// is complete on disk: it writes a temporary file beside the target, flushes it,
// and renames it over the target. When any step fails the previous file stays
// byte for byte and the temporary file is removed. Both raise FileError, whose
// text is the system's description of the failure.
#include <stdexcept>
#include <string>
#include <string_view>

namespace fileio {

class FileError : public std::runtime_error {
public:
    explicit FileError(int errorNumber);
    // A failure described otherwise than by the system; errorNumber may be 0.
    FileError(int errorNumber, const std::string& text);
    int ErrorNumber() const { return errorNumber_; }

private:
    int errorNumber_;
};

// Reads a file, or a pipe to its end, as FileReader does.
std::string ReadWholeFile(const std::string& path);

// The whole new content at once, as FileReplacement writes it.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Makes the names in a folder durable (a rename or a link into it); a failure
// loses nothing already done, so it is not reported.
void SyncFolder(const std::string& folder);

}  // namespace fileio
