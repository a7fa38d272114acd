#pragma once
// Unit Global: the one catalogue of a run. Where its file lies, how an empty
// catalogue is created, how the file is loaded into the table and written back,
// and the sort state shared by the main window and the typed search.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/UiServices.h"
#include "table/ClientDataSet.h"

// Process-wide state, alive for the whole run.
// DataDir and DataFileName are file-system names (UTF-8 on this platform), not
// Windows-1250 text: use DataFileNameText() where the name goes into a message.
extern std::string DataDir;         // the catalogue's folder (CatalogHome.h), with a trailing "/"
extern std::string DataFileName;    // first command-line argument, or "filmy.xml"
extern std::string SortFields;      // field list of index "k", at first kDefaultSortFields (CatalogLayout.h)
extern std::int32_t QuickSearchColumn;  // 1, 2, 3 or 7: typed search on that field; -1 or 0: off

// The services through which the catalogue operations and the windows report to
// the user; installed once by the program's entry (or by a test).
void SetUserInterface(UiServices& services);
UiServices& UserInterface();

// DataDir followed directly by DataFileName; an absolute DataFileName as it is.
std::string CatalogPath();
// DataFileName as Windows-1250 text, for messages and listings ("?" for what the
// code page cannot hold).
std::string DataFileNameText();

// Defines the catalogue record in the table, creates it empty and writes it. A
// file already at the catalogue path is first copied to the same name + ".bak",
// or ".bak.1", ".bak.2", ... when that is taken (no backup is ever replaced);
// when that copy cannot be made the file is left alone and the save is reported
// as failed, and when the save fails the copy is removed again. Once the empty
// catalogue has replaced the file, an information box names the backup and how
// its films can be recovered. The table keeps no file name: nothing but
// SaveCatalog ever writes the catalogue.
void CreateCatalog(TClientDataSet& table);
// Where OpenCatalog leaves the table: on index "k" (what the window shows), or
// on index "x" (the films by their key K), for a caller that reads every film in
// any order or only appends one: "k" is then sorted only when something first
// reads it. Either way every failure of the load and of both indexes is raised.
enum class CatalogOrder { Sorted, ByKey };
// Loads the file, builds "k" over SortFields and "x" over K; true when the
// catalogue is open and on its first record. Reports its own failure. An edit
// or insert still pending is dropped; nothing of the table is written anywhere.
bool OpenCatalog(TClientDataSet& table, CatalogOrder order = CatalogOrder::Sorted);
// The same without reading the file: the table takes over the records of
// `loaded`, a table read from exactly the bytes the catalogue file holds now
// (a version just written back), and `loaded` is left closed.
bool OpenCatalogFrom(TClientDataSet& table, TClientDataSet& loaded, CatalogOrder order = CatalogOrder::Sorted);
// The two indexes OpenCatalog builds, built on an open table; raises what
// fails. Built ahead on the table OpenCatalogFrom then takes over, they are
// found there as they are. "k" checks the order `earlier` (read by OrderOf
// from a table of nearly the same films) before it sorts.
void BuildCatalogIndexes(TClientDataSet& table, TIndexOrder earlier = {});
// Writes the whole table as XML; true when written. Reports its own failure.
// The file it replaces is kept as a version (app/core/VersionedSave.h); a save
// that fails leaves no version behind.
bool SaveCatalog(TClientDataSet& table);
// SaveCatalog's failure box: "Nepodařilo se uložit soubor: " and DataFileName,
// and the failure's reason (FailureReason.h) on the next line.
void ShowSaveFailed(const std::exception& failure);
// OpenCatalog's failure box, in the same way.
void ShowOpenFailed(const std::exception& failure);

// Case- and diacritics-folding comparison of Windows-1250 texts: -1, 0 or 1.
// An empty first argument always sorts first (even against another empty one).
std::int32_t CzechCompare(std::string_view a, std::string_view b);
