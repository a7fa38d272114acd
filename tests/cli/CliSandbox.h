#pragma once
// A scratch directory in which the built kinovka-cli runs as a user would run it:
// files named relative to the directory, the Czech collation pinned through the
// locale environment, standard output and standard error captured as bytes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/common/KinovkaCli.h"
#include "tests/common/Scratch.h"

class CliSandbox {
public:
    // With a file size limit, files may grow to that many bytes, as on a full disk.
    RunResult Run(const std::vector<std::string>& arguments, std::optional<rlim_t> fileSizeLimit = {}) const;
    // Another program (argv[0] is its path) run the same way.
    RunResult RunProgram(const std::vector<std::string>& argv) const;

    std::string Path(std::string_view name) const;
    std::string Read(std::string_view name) const;
    void Write(std::string_view name, std::string_view bytes) const;
    bool Exists(std::string_view name) const;

    // A new catalogue at name with the films added in order (each an argument list
    // for add after the catalogue); fails the test when a step fails.
    void MakeCatalog(std::string_view name, const std::vector<std::vector<std::string>>& films) const;

private:
    ScratchDir dir_;
};

// The list window's film line format, applied to Windows-1250 values and given
// back as UTF-8: what the list prints for one film.
std::string ListLine(std::string_view s1, std::string_view s2, int s3, std::string_view s4, std::string_view s5,
                     std::string_view s6, std::string_view s7);
// The list header, as UTF-8.
std::string ListHeader();
