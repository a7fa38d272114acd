#pragma once
// StoreParameters: what a packet's parameters set on a record store and what is
// written back with it: the changes the table refuses, the auto-increment field
// and counter, change tracking, how the default order got its keys, and the
// table's parameters as read.
#include <cstdint>
#include <vector>

#include "table/FieldLayout.h"

class StoreParameters {
public:
    // --- changes the table refuses (code 0x2A04), as a packet's parameters ask
    // ("READONLY" refuses all three)
    enum ChangeKind : unsigned { kInserts = 1, kEdits = 2, kDeletes = 4 };
    void RefuseChanges(unsigned kinds) { refusedChanges_ |= kinds; }
    bool Refuses(ChangeKind kind) const { return (refusedChanges_ & kind) != 0; }

    // --- auto-increment, change tracking
    int AutoIncField() const { return autoIncField_; }  // 0: none
    void SetAutoIncField(int fieldNo) { autoIncField_ = fieldNo; }
    // The key the next insert gets. A key is never 0 or negative, and never
    // wraps: once the counter has passed the largest 32-bit value, every insert
    // is refused (0x2603).
    std::int64_t AutoIncValue() const { return autoIncValue_; }
    bool TrackChanges() const { return trackChanges_; }
    void SetTrackChanges(bool track) { trackChanges_ = track; }

    // How the default order got its keys: by creating an index named for it (as
    // opposed to a packet parameter), and whether it is marked unique (1) or
    // primary (2).
    bool DefaultOrderKeysFromDefinition() const { return defaultOrderKeysFromDefinition_; }
    int DefaultOrderKeyKind() const { return defaultOrderKeyKind_; }
    void SetDefaultOrderKeyKind(int kind) { defaultOrderKeyKind_ = kind; }

    // --- parameters read from a packet and written back
    std::vector<StoredParam>& TableParams() { return tableParams_; }
    const std::vector<StoredParam>& TableParams() const { return tableParams_; }

protected:
    int autoIncField_ = 0;
    std::int64_t autoIncValue_ = 1;
    bool trackChanges_ = true;
    unsigned refusedChanges_ = 0;  // ChangeKind bits
    bool defaultOrderKeysFromDefinition_ = false;
    int defaultOrderKeyKind_ = 0;
    std::vector<StoredParam> tableParams_;
};
