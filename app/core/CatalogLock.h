#pragma once
// CatalogLock: the sign that one program is changing a catalogue.
//
// Every save replaces the catalogue file by rename, so the lock cannot sit on
// the file itself: it is an advisory lock (flock) on a sidecar file, the
// catalogue's name followed by ".lock", in the same directory. The lock belongs
// to one open of that file, so two locks conflict even inside one process, and
// the system lets go of it when its holder ends, however it ends. Reading a
// catalogue never needs the lock; changing it does, and a program that cannot
// get it leaves the file alone.
//
// Invariant: the state is Held only while this object holds the lock on the
// sidecar file that is at the lock path at that moment (a sidecar removed by an
// earlier holder in between is detected and the lock taken again).
#include <string>
#include <string_view>

class CatalogLock {
public:
    enum class State {
        None,           // no lock asked for (or given up)
        Held,           // this object holds it
        HeldElsewhere,  // another program (or another lock object) holds it
        Unavailable,    // no sidecar can be made there (a read-only directory, say);
                        // nobody else can lock the catalogue either
    };

    CatalogLock() = default;
    // Tries to take the lock of the catalogue at that path; never waits.
    explicit CatalogLock(const std::string& catalogPath);
    ~CatalogLock();
    CatalogLock(CatalogLock&& other) noexcept;
    CatalogLock& operator=(CatalogLock&& other) noexcept;
    CatalogLock(const CatalogLock&) = delete;
    CatalogLock& operator=(const CatalogLock&) = delete;

    State GetState() const { return state_; }
    // True unless another holder stands in the way of a change.
    bool MayChange() const { return state_ != State::HeldElsewhere; }
    // Tries once more when not held (the other program may have ended); the new state.
    State Retry();
    // Lets go of the lock and removes the sidecar file.
    void Release();

    // The sidecar file of a catalogue: its path with links resolved as far as
    // they exist, + ".lock"; every spelling of one catalogue gives the same file.
    static std::string LockPathFor(const std::string& catalogPath);

private:
    void Acquire();

    std::string lockPath_;
    int handle_ = -1;
    State state_ = State::None;
};

// The refusal of a change to a catalogue that another program has open (UTF-8);
// the file name and "." follow it.
inline constexpr std::string_view kCatalogInUsePhrase = "Katalog je otevřen v jiném programu: ";

// That refusal for the run's catalogue, as an error box ending with DataFileName.
void ShowCatalogInUse();
