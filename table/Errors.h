#pragma once
// The failures the table raises.
//
// Engine and packet code report 16-bit status codes; the table object turns a
// nonzero code into EDBClient (the code and an empty text). The table object's
// own checks raise EDatabaseError with the English texts below. A file that
// cannot be opened or written raises EFileError with the system's text and its
// error number (errno; 0 where no system call failed).
#include <cstdint>
#include <stdexcept>
#include <string>

#include "fileio/FileIO.h"

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

// Status codes of the engine and the packet reader and writer.
namespace dberr {
inline constexpr std::uint16_t BOF = 0x2201;              // before the first record
inline constexpr std::uint16_t EndOfTable = 0x2202;       // after the last record
inline constexpr std::uint16_t RecordLeftIndex = 0x2204;  // current record has left the active index
inline constexpr std::uint16_t NoMemory = 0x2501;
inline constexpr std::uint16_t KeyViolation = 0x2601;
inline constexpr std::uint16_t KeysExhausted = 0x2603;  // the auto-increment counter passed 2 147 483 647
inline constexpr std::uint16_t RequiredField = 0x2604;
inline constexpr std::uint16_t BufferTooSmall = 0x2702;
inline constexpr std::uint16_t NoSuchIndex = 0x270D;
inline constexpr std::uint16_t InvalidKeyType = 0x2710;
inline constexpr std::uint16_t IndexExists = 0x2719;
inline constexpr std::uint16_t DefaultOrderRedefined = 0x2733;
inline constexpr std::uint16_t NotAllowed = 0x2A04;
inline constexpr std::uint16_t NotAPacket = 0x4005;
inline constexpr std::uint16_t NoTypeName = 0x4010;
inline constexpr std::uint16_t NegativeLength = 0x4011;
}  // namespace dberr

// The table object's own texts.
namespace dbtext {
inline constexpr const char* ClosedDataset = "Cannot perform this operation on a closed dataset";
inline constexpr const char* OpenDataset = "Cannot perform this operation on an open dataset";
inline constexpr const char* NoFieldsDefined = "No fields defined.  Cannot create dataset";
inline constexpr const char* FieldNameTooLong = "Fieldname %s exceeds %d chars";
inline constexpr const char* FieldNotFound = "Field '%s' not found";
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
