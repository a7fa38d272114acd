#pragma once
// The seven boxes of the edit dialog, Edit1 to Edit7 for the fields S1 to S7, and
// how the dialog stores them into a record. Texts are Windows-1250, as typed. A
// box that holds nothing (not given on the command line) leaves its field alone.
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "table/ClientDataSet.h"

struct FilmBoxes {
    std::array<std::optional<std::string>, 7> Box;  // Box[0] is Edit1 (S1) ... Box[6] is Edit7 (S7)

    // The boxes of a fresh add form: empty texts, "EN", "CZ", one disc.
    static FilmBoxes FreshAdd();

    // Leaving Edit1: an empty Czech title takes the English one.
    void Edit1Exit();
};

// The field name ("S1" ... "S7") of box i (0-based).
std::string_view BoxFieldName(std::size_t box);

// A number box whose text is not an integer by the dialog's strict conversion.
class NotAnInteger : public std::runtime_error {
public:
    NotAnInteger(std::string fieldName, std::string text);
    std::string FieldName;
    std::string Text;  // Windows-1250, as typed
};

// Writes the filled boxes into the record being inserted or edited, in field
// order, as the dialog's store does: an empty number box counts as "0", a number
// box is converted strictly (NotAnInteger otherwise), texts are assigned whole
// and the table cuts them to their field's width.
void StoreBoxes(TClientDataSet& table, const FilmBoxes& boxes);
