#pragma once
// The failures the table raises.
//
// Engine and packet code report 16-bit status codes (pkt::Status); the table
// object turns a nonzero code into EDBClient (the code and an empty text). The
// table object's own checks raise EDatabaseError with the English texts below. A file that
// cannot be opened or written raises EFileError with the system's text and its
// error number (errno; 0 where no system call failed).
#include <cstdint>
#include <stdexcept>
#include <string>

#include "fileio/FileIO.h"
#include "packet/PacketStatus.h"

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EDBClient : public EDatabaseError {
public:
    explicit EDBClient(std::uint16_t code) : EDatabaseError(""), ErrorCode(code) {}
    std::uint16_t ErrorCode;
};

class EFileError : public fileio::FileError {
public:
    explicit EFileError(const std::string& text, int errorNumber = 0) : fileio::FileError(errorNumber, text) {}
};

// The engine's status codes are the packet layer's table (packet/PacketStatus.h),
// named here as the engine's.
namespace dberr = pkt;

// The table object's own texts.
namespace dbtext {
inline constexpr const char* ClosedDataset = "Cannot perform this operation on a closed dataset";
inline constexpr const char* OpenDataset = "Cannot perform this operation on an open dataset";
inline constexpr const char* NoFieldsDefined = "No fields defined.  Cannot create dataset";
inline constexpr const char* FieldNameTooLong = "Fieldname %s exceeds %d chars";
inline constexpr const char* FieldNotFound = "Field '%s' not found";
inline constexpr const char* FieldNotLoaded = "Field '%s' was not loaded";
inline constexpr const char* NotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* EmptyDataset = "Cannot perform this operation on an empty dataset";
inline constexpr const char* RecordNotFound = "Record not found";
inline constexpr const char* IndexNotFound = "Index '%s' not found";
inline constexpr const char* IndexFieldNotKey = "Cannot access index field '%s'";
inline constexpr const char* MissingPacket = "Missing data provider or data packet";
inline constexpr const char* InvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* UnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* IndexOutOfBounds = "List index out of bounds (%d)";
}  // namespace dbtext
