// Rescue of damaged catalogues: every complete row read before the damage comes
// back byte for byte, and what is rescued opens as a catalogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "app/core/CatalogRescue.h"
#include "packet/DataPacketReader.h"
#include "tests/common/FilmTable.h"
#include "tests/common/CatalogDocuments.h"

namespace {

using Rows = std::vector<std::vector<std::optional<std::string>>>;

// The rows a packet hands out before it ends or fails, and where each ends. An
// empty text comes as no bytes or as one zero byte; both read here as "".
struct Reading {
    Rows Values;
    std::vector<std::size_t> Ends;
};

std::string_view BytesOf(const TDATAPACKET_READ::ValueView& value) {
    return value.Bytes == std::string_view("\0", 1) ? std::string_view() : value.Bytes;
}

Reading ReadRows(std::string_view packet) {
    Reading reading;
    TDATAPACKET_READ reader;
    if (reader.Start(packet)) return reading;
    std::uint8_t status;
    std::vector<TDATAPACKET_READ::ValueView> values;
    while (reader.NextRow(status, values) == 0) {
        auto& row = reading.Values.emplace_back();
        for (const auto& value : values)
            row.push_back(value.Null ? std::nullopt : std::optional<std::string>(BytesOf(value)));
        reading.Ends.push_back(reader.Offset());
    }
    return reading;
}

// 200 films with every kind of text the file escapes, empty texts and missing numbers.
std::vector<Film> TwoHundredFilms() {
    std::mt19937 random(200);
    const std::vector<std::string> words{"Černý", "kůň", "Amadeus", "&",         "<b>", "\"quote\"",
                                         "it's",  "\\",  "Ťuk",     "žluťoučký", "",    "x"};
    const auto text = [&](std::size_t most) {
        std::string made;
        for (int i = static_cast<int>(random() % 3); i > 0; --i) made += words[random() % words.size()] + " ";
        return made.substr(0, std::min(made.size(), most));
    };
    std::vector<Film> films;
    for (int i = 0; i < 200; ++i) {
        Film film{text(40), text(40), {}, "EN", i % 3 ? "CZ" : "", {}, text(30)};
        if (i % 7) film.S3 = static_cast<int>(random() % 1000) - 100;
        if (i % 5) film.S6 = 1 + i % 3;
        films.push_back(film);
    }
    return films;
}

// The catalogue's file as the program rewrites it once it has read it.
std::string CatalogBytes(const std::vector<Film>& films, TDataPacketFormat format) {
    TClientDataSet made;
    MakeFilmTable(made, films);
    TClientDataSet loaded;
    loaded.LoadFromBytes(made.SaveToBytes(dfXML));
    return loaded.SaveToBytes(format);
}

// A block of exactly these bytes on the heap, so that a read past its end is caught.
std::unique_ptr<char[]> HeapCopy(std::string_view bytes) {
    auto block = std::make_unique<char[]>(bytes.size());
    if (!bytes.empty()) std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

Rows FirstRows(const Rows& rows, std::size_t count) { return Rows(rows.begin(), rows.begin() + count); }

// How many rows a packet holds, and how many of them from the first on equal
// the original's rows: the same number twice when it holds the original's first rows.
std::pair<std::size_t, std::size_t> RowsAndLeadingMatches(std::string_view packet, const Rows& original) {
    std::pair<std::size_t, std::size_t> counts{0, 0};
    TDATAPACKET_READ reader;
    if (reader.Start(packet)) return counts;
    std::uint8_t status;
    std::vector<TDATAPACKET_READ::ValueView> values;
    bool matching = true;
    while (reader.NextRow(status, values) == 0) {
        const std::size_t row = counts.first++;
        matching = matching && row < original.size() && values.size() == original[row].size();
        for (std::size_t i = 0; matching && i < values.size(); ++i) {
            const auto& expected = original[row][i];
            matching = values[i].Null ? !expected : expected && *expected == BytesOf(values[i]);
        }
        if (matching) ++counts.second;
    }
    return counts;
}

TEST(CatalogRescue, EveryCutOffPrefixGivesBackEveryCompleteRowBeforeTheCut) {
    const std::vector<Film> films = TwoHundredFilms();
    const std::string xml = CatalogBytes(films, dfXML);
    for (const TDataPacketFormat format : {dfXML, dfBinary}) {
        SCOPED_TRACE(format == dfXML ? "XML" : "binary");
        const std::string whole = CatalogBytes(films, format);
        const Reading original = ReadRows(whole);
        ASSERT_EQ(original.Values.size(), 200u);
        for (std::size_t length = 0; length <= whole.size() && !HasFailure(); ++length) {
            const auto block = HeapCopy(std::string_view(whole).substr(0, length));
            const RescueResult rescued = RescueCatalog(std::string_view(block.get(), length));
            const std::size_t complete = static_cast<std::size_t>(
                std::upper_bound(original.Ends.begin(), original.Ends.end(), length) - original.Ends.begin());
            EXPECT_EQ(rescued.RowsRead, complete) << length;
            // The XML form ends its rows with "</ROWDATA>"; what follows is not read.
            EXPECT_EQ(rescued.StopCode != 0, length < (format == dfXML ? whole.find("</ROWDATA>") + 10 : whole.size()))
                << length;
            EXPECT_TRUE(rescued.SkippedRows.empty()) << length;
            if (complete) {
                EXPECT_TRUE(rescued.LayoutRead) << length;
                if (rescued.StopCode) {
                    EXPECT_EQ(rescued.CleanBytes, original.Ends[complete - 1]) << length;
                }
            }
            if (rescued.LayoutRead) {
                EXPECT_EQ(RowsAndLeadingMatches(rescued.Packet, original.Values), std::make_pair(complete, complete))
                    << length;
            }
        }
        // Read whole, either form gives back the catalogue's file byte for byte.
        TClientDataSet table;
        table.LoadFromBytes(RescueCatalog(whole).Packet);
        EXPECT_EQ(table.SaveToBytes(dfXML), xml);
        // A binary packet with more bytes than its header counts rows for was not read whole.
        const RescueResult longer = RescueCatalog(whole + '\0');
        EXPECT_EQ(longer.RowsRead, 200u);
        EXPECT_EQ(longer.StopCode != 0, format == dfBinary);
    }
}

// Random damage inside the rows, sometimes with the file cut off after it: the
// rows before the damaged one come back unchanged, and what comes back opens as
// a catalogue that takes new films.
TEST(CatalogRescue, DamageInARowLosesNoRowBeforeIt) {
    const std::vector<Film> films = TwoHundredFilms();
    const char interesting[] = {'<', '>',  '/',    '"',    '=',    ' ', '&', '#',
                                ';', '\0', '\x7F', '\xFF', '\xC3', 'x', '9', 'K'};
    std::mt19937 random(14);
    for (const TDataPacketFormat format : {dfXML, dfBinary}) {
        SCOPED_TRACE(format == dfXML ? "XML" : "binary");
        const std::string whole = CatalogBytes(films, format);
        const Reading original = ReadRows(whole);
        for (int round = 0; round < 300 && !HasFailure(); ++round) {
            const std::size_t row = 1 + random() % 199;  // the damaged row, from 0
            const std::size_t start = original.Ends[row - 1];
            std::string damaged = whole;
            const std::size_t at = start + random() % (original.Ends[row] - start);
            damaged[at] = interesting[random() % sizeof interesting];
            if (random() % 4 == 0) damaged.resize(at + 1 + random() % (damaged.size() - at));
            const auto block = HeapCopy(damaged);
            const RescueResult rescued = RescueCatalog(std::string_view(block.get(), damaged.size()));
            ASSERT_TRUE(rescued.LayoutRead);
            EXPECT_GE(rescued.RowsRead, row);
            EXPECT_GE(rescued.CleanBytes, start);
            const Rows back = ReadRows(rescued.Packet).Values;
            ASSERT_GE(back.size(), row) << at;
            EXPECT_EQ(FirstRows(back, row), FirstRows(original.Values, row)) << at;

            TClientDataSet table;
            table.LoadFromBytes(rescued.Packet);
            EXPECT_EQ(table.CountRecords(), static_cast<int>(rescued.RowsTaken()));
            table.SetTrackChanges(false);
            table.BuildIndex("x", "K", ixPrimary | ixUnique);
            table.SetIndexName("x");
            AddFilm(table, films[0]);
        }
    }
}

TEST(CatalogRescue, RowsWithoutAUsableKeyAreLeftOutAndTheCounterStandsAboveTheRest) {
    using namespace catalog_documents;
    const std::string fields = kKFieldReloaded + kFilmFields;
    const std::string rows =
        "<ROW K=\"5\" S1=\"a\"/><ROW S1=\"no key\"/><ROW K=\"5\" S1=\"again\"/><ROW K=\"x\"/>"
        "<ROW K=\"9\" S1=\"b\"/>";
    const auto rescue = [&](const std::string& params) {
        const std::string file = kHeader + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + fields + "</FIELDS>" +
                                 params + "</METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
        const RescueResult rescued = RescueCatalog(file);
        EXPECT_EQ(rescued.StopCode, 0);
        EXPECT_EQ(rescued.RowsRead, 5u);
        EXPECT_EQ(rescued.SkippedRows, (std::vector<std::uint32_t>{2, 3, 4}));
        TClientDataSet table;
        table.LoadFromBytes(rescued.Packet);
        EXPECT_EQ(table.CountRecords(), 2);
        table.SetTrackChanges(false);
        AddFilm(table, {});
        return table.FieldNamed("K").AsInteger();
    };
    // A counter below the keys, and one lost with the parameters, both give 10.
    EXPECT_EQ(rescue("<PARAMS AUTOINCVALUE=\"3\"/>"), 10);
    EXPECT_EQ(rescue("<PARAMS/>"), 10);
    EXPECT_EQ(rescue("<PARAMS AUTOINCVALUE=\"40\"/>"), 40);
}

TEST(CatalogRescue, WithoutTheFieldLayoutNothingIsRescued) {
    const std::string whole = catalog_documents::TwoRecordCatalog(true);
    for (const std::string& broken :
         {std::string(), whole.substr(0, whole.find("<FIELD attrname=\"S7\"")), "x" + whole.substr(1)}) {
        const RescueResult rescued = RescueCatalog(broken);
        EXPECT_FALSE(rescued.LayoutRead);
        EXPECT_NE(rescued.StopCode, 0);
        EXPECT_TRUE(rescued.Packet.empty());
    }
}

}  // namespace
