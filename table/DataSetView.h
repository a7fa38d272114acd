#pragma once
// What the table tells the views attached to it (the grid). While the table's
// views are frozen nothing is told; releasing the last freeze sends one
// DataSetChanged.

class TDataSetView {
public:
    virtual ~TDataSetView() = default;
    // Records, their order or the table's state changed: re-read everything.
    virtual void DataSetChanged() = 0;
    // Only the cursor moved to another record.
    virtual void CurrentRecordChanged() = 0;
};
