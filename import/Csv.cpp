#include "import/Csv.h"

#include <iterator>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The separator of the header line: the candidate found most often outside
// quotes, on a tie the earlier candidate; none (the NUL byte, which no text
// holds) for a one-column header, so that "Hello, world" under it stays whole.
char HeaderSeparator(std::string_view text) {
    constexpr char candidates[] = {',', ';', '\t'};
    std::size_t counts[std::size(candidates)] = {};
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        for (std::size_t i = 0; i < std::size(candidates); ++i) counts[i] += c == candidates[i];
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < std::size(candidates); ++i) {
        if (counts[i] > counts[best]) best = i;
    }
    return counts[best] > 0 ? candidates[best] : '\0';
}

class CsvScanner {
public:
    explicit CsvScanner(std::string_view text)
        : text_(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size()) : text),
          separator_(HeaderSeparator(text_)) {}

    std::vector<CsvRecord> Records() {
        std::vector<CsvRecord> records;
        while (pos_ < text_.size()) {
            CsvRecord record{line_, {}};
            bool atRecordEnd = false;
            while (!atRecordEnd) {
                record.Cells.push_back(Cell(record.Line));
                atRecordEnd = AtEnd() || !Consume(separator_);
            }
            if (!AtEnd()) ConsumeLineBreak();
            const bool emptyLine = record.Cells.size() == 1 && !record.Cells[0];
            if (!emptyLine) records.push_back(std::move(record));
        }
        return records;
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool Consume(char c) {
        if (AtEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    bool AtLineBreak() const { return !AtEnd() && (text_[pos_] == '\r' || text_[pos_] == '\n'); }
    bool AtCellEnd() const { return AtEnd() || text_[pos_] == separator_ || AtLineBreak(); }

    // Takes CR LF, LF or CR, counting the line.
    void ConsumeLineBreak() {
        if (Consume('\r')) {
            Consume('\n');
        } else {
            Consume('\n');
        }
        ++line_;
    }

    std::optional<std::string> Cell(std::size_t recordLine) {
        if (Consume('"')) return QuotedCell(recordLine);
        std::string cell = PlainCell(recordLine);
        if (cell.empty()) return std::nullopt;
        return cell;
    }

    std::string PlainCell(std::size_t recordLine) {
        const std::size_t start = pos_;
        while (!AtCellEnd()) {
            if (text_[pos_] == '"') {
                throw CsvSyntaxError(recordLine, "uvozovka uvnitř buňky, která v uvozovkách není");
            }
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string QuotedCell(std::size_t recordLine) {
        std::string cell;
        while (true) {
            if (AtEnd()) throw CsvSyntaxError(recordLine, "neukončené uvozovky");
            if (Consume('"')) {
                if (!Consume('"')) break;
                cell += '"';
            } else if (AtLineBreak()) {
                // A line break inside quotes belongs to the cell; CR LF stays CR LF.
                const std::size_t start = pos_;
                ConsumeLineBreak();
                cell += text_.substr(start, pos_ - start);
            } else {
                cell += text_[pos_++];
            }
        }
        if (!AtCellEnd()) {
            throw CsvSyntaxError(recordLine, "za uzavírací uvozovkou smí být jen oddělovač nebo konec řádku");
        }
        return cell;
    }

    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
};

bool NeedsQuotes(std::string_view text) { return text.find_first_of(",\"\r\n") != std::string_view::npos; }

}  // namespace

std::vector<CsvRecord> ReadCsv(std::string_view text) { return CsvScanner(text).Records(); }

std::string CsvCell(const std::optional<std::string>& value) {
    if (!value) return {};
    if (!value->empty() && !NeedsQuotes(*value)) return *value;
    std::string cell = "\"";
    for (char c : *value) {
        if (c == '"') cell += '"';
        cell += c;
    }
    return cell + '"';
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        line += cells[i];
    }
    return line + "\r\n";
}
