#pragma once
// The window's sort without a needless read of the file. The window holds the
// catalogue's lock, so the file can change under it only by a program that
// ignores the lock; such a change shows in the file's identity.
#include "table/ClientDataSet.h"

// OpenCatalog with the SortFields of now, except that while the catalogue file
// is still the one this table was last loaded from by OpenCatalog (the same
// identity, fileio/FileIdentity.h) and the table holds no change since, the
// file is not read again: "k" alone is rebuilt over SortFields, which leaves the
// table as a reload would (same records, same order, first record current, no
// pending edit). An order built before on these records is taken up again
// instead of sorted. Reports its own failure, as OpenCatalog does.
bool SortCatalog(TClientDataSet& table);

// Kept by OpenCatalog after a load that read one unchanging file, and forgotten
// whenever the table is loaded or created otherwise.
void RememberLoadedCatalog(const TClientDataSet& table);
void ForgetLoadedCatalog();
