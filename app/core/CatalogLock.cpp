#include "app/core/CatalogLock.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "app/core/Global.h"
#include "text/Cp1250.h"

namespace {

int OpenSidecar(const std::string& path) {
    int handle;
    do handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    while (handle < 0 && errno == EINTR);
    // A sidecar left by another user may be ours to lock but not to write.
    if (handle < 0 && errno == EACCES) handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return handle;
}

// True when the open file is still the one at path: a holder that let go
// removes the sidecar, and a lock on a removed file would guard nothing.
bool StillAtPath(int handle, const std::string& path) {
    struct stat opened {}, named {};
    return ::fstat(handle, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

}  // namespace

CatalogLock::CatalogLock(const std::string& catalogPath) : lockPath_(LockPathFor(catalogPath)) { Acquire(); }

CatalogLock::~CatalogLock() { Release(); }

CatalogLock::CatalogLock(CatalogLock&& other) noexcept
    : lockPath_(std::move(other.lockPath_)),
      handle_(std::exchange(other.handle_, -1)),
      state_(std::exchange(other.state_, State::None)) {}

CatalogLock& CatalogLock::operator=(CatalogLock&& other) noexcept {
    if (this != &other) {
        Release();
        lockPath_ = std::move(other.lockPath_);
        handle_ = std::exchange(other.handle_, -1);
        state_ = std::exchange(other.state_, State::None);
    }
    return *this;
}

std::string CatalogLock::LockPathFor(const std::string& catalogPath) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(catalogPath, error);
    return (error ? catalogPath : resolved.string()) + ".lock";
}

void CatalogLock::Acquire() {
    // A few rounds at most: each repeat means a holder let go in between.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int handle = OpenSidecar(lockPath_);
        if (handle < 0) {
            state_ = State::Unavailable;
            return;
        }
        int result;
        do result = ::flock(handle, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
        if (result != 0) {
            const bool busy = errno == EWOULDBLOCK;
            ::close(handle);
            state_ = busy ? State::HeldElsewhere : State::Unavailable;
            return;
        }
        if (StillAtPath(handle, lockPath_)) {
            handle_ = handle;
            state_ = State::Held;
            return;
        }
        ::close(handle);
    }
    state_ = State::HeldElsewhere;
}

CatalogLock::State CatalogLock::Retry() {
    if (state_ != State::Held && !lockPath_.empty()) Acquire();
    return state_;
}

void CatalogLock::Release() {
    if (handle_ >= 0) {
        // Removed while still locked, so that nobody takes a lock on a file
        // that is about to disappear.
        ::unlink(lockPath_.c_str());
        ::close(handle_);
        handle_ = -1;
    }
    state_ = State::None;
}

void ShowCatalogInUse() {
    UserInterface().MessageBox(cp1250::FromUtf8(kCatalogInUsePhrase) + DataFileNameText() + ".",
                               MessageKind::Error, MessageButtons::Ok);
}
