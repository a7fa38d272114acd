#pragma once
// How a command reaches the catalogue through the catalogue core, and the
// messages it shows on the way.
//
// The catalogue is named on the command line as a path relative to the current
// directory, so DataDir stays empty and DataFileName is the argument as given:
// the catalogue path is the argument itself, and the core's messages end with it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/CatalogLock.h"
#include "app/core/FailurePhrases.h"
#include "app/core/Global.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "layout/CatalogLayout.h"
#include "table/ClientDataSet.h"

// Sets DataDir, DataFileName and SortFields for the catalogue at path.
void UseCatalog(const std::string& path, std::string_view sortFields);

// The --sort option's field list, or the default one. A list naming anything
// but the catalogue's fields (K, S1 to S7) raises UsageError.
std::string SortOption(const Invocation& invocation);

// UseCatalog and OpenCatalog: exitSuccess, or exitCatalogFailed once the core
// has reported the failure.
ExitStatus OpenCatalogAt(TClientDataSet& table, const std::string& path, std::string_view sortFields,
                         CatalogOrder order = CatalogOrder::Sorted);

// Takes the lock a change of the file at path needs, so that a window (or
// another command) that has the catalogue open keeps it: exitSuccess, or
// exitCatalogFailed after "Katalog je otevřen v jiném programu: path.". Reading
// needs no lock.
ExitStatus LockForChange(CatalogLock& lock, const std::string& path);

// LockForChange for a file that a command writes anew: an existing file is then
// refused with exitRefused after "Soubor už existuje: path (přepíše ho volba
// --force).", unless it may be replaced.
ExitStatus LockForNewFile(CatalogLock& lock, const std::string& path, bool mayReplace);

// True when both names lead to one file, through any spelling, symbolic link or
// hard link: writing to one then replaces the other's content.
bool NamesSameFile(const std::string& a, const std::string& b);

// SaveCatalog, then OpenCatalog: the file is the master copy, so what was saved
// is read back. exitSuccess, or exitCatalogFailed after the core's message.
ExitStatus SaveAndReload(TClientDataSet& table, CatalogOrder order = CatalogOrder::Sorted);


// Every field of the current record, null as nothing: what decides whether a
// change really changed anything.
std::vector<std::optional<std::string>> RecordImage(TClientDataSet& table);

// An error box made of a phrase and a file name, ended by ".": the form of every
// file message of the program. Both parts are UTF-8.
void ShowFileError(std::string_view phrase, std::string_view fileName);
// ShowFileError with the failure's reason in Czech (FailureReason.h) on the next line.
void ShowFileFailure(std::string_view phrase, std::string_view fileName, const std::exception& failure);

// An error box with the given UTF-8 text.
void ShowError(std::string_view text);

// A further line under a message, on standard error (UTF-8).
void ShowDetail(std::string_view text);
