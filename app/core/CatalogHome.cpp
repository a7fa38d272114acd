#include "app/core/CatalogHome.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

// The variable's value when it is an absolute path; the XDG rules have a relative
// value ignored, as if it were not set.
std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string UserDataHome() {
    std::string dataHome = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!dataHome.empty()) return dataHome;
    std::string home = AbsoluteFromEnvironment("HOME");
    if (home.empty()) {
        const passwd* account = getpwuid(getuid());
        if (account && account->pw_dir && account->pw_dir[0] == '/') home = account->pw_dir;
    }
    return home.empty() ? std::string() : home + "/.local/share";
}

// Every missing folder on the way is made owner-only. Failures are left to the
// open and the save in that folder, which report them to the user.
void CreateMissingFolders(const std::string& directory) {
    for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
         slash = directory.find('/', slash + 1)) {
        ::mkdir(directory.substr(0, slash).c_str(), 0700);
    }
}

std::string WithTrailingSlash(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

}  // namespace

CatalogHome BuildCatalogHome() {
#ifdef KINOVKA_USER_DATA_CATALOG
    return CatalogHome::UserDataFolder;
#else
    return CatalogHome::BesideProgram;
#endif
}

std::string CatalogDirectory(CatalogHome home, std::string_view executablePath) {
    if (home == CatalogHome::UserDataFolder) {
        const std::string dataHome = UserDataHome();
        // Without any home the user's folder cannot be named; the program's own
        // folder is then the only place left to look.
        if (!dataHome.empty()) {
            std::string directory = WithTrailingSlash(dataHome) + "kinovka/";
            CreateMissingFolders(directory);
            return directory;
        }
    }
    return WithTrailingSlash(std::string(executablePath.substr(0, executablePath.find_last_of('/') + 1)));
}

bool NothingOfCatalogAt(const std::string& catalogPath) {
    // A place that cannot be looked at is not known to be empty.
    for (const std::string& trace : {catalogPath, catalogPath + ".versions", catalogPath + ".bak"}) {
        std::error_code error;
        if (std::filesystem::symlink_status(trace, error).type() != std::filesystem::file_type::not_found)
            return false;
    }
    return true;
}
