#include "app/core/Loans.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/core/Global.h"
#include "app/core/FailurePhrases.h"
#include "app/core/FailureReason.h"
#include "app/core/VersionedSave.h"
#include "text/Cp1250.h"

namespace {

constexpr std::string_view kLoansSuffix = ".loans.xml";

// The catalogue name's ".xml", whatever its case, gives way to ".loans.xml".
std::string WithLoansSuffix(const std::string& name) {
    std::string stem = name;
    if (stem.size() > 4) {
        std::string tail = stem.substr(stem.size() - 4);
        for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (tail == ".xml") stem.resize(stem.size() - 4);
    }
    return stem + std::string(kLoansSuffix);
}

std::optional<TFieldType> TypeOf(TClientDataSet& table, std::string_view name) {
    for (int i = 0; i < table.FieldCount(); ++i)
        if (table.Fields(i).FieldName() == name) return table.Fields(i).DataType();
    return std::nullopt;
}

// The width each field of kLoansFields is defined with (0 for the number).
constexpr std::array<std::size_t, kLoansFields.size()> kLoansWidths{0, kLoanWhoWidth, kLoanSinceWidth, kLoanNoteWidth};

TField& LoansField(TClientDataSet& table, std::size_t field) { return table.FieldNamed(kLoansFields[field].Name); }

}  // namespace

std::string LentText(const Loan& loan) { return loan.Who + ", od " + CzechDay(loan.Since); }

std::string LoansPathFor(const std::string& catalogPath) { return WithLoansSuffix(catalogPath); }

LoansRead ReadLoansFile(const std::string& path) {
    LoansRead read;
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) return read;
    try {
        TClientDataSet table;
        table.LoadFromFile(path);
        if (!HasLoansLayout(table)) {
            read.Damaged = true;
            return read;
        }
        TField& cd = LoansField(table, kLoanCd);
        TField& who = LoansField(table, kLoanWho);
        TField& since = LoansField(table, kLoanSince);
        TField& note = LoansField(table, kLoanNote);
        for (table.First(); !table.AtEnd(); table.Next()) {
            const auto day = ParseIsoDay(since.AsStringView());
            if (cd.IsNull() || who.AsStringView().empty() || !day || read.Loans.contains(cd.AsInteger())) {
                read.Damaged = true;
                continue;
            }
            read.Loans[cd.AsInteger()] = Loan{cd.AsInteger(), who.AsString(), *day, note.AsString()};
        }
    } catch (const std::exception&) {
        read.Damaged = true;
    }
    return read;
}

bool HasLoansLayout(TClientDataSet& table) {
    return std::ranges::all_of(kLoansFields, [&](const RescuedField& field) {
        return TypeOf(table, field.Name) == (field.Number ? ftInteger : ftString);
    });
}

void WriteLoansOf(const std::string& catalogPath, const LoanBook& loans) {
    const std::string path = LoansPathFor(catalogPath);
    TClientDataSet table;
    TFieldDefs& fields = table.FieldDefs();
    for (std::size_t f = 0; f < kLoansFields.size(); ++f) {
        const RescuedField& field = kLoansFields[f];
        fields.Add(std::string(field.Name), field.Number ? ftInteger : ftString, static_cast<int>(kLoansWidths[f]));
    }
    table.CreateEmpty();
    table.SetTrackChanges(false);
    // No file means no loans; that state is written first, so that it is kept
    // as a version and the first loan can be taken back like every later one.
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) table.SaveToFile(path, dfXML);
    for (const auto& [cd, loan] : loans) {
        table.Insert();
        LoansField(table, kLoanCd).SetAsInteger(cd);
        LoansField(table, kLoanWho).SetAsString(loan.Who);
        LoansField(table, kLoanSince).SetAsString(IsoDay(loan.Since));
        LoansField(table, kLoanNote).SetAsString(loan.Note);
        table.Post();
    }
    SaveWithVersion(path, cp1250::FromUtf8(std::filesystem::path(path).filename().string()),
                    [&] { table.SaveToFile(path, dfXML); }, fileio::VersionBounds{}, {catalogPath});
}

std::string LoanRefusal(const Loan& loan, CalendarDay today) {
    if (loan.Who.find_first_not_of(' ') == std::string::npos) return "Chybí, komu se CD půjčuje.";
    if (loan.Who.size() > kLoanWhoWidth) return "Jméno je delší než " + std::to_string(kLoanWhoWidth) + " znaků.";
    if (loan.Note.size() > kLoanNoteWidth) return "Poznámka je delší než " + std::to_string(kLoanNoteWidth) + " znaků.";
    if (DaysBetween(today, loan.Since) > 0) return "Datum výpůjčky je v budoucnosti: " + CzechDay(loan.Since) + ".";
    return "";
}

std::string LoansPath() { return LoansPathFor(CatalogPath()); }

std::string LoansFileNameText() { return WithLoansSuffix(DataFileNameText()); }

LoansRead ReadLoans() { return ReadLoansFile(LoansPath()); }

bool SaveLoans(const LoanBook& loans) {
    try {
        WriteLoansOf(CatalogPath(), loans);
        return true;
    } catch (const std::exception& failure) {
        ShowLoansSaveFailed(failure);
        return false;
    }
}

void ShowLoansSaveFailed(const std::exception& failure) {
    UserInterface().Tell(cp1250::FromUtf8(kSaveFailedPhrase) + LoansFileNameText() + ".\n" +
                         FailureReason(failure));
}

std::string LoansDamagedText() {
    return cp1250::FromUtf8("Soubor výpůjček nelze přečíst: ") + LoansFileNameText() + ".";
}

std::string CzechLoansChangeText(const LoanBook& older, const LoanBook& newer) {
    std::string text;
    const auto tell = [&](const char* what, std::int32_t cd) {
        text += (text.empty() ? "" : ", ") + cp1250::FromUtf8(what) + " CD " + std::to_string(cd);
    };
    for (const auto& [cd, loan] : newer) {
        const auto before = older.find(cd);
        if (before == older.end()) {
            tell("půjčeno", cd);
        } else if (before->second.Who != loan.Who || before->second.Since != loan.Since ||
                   before->second.Note != loan.Note) {
            tell("změněna výpůjčka", cd);
        }
    }
    for (const auto& [cd, loan] : older)
        if (!newer.contains(cd)) tell("vráceno", cd);
    return text.empty() ? cp1250::FromUtf8("beze změny výpůjček") : text;
}
