#pragma once
// Where a run of the windows keeps its catalogue: the folder that DataDir names.
// The window, the package and the tests all ask here, so that they agree.
#include <string>
#include <string_view>

enum class CatalogHome {
    BesideProgram,   // a build run in place: the executable's own folder
    UserDataFolder,  // an installed build: $XDG_DATA_HOME/kinovka/, by default ~/.local/share/kinovka/
};

// The home this build was made for: the user data folder when configured with
// KINOVKA_USER_DATA_CATALOG (as the package is), beside the program otherwise.
CatalogHome BuildCatalogHome();

// The catalogue folder, ending in "/", for the executable at executablePath.
// The user data folder is created, owner-only as the XDG rules ask, when it is
// missing. When it cannot be created it is still the answer: opening and saving
// the catalogue there then report their failures as for any unusable path.
std::string CatalogDirectory(CatalogHome home, std::string_view executablePath);

// True when nothing of the catalogue at catalogPath is there yet: no file, no
// versions folder ("<path>.versions"), no backup ("<path>.bak"). Only in such a
// place may a catalogue be made without the user asking for it.
bool NothingOfCatalogAt(const std::string& catalogPath);
