#pragma once
// TClientDataSet: the in-memory table the whole program works on.
//
// It owns one record store (the base) with its indexes and one cursor over the
// active index, and adds the edit states, field objects, bookmarks and the
// notification of attached views. Text is Windows-1250 bytes throughout; widths
// count bytes. Failures are raised as EDBClient (engine status code, empty text),
// EDatabaseError (the table's own English texts) or EFileError (see Errors.h).
//
// Everything here runs in one thread; each operation still takes the base's
// re-entrant lock.
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/Bookmark.h"
#include "table/DataSetView.h"
#include "table/Definitions.h"
#include "table/Errors.h"
#include "table/IndexOrder.h"

class TClientDataSet;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// How a packet is written: 0 binary, 1 XML, 2 XML in UTF-8.
enum TDataPacketFormat { dfBinary = 0, dfXML = 1, dfXMLUTF8 = 2 };

// A field of the table, bound to the current record (or to the record being
// edited or inserted). Obtained from FieldNamed or Fields; valid while the table's
// field layout stays (until the next CreateEmpty, load or close).
class TField {
public:
    const std::string& FieldName() const;
    TFieldType DataType() const;
    int Size() const;
    int FieldNo() const { return fieldNo_; }  // 1-based

    bool IsNull() const;
    // A string field's text, an integer field's decimal form; "" for a null.
    std::string AsString() const;
    // The same without a copy, for walks over many records: the view stays
    // valid until the table moves, changes or closes, or this field is read again.
    std::string_view AsStringView() const;
    // An integer field's value, 0 for a null; a string field's text converted
    // strictly (EDatabaseError when it is not an integer).
    std::int32_t AsInteger() const;

    // Assigning needs the edit or insert state ("Dataset not in edit or insert mode").
    // A string field keeps at most its first Size bytes.
    void SetAsString(std::string_view value);
    void SetAsInteger(std::int32_t value);
    void Clear();  // make the value null

private:
    friend class TClientDataSet;
    TField(TClientDataSet& owner, int fieldNo) : owner_(&owner), fieldNo_(fieldNo) {}
    TClientDataSet* owner_;
    int fieldNo_;
    mutable std::string number_;  // an integer's decimal form handed out as a view
};

class TClientDataSet {
public:
    TClientDataSet();
    // Closes the table; a save through FileName that fails here is dropped.
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    // --- definitions and life cycle
    TFieldDefs& FieldDefs();
    TIndexDefs& IndexDefs();
    void CreateEmpty();
    bool Active() const;
    // Discards the base. With FileName set and a change count above 0 the table
    // first saves itself there (binary unless the name ends in ".xml"); when that
    // save fails the error is raised and the table stays open with its records.
    // A pending edit or insert is dropped.
    void Close();
    TDataSetState State() const;

    bool TrackChanges() const;
    void SetTrackChanges(bool track);  // only false is implemented; needs an open table

    const std::string& FileName() const;
    void SetFileName(std::string fileName);

    // Locale of the string comparisons; 0 is the user's default locale.
    std::uint32_t Locale() const;
    // Records entered, changed and deleted in this base since it was created or loaded.
    std::uint32_t ChangeCount() const;

    // --- loading and saving (the whole table as one data packet)
    // A load closes the table first (see Close), then opens it on the default
    // order with the first record current; IndexName reads "" and IndexDefs is
    // re-read from the loaded table. After a failed load the table is closed.
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(std::istream& stream);
    void LoadFromBytes(std::string_view packet);
    // The loads that follow read the values of these fields only (empty: of
    // all), and so take less time and memory. The table they open can be read
    // but never changed or saved; reading a field left out, or ordering by it,
    // raises "Field '...' was not loaded" or refuses the index. A load refuses
    // exactly what a load of every field refuses.
    void LoadOnly(std::vector<std::string> fieldNames);
    // The open base of another table, taken over without a copy: its records,
    // field layout, locale, change count and indexes. This table is closed
    // first and then opened as after a load; the source is left closed, its
    // pending edit or insert dropped and nothing saved through its FileName.
    // A closed source raises "Cannot perform this operation on a closed
    // dataset" and leaves this table as it was; a table handed itself stays as
    // it is.
    void TakeOverBase(TClientDataSet& source);
    // dfBinary with a file name ending in ".xml" (any case) writes XML. The file is
    // replaced only once the new content is complete on disk.
    void SaveToFile(const std::string& fileName, TDataPacketFormat format = dfBinary);
    void SaveToStream(std::ostream& stream, TDataPacketFormat format = dfBinary);
    std::string SaveToBytes(TDataPacketFormat format);

    // --- indexes
    void BuildIndex(const std::string& name, const std::string& fields, TIndexOptions options,
                    const std::string& descFields = "", const std::string& caseInsFields = "");
    // Removes an index of the open table ("Index '%s' not found" for an unknown
    // name or the default order); when it was the active one the table goes over
    // to the default order, keeping the current record.
    void DeleteIndex(const std::string& name);
    std::string IndexName() const;
    void SetIndexName(const std::string& name);
    // The order of a built index as the values of an integer field that names
    // each record; empty when there is no such index built or no such field.
    TIndexOrder OrderOf(const std::string& indexName, const std::string& keyField) const;
    // Offers that order, read from another table, to this table's index of the
    // same name and definition that is not built yet: its build then takes the
    // order where it can prove it right instead of sorting (table/OfferedOrder.h).
    // Otherwise the offer is dropped.
    void OfferOrder(TIndexOrder order);

    // --- fields
    int FieldCount() const;
    TField& Fields(int index);  // 0-based, in definition order
    TField& FieldNamed(std::string_view name);  // "Field '%s' not found"

    // --- records
    void Insert();
    void Edit();  // on a table without records: Insert
    void Post();
    void Cancel();
    void Delete();

    // --- cursor
    void First();
    void Next();
    void Prior();
    void Last();
    bool AtEnd() const;
    bool AtStart() const;
    int CountRecords() const;

    // --- bookmarks
    TBookmark TakeBookmark();
    void ReturnToBookmark(const TBookmark& bookmark);  // "Record not found"
    void ReleaseBookmark(TBookmark& bookmark);

    // --- views
    void AttachView(TDataSetView& view);
    void DetachView(TDataSetView& view);
    void FreezeViews();
    void ReleaseViews();  // at 0 it does nothing
    bool ViewsFrozen() const;

    struct Impl;

    // --- walks
    // While a TWalkHold lives the base's lock stays taken, so that a run of moves
    // and reads in this thread pays for the lock once instead of at every step.
    // Closing or reloading the table ends the hold early; without an open table
    // it holds nothing.
    class TWalkHold {
    public:
        ~TWalkHold();
        TWalkHold(const TWalkHold&) = delete;
        TWalkHold& operator=(const TWalkHold&) = delete;

    private:
        friend class TClientDataSet;
        explicit TWalkHold(Impl& impl);
        Impl& impl_;
        std::uint64_t generation_;
        bool holding_;
    };
    [[nodiscard]] TWalkHold HoldForWalk() const;

    // What a view reads without moving the cursor: rows are 0-based positions in
    // the active index, fields 1-based. The current row is -1 without a current record.
    int CurrentRow() const;
    std::string RowValue(int row, int fieldNo) const;  // AsString of that record's field
    bool RowValueIsNull(int row, int fieldNo) const;
    // Makes the record at that row current (a click in the grid).
    void GoToRow(int row);

    // The values of one stored record as FirstRowWhere's test sees them.
    class TRowValues {
    public:
        // The field's value as AsString reads it ("" for a null or a field
        // number out of range); an integer's text lasts until the next call.
        std::string_view Value(int fieldNo) const;
        // An integer field's value (0 for a null); nothing for a text field or
        // a field number out of range.
        std::optional<std::int32_t> Integer(int fieldNo) const;
        // The field's value as TField::AsInteger reads it (0 for a field
        // number out of range).
        std::int32_t AsInteger(int fieldNo) const;
        // Whether Value reads the same for this field as for another record's
        // field, of this table or another; integers are not written out.
        bool SameValue(int fieldNo, const TRowValues& other, int otherFieldNo) const;
        // The stored record, for RecordValues.
        std::uint32_t Record() const { return recordNumber_; }

    private:
        friend class TClientDataSet;
        explicit TRowValues(const Impl& impl) : impl_(impl) {}
        const Impl& impl_;
        std::uint32_t recordNumber_ = 0;
        mutable std::array<char, 16> digits_{};
    };
    // The first row from fromRow on whose record passes the test, or -1: the row
    // a walk with the cursor in the active index's order would stop on, found
    // without moving the cursor. The rows just ahead are tried in that order;
    // the rest are read in the order the records are stored rather than
    // scattered as in the walk, which on a big table is far quicker.
    int FirstRowWhere(int fromRow, const std::function<bool(const TRowValues&)>& test) const;
    // The values of a record that a TRowValues of this table named by Record(),
    // while the table is neither changed nor reloaded; to be read while a
    // TWalkHold lives, in this thread or in one waiting for the reading to end.
    // A record that is not there: EDatabaseError "Record not found".
    TRowValues RecordValues(std::uint32_t record) const;

private:
    friend class TField;
    std::unique_ptr<Impl> impl_;
};
