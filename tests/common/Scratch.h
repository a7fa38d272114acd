#pragma once
// Scratch folders removed at the end, and whole files read and written as bytes:
// what tests of every layer need to work on real files.
#include <string>
#include <string_view>
#include <vector>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const;
    // The names in the directory, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces the file's bytes; throws when they cannot be written.
void WriteBytes(const std::string& path, std::string_view bytes);
