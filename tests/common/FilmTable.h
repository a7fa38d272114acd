#pragma once
// Small catalogues built in code for the tests of the catalogue core and the
// dialogs: the catalogue record, indexed like an open catalogue ("k" over the sort
// field list, active, and "x" over K). Film texts are written in UTF-8 here and
// stored as Windows-1250.
#include <optional>
#include <string>
#include <vector>

#include "table/ClientDataSet.h"
#include "tests/common/CatalogLayout.h"
#include "text/Cp1250.h"

struct Film {
    std::string S1, S2;
    std::optional<int> S3;
    std::string S4, S5;
    std::optional<int> S6;
    std::string S7;
};

inline void DefineFilmFields(TClientDataSet& table) {
    TFieldDefs& fields = table.FieldDefs();
    fields.Clear();
    fields.Add("K", ftAutoInc);
    for (const catalog_layout::FilmField& field : catalog_layout::kFilmFields)
        field.IsText() ? fields.Add(field.Name, ftString, field.Width) : fields.Add(field.Name, ftInteger);
}

inline void AddFilm(TClientDataSet& table, const Film& film) {
    table.Insert();
    table.FieldNamed("S1").SetAsString(cp1250::FromUtf8(film.S1));
    table.FieldNamed("S2").SetAsString(cp1250::FromUtf8(film.S2));
    if (film.S3) table.FieldNamed("S3").SetAsInteger(*film.S3);
    table.FieldNamed("S4").SetAsString(cp1250::FromUtf8(film.S4));
    table.FieldNamed("S5").SetAsString(cp1250::FromUtf8(film.S5));
    if (film.S6) table.FieldNamed("S6").SetAsInteger(*film.S6);
    table.FieldNamed("S7").SetAsString(cp1250::FromUtf8(film.S7));
    table.Post();
}

// An open table holding the films (in that record order), sorted by sortFields,
// on its first record.
inline void MakeFilmTable(TClientDataSet& table, const std::vector<Film>& films,
                          const std::string& sortFields = "S1;S2;S3") {
    DefineFilmFields(table);
    table.IndexDefs().Clear();
    table.CreateEmpty();
    table.SetTrackChanges(false);
    table.BuildIndex("k", sortFields, 0);
    table.BuildIndex("x", "K", ixPrimary | ixUnique);
    table.SetIndexName("k");
    // Inserted with "k" active, as the program does, so the document order (and
    // the file) keeps the films in insertion order.
    for (const Film& film : films) AddFilm(table, film);
    table.First();
}

// The UTF-8 form of a field of the current record.
inline std::string FieldUtf8(TClientDataSet& table, const char* name) {
    return cp1250::ToUtf8(table.FieldNamed(name).AsString());
}
