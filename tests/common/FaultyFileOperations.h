#pragma once
// The system's file operations with one chosen step made to fail, installed for
// the lifetime of the object: the way the tests reach every point at which a
// save can fail. Writes are cut into pieces (small by default) so that a save
// makes many.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <vector>

#include "fileio/FileOperations.h"

struct Fault {
    enum Step { None, Create, Write, WriteNothing, Flush, Close, Rename } At = None;
    int Error = EIO;
    int OnWrite = 1;  // which write fails (Write, WriteNothing), counting from 1

    std::string Describe() const {
        static const char* const names[] = {"none", "create", "write", "write of nothing", "flush", "close", "rename"};
        return std::string(names[At]) + (At == Write || At == WriteNothing ? " " + std::to_string(OnWrite) : "") +
               ", errno " + std::to_string(Error);
    }
};

class FaultyFileOperations : public fileio::SystemFileOperations {
public:
    static constexpr std::size_t kPiece = 256;
    static constexpr std::size_t kWhole = static_cast<std::size_t>(-1);  // writes as the caller asks

    explicit FaultyFileOperations(Fault fault, std::size_t piece = kPiece)
        : fault_(fault), piece_(piece), scope_(*this) {}

    int CreateExclusive(const std::string& path, int& handle) override {
        if (fault_.At == Fault::Create) return fault_.Error;
        return SystemFileOperations::CreateExclusive(path, handle);
    }
    int Write(int handle, const char* data, std::size_t size, std::size_t& written) override {
        ++Writes;
        if (Writes == fault_.OnWrite && fault_.At == Fault::Write) {
            written = 0;
            return fault_.Error;
        }
        if (Writes == fault_.OnWrite && fault_.At == Fault::WriteNothing) {
            written = 0;  // a disk that takes no more: the save must not wait for it forever
            return 0;
        }
        return SystemFileOperations::Write(handle, data, std::min(size, piece_), written);
    }
    int Flush(int handle) override {
        return fault_.At == Fault::Flush ? fault_.Error : SystemFileOperations::Flush(handle);
    }
    int Close(int handle) override {
        const int result = SystemFileOperations::Close(handle);
        return fault_.At == Fault::Close ? fault_.Error : result;
    }
    int Rename(const std::string& from, const std::string& to) override {
        return fault_.At == Fault::Rename ? fault_.Error : SystemFileOperations::Rename(from, to);
    }

    int Writes = 0;

private:
    Fault fault_;
    std::size_t piece_;
    fileio::ScopedFileOperations scope_;
};

// Every fault a save of bytes written in `writes` pieces can meet.
inline std::vector<Fault> EveryFault(int writes) {
    std::vector<Fault> faults{{Fault::Create, EACCES}, {Fault::Create, ENOSPC}, {Fault::Flush, EIO},
                              {Fault::Close, EIO},     {Fault::Rename, EXDEV},  {Fault::Rename, EACCES}};
    for (int write = 1; write <= writes; ++write) {
        faults.push_back({Fault::Write, EIO, write});
        faults.push_back({Fault::Write, ENOSPC, write});  // a full disk
        faults.push_back({Fault::WriteNothing, 0, write});
    }
    return faults;
}
