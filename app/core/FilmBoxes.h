#pragma once
// The add and store rules of a film, shared by the edit dialog and kinovka-cli:
// the seven boxes Edit1 to Edit7 for the film fields in the layout's order
// (layout/CatalogLayout.h), the values a fresh add form starts with, and how
// the boxes are stored into a record. Texts are Windows-1250, as typed. A box
// that holds nothing (not given on the command line) leaves its field alone.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "layout/CatalogLayout.h"
#include "table/ClientDataSet.h"

struct FilmBoxes {
    std::array<std::optional<std::string>, kFilmLayout.size()> Box;  // Box[0] is Edit1 (S1) ... Box[6] is Edit7 (S7)

    // The boxes of a fresh add form: the layout's add values (empty texts, "EN", "CZ", one disc).
    static FilmBoxes FreshAdd();

    // Leaving Edit1: an empty Czech title takes the English one.
    void Edit1Exit();
};

// A number box that does not hold an integer by the dialog's strict conversion.
class NotAnInteger : public std::runtime_error {
public:
    NotAnInteger(std::string fieldName, std::string text);
    std::string FieldName;
    std::string Text;  // Windows-1250, as typed
};

// The value of a number box: an empty box counts as 0, anything else is
// converted strictly (StrictInt.h); nothing when it is not an integer.
std::optional<std::int32_t> BoxNumber(std::string_view text);

// Writes the filled boxes into the record being inserted or edited, in field
// order, as the dialog's store does: a number box by BoxNumber (NotAnInteger
// when it is not one), texts assigned whole, and the table cuts them to their
// field's width.
void StoreBoxes(TClientDataSet& table, const FilmBoxes& boxes);
