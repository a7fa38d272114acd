#include "cli/CatalogAccess.h"

#include <filesystem>
#include <iostream>

#include "app/core/FailureReason.h"
#include "app/core/Global.h"
#include "layout/CatalogLayout.h"
#include "text/Cp1250.h"

namespace {

// The engine trims blanks and control characters around each name of a field list.
std::string_view TrimmedFieldName(std::string_view name) {
    while (!name.empty() && static_cast<unsigned char>(name.front()) <= ' ') name.remove_prefix(1);
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.remove_suffix(1);
    return name;
}

}  // namespace

void UseCatalog(const std::string& path, std::string_view sortFields) {
    DataDir.clear();
    DataFileName = path;
    SortFields = sortFields;
}

std::string SortOption(const Invocation& invocation) {
    const std::string list = invocation.ValueOr("sort", kDefaultSortFields);
    std::string_view rest = list;
    while (true) {
        const std::size_t semicolon = rest.find(';');
        const std::string_view name = TrimmedFieldName(rest.substr(0, semicolon));
        if (!IsCatalogField(name)) {
            throw UsageError("Neplatný seznam polí pro řazení: \"" + list +
                             "\" (pole K, S1 až S7 oddělená středníkem)");
        }
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
    return list;
}

ExitStatus OpenCatalogAt(TClientDataSet& table, const std::string& path, std::string_view sortFields,
                         CatalogOrder order) {
    UseCatalog(path, sortFields);
    return OpenCatalog(table, order) ? exitSuccess : exitCatalogFailed;
}

ExitStatus LockForChange(CatalogLock& lock, const std::string& path) {
    lock = CatalogLock(path);
    if (lock.MayChange()) return exitSuccess;
    ShowFileError(kCatalogInUsePhrase, path);
    return exitCatalogFailed;
}

ExitStatus LockForNewFile(CatalogLock& lock, const std::string& path, bool mayReplace) {
    if (const ExitStatus status = LockForChange(lock, path)) return status;
    std::error_code error;
    if (mayReplace || !std::filesystem::exists(path, error)) return exitSuccess;
    ShowError("Soubor už existuje: " + path + " (přepíše ho volba --force).");
    return exitRefused;
}

bool NamesSameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

ExitStatus SaveAndReload(TClientDataSet& table, CatalogOrder order) {
    if (!SaveCatalog(table)) return exitCatalogFailed;
    return OpenCatalog(table, order) ? exitSuccess : exitCatalogFailed;
}

std::vector<std::optional<std::string>> RecordImage(TClientDataSet& table) {
    std::vector<std::optional<std::string>> image;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields(i);
        image.push_back(field.IsNull() ? std::nullopt : std::optional(field.AsString()));
    }
    return image;
}

void ShowFileError(std::string_view phrase, std::string_view fileName) {
    ShowError(std::string(phrase) + std::string(fileName) + ".");
}

void ShowFileFailure(std::string_view phrase, std::string_view fileName, const std::exception& failure) {
    ShowError(std::string(phrase) + std::string(fileName) + ".\n" + cp1250::ToUtf8(FailureReason(failure)));
}

void ShowError(std::string_view text) {
    UserInterface().MessageBox(cp1250::FromUtf8(text), MessageKind::Error, MessageButtons::Ok);
}

void ShowDetail(std::string_view text) { std::cerr << text << '\n' << std::flush; }
