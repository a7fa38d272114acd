#pragma once
// Comma-separated values as RFC 4180 has them: fields separated by ",", records
// by CR LF; a field holding a comma, a double quote or a line break is enclosed
// in double quotes, and a double quote inside is doubled. Text is UTF-8.
//
// The reader also reads what spreadsheets write: the separator is the one of ","
// ";" and tab that the header line (outside quotes) holds most often; a header
// holding none of them has one column, and every line is then one cell. It takes LF (or a lone CR) as a record end, skips a leading UTF-8
// byte order mark and skips empty lines; everything else that breaks the rules
// is refused with the line on which the record begins. An empty cell is a null,
// the quoted empty text "" an empty text: the writer keeps them apart the same way.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct CsvRecord {
    std::size_t Line = 0;  // 1-based line on which the record begins
    std::vector<std::optional<std::string>> Cells;  // nothing for an empty unquoted cell
};

class CsvSyntaxError : public std::runtime_error {
public:
    CsvSyntaxError(std::size_t line, const std::string& what) : std::runtime_error(what), Line(line) {}
    std::size_t Line;
};

// The records of text, which is UTF-8 (its byte order mark aside).
std::vector<CsvRecord> ReadCsv(std::string_view text);

// One cell as written: a null value gives an empty cell, an empty text the
// quoted empty text "", so that the two stay apart.
std::string CsvCell(const std::optional<std::string>& value);

// Cells joined by "," and ended by CR LF.
std::string CsvLine(const std::vector<std::string>& cells);
