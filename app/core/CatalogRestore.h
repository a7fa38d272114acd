#pragma once
// Bringing back a kept version of the run's catalogue or of its loans: Ctrl+Z
// in the main window and kinovka-cli restore. The caller holds the catalogue's
// lock, which guards both files.
//
// The two files change one at a time (a film or a loan), so their versions form
// one trail of changes, newest first whichever file each was kept from: Ctrl+Z
// takes back the latest change of either, and history numbers both together.
// Their versions share one numbering (fileio::VersionFolder's numberedWith: the
// catalogue's saves number with the loans file and the loans' saves with the
// catalogue), so the trail is ordered by those numbers, never by the clock.
// Versions named by the time alone, from before the numbering, come after all
// numbered ones, among themselves by the time in their names.
#include <string>
#include <string_view>
#include <vector>

#include "fileio/VersionFolder.h"

// The versions of the catalogue at CatalogPath() and of its loans, newest first.
std::vector<fileio::Version> CatalogVersions();
// Whether the version was kept from the loans file rather than the catalogue.
bool IsLoansVersion(const fileio::Version& version);

// Makes the version its file's content byte for byte: it replaces the file as
// a save does, and the state it replaces becomes the newest version in its turn
// (its name goes to keptName; empty when none was kept). No version is pruned
// by it: the next other save applies the bounds again. A failure shows
// "Nepodařilo se uložit soubor: " with the file's name and leaves the file and
// its versions as they were. Nothing is reloaded here.
bool RestoreCatalogVersion(const fileio::Version& version, std::string& keptName);
// The same with the version's content as the caller has read it, so that the
// file gets exactly the bytes the caller saw.
bool RestoreCatalogVersion(const fileio::Version& version, std::string_view content, std::string& keptName);
