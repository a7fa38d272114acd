#pragma once
// Field and index definitions: what a table is created from.
#include <string>
#include <vector>

enum TFieldType { ftUnknown, ftString, ftInteger, ftAutoInc };

struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;           // bytes of text for ftString; 0 otherwise
    bool Required = false;  // a required field must hold a value at Post
};

class TFieldDefs {
public:
    void Clear() { items_.clear(); }
    void Add(std::string name, TFieldType type, int size = 0, bool required = false) {
        items_.push_back({std::move(name), type, size, required});
    }
    int Count() const { return static_cast<int>(items_.size()); }
    const TFieldDef& operator[](int index) const { return items_.at(index); }

private:
    std::vector<TFieldDef> items_;
};

enum TIndexOption : unsigned { ixPrimary = 1, ixUnique = 2, ixDescending = 4, ixCaseInsensitive = 8 };
using TIndexOptions = unsigned;  // a set of TIndexOption bits

struct TIndexDef {
    std::string Name;
    std::string Fields;  // field names separated by ";"
    TIndexOptions Options = 0;
    std::string DescFields;
    std::string CaseInsFields;
};

class TIndexDefs {
public:
    void Clear() { items_.clear(); }
    void Add(std::string name, std::string fields, TIndexOptions options = 0) {
        items_.push_back({std::move(name), std::move(fields), options, {}, {}});
    }
    TIndexDef& AddIndexDef() { return items_.emplace_back(); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TIndexDef& operator[](int index) const { return items_.at(index); }

private:
    std::vector<TIndexDef> items_;
};
