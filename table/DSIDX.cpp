#include "table/DSIDX.h"

#include <algorithm>
#include <new>
#include <utility>

#include "table/BuildSort.h"
#include "table/Errors.h"
#include "table/OfferedOrder.h"
#include "table/RecordData.h"

namespace {
constexpr std::uint32_t kLowSentinel = 0;
constexpr std::uint32_t kHighSentinel = 0xFFFFFFFFu;
constexpr std::size_t kGrowth = 50;
constexpr std::size_t kBuildSlack = 10;

// A record's rank beside its number, so that the build's sort reads them in order.
struct Ranked {
    std::uint64_t Rank;
    std::uint32_t RecordNumber;
};

// Puts each record at the place its rank names, when the ranks of entries 1 to
// count are 1 to count, each held once; false, and entries untouched, otherwise.
bool PlaceByRank(const memory::Vector<Ranked>& ranked, memory::Vector<std::uint32_t>& entries) {
    if (entries.size() < 2) return true;  // no entry beside the low sentinel
    const std::size_t count = entries.size() - 1;
    memory::Vector<std::uint32_t> byRank;
    try {
        byRank.assign(count + 1, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t position = 1; position <= count; ++position) {
        const std::uint64_t rank = ranked[position].Rank;
        if (rank == 0 || rank > count || byRank[rank] != 0) return false;
        byRank[rank] = ranked[position].RecordNumber;
    }
    std::copy(byRank.begin() + 1, byRank.end(), entries.begin() + 1);
    return true;
}

}  // namespace

DSIDX::DSIDX(const RecordData& store, IndexDescriptor descriptor, std::uint32_t id)
    : store_(store), descriptor_(std::move(descriptor)), id_(id), isDefaultOrder_(descriptor_.Name == kDefaultOrderName) {
    entries_.push_back(kLowSentinel);
}

DSIDX::~DSIDX() = default;

const std::vector<std::unique_ptr<FLDComparator>>& DSIDX::Comparators() const {
    if (comparators_.empty()) {
        std::vector<std::unique_ptr<FLDComparator>> made;
        for (std::size_t i = 0; i < descriptor_.Fields.size(); ++i)
            made.push_back(FLDComparator::For(store_, descriptor_.Fields[i], descriptor_.Descending[i],
                                              descriptor_.CaseInsensitive[i]));
        comparators_ = std::move(made);
    }
    return comparators_;
}

void DSIDX::Redefine(IndexDescriptor descriptor) {
    descriptor.Name = descriptor_.Name;
    descriptor_ = std::move(descriptor);
    redefined_ = true;
    ForgetComparators();
}

pkt::Status DSIDX::RedefineAndBuild(IndexDescriptor descriptor) {
    IndexDescriptor previous = descriptor_;
    memory::Vector<std::uint32_t> previousEntries;
    try {
        previousEntries = entries_;
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    const std::size_t previousCapacity = capacity_;
    const std::uint32_t previousStamp = stamp_;
    const bool previouslyRedefined = redefined_;
    Redefine(std::move(descriptor));
    const pkt::Status code = Build();
    if (code) {
        descriptor_ = std::move(previous);
        ForgetComparators();
        entries_ = std::move(previousEntries);
        capacity_ = previousCapacity;
        stamp_ = previousStamp;
        redefined_ = previouslyRedefined;
    }
    return code;
}

std::uint32_t DSIDX::PositionOf(std::uint32_t recordNumber) const {
    for (std::uint32_t position = 1; position < entries_.size(); ++position)
        if (entries_[position] == recordNumber) return position;
    return 0;
}

int DSIDX::CompareRecords(std::uint32_t a, std::uint32_t b) const {
    if (a == kLowSentinel || b == kLowSentinel || a == kHighSentinel || b == kHighSentinel) {
        if (a == b) return 0;
        if (a == kLowSentinel || b == kHighSentinel) return -1;
        return 1;
    }
    if (buildRanks_ && buildRanks_->Covers(a) && buildRanks_->Covers(b)) {
        const std::uint64_t x = buildRanks_->Rank(a), y = buildRanks_->Rank(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    for (const auto& comparator : Comparators())
        if (const int result = comparator->Compare(store_, a, b)) return result;
    return 0;
}

pkt::Status DSIDX::Reserve(std::size_t capacity) {
    try {
        entries_.reserve(capacity + 2);  // room for the high sentinel while sorting
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    capacity_ = capacity;
    return pkt::Ok;
}

pkt::Status DSIDX::Build() {
    // An order with keys that admits equal keys can fail to build only for want
    // of memory, so nothing is lost by sorting it when a cursor first needs it:
    // a table opened to be read in its stored order never pays for it.
    if (HasKeys() && !Unique() && !isDefaultOrder_) {
        entries_.assign(1, kLowSentinel);
        stamp_ = 0;
        built_ = false;
        return pkt::Ok;
    }
    return BuildNow();
}

pkt::Status DSIDX::EnsureBuilt() { return built_ ? pkt::Ok : BuildNow(); }

void DSIDX::Offer(TIndexOrder order) {
    if (built_ || order.Fields.size() != descriptor_.Fields.size()) return;
    for (std::size_t i = 0; i < order.Fields.size(); ++i)
        if (FindFieldNumber(store_.Fields(), order.Fields[i]) != descriptor_.Fields[i] ||
            order.Descending[i] != descriptor_.Descending[i] ||
            order.CaseInsensitive[i] != descriptor_.CaseInsensitive[i])
            return;
    offered_ = std::make_unique<const TIndexOrder>(std::move(order));
}

pkt::Status DSIDX::BuildNow() {
    const std::unique_ptr<const TIndexOrder> offered = std::move(offered_);
    // A field the load left out holds only nulls: no order of them is its order.
    for (const int fieldNo : descriptor_.Fields)
        if (store_.Field(fieldNo).Unread) return dberr::NotAllowed;
    // A build compares every record many times; ranking the keys once makes
    // each of those comparisons two loads, with exactly the same outcome. An
    // order offered from another table ranks them with far fewer comparisons.
    if (HasKeys()) {
        try {
            if (offered)
                buildRanks_ = RanksFromOffer(store_, *offered,
                                             [this](std::uint32_t a, std::uint32_t b) { return CompareRecords(a, b); });
        } catch (const std::bad_alloc&) {
        }
        try {
            if (!buildRanks_) buildRanks_ = std::make_unique<KeyRanks>(store_, descriptor_, Comparators());
        } catch (const std::bad_alloc&) {
            return dberr::NoMemory;
        }
    }
    const pkt::Status code = Fill();
    buildRanks_.reset();
    built_ = code == 0;
    return code;
}

pkt::Status DSIDX::Fill() {
    entries_.assign(1, kLowSentinel);
    stamp_ = 0;
    if (const auto code = Reserve(store_.LiveCount() + kBuildSlack)) return code;
    const bool insertOneByOne = isDefaultOrder_ && HasKeys();
    for (std::uint32_t recordNumber = 1; recordNumber <= store_.SlotCount(); ++recordNumber) {
        if (!store_.IsLive(recordNumber)) continue;
        if (insertOneByOne) {
            if (const auto code = InsertKeyed(recordNumber, nullptr)) return code;
        } else {
            entries_.push_back(recordNumber);
            ++stamp_;
        }
    }
    if (insertOneByOne || !HasKeys()) return pkt::Ok;
    bool distinct = false;
    if (const auto code = Sort(distinct)) return code;
    if (Unique() && !distinct)
        for (std::uint32_t position = 1; position < Count(); ++position)
            if (CompareRecords(entries_[position], entries_[position + 1]) == 0) return dberr::KeyViolation;
    return pkt::Ok;
}

// The build's sort over the records' ranks.
pkt::Status DSIDX::Sort(bool& distinct) {
    const std::uint32_t count = Count();
    memory::Vector<Ranked> ranked;
    try {
        ranked.resize(count + 2);
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    ranked[0] = {KeyRanks::kLowest, kLowSentinel};
    ranked[count + 1] = {KeyRanks::kHighest, kHighSentinel};
    bool ascending = true;
    std::uint64_t highest = 0;
    for (std::uint32_t position = 1; position <= count; ++position) {
        ranked[position] = {buildRanks_->Rank(entries_[position]), entries_[position]};
        ascending = ascending && ranked[position - 1].Rank < ranked[position].Rank;
        highest = std::max(highest, ranked[position].Rank);
    }
    // Distinct keys already in order (an index on the auto-increment key) are
    // exactly what the sort would leave.
    distinct = true;
    if (ascending) return pkt::Ok;
    // So are distinct keys ranked 1 to count: each rank is its record's place.
    if (highest == count && PlaceByRank(ranked, entries_)) return pkt::Ok;
    distinct = false;
    BuildSort(ranked, count, [](const Ranked& a, const Ranked& b) { return a.Rank > b.Rank; });
    for (std::uint32_t position = 1; position <= count; ++position) entries_[position] = ranked[position].RecordNumber;
    return pkt::Ok;
}

std::uint32_t DSIDX::InsertionPlace(std::uint32_t recordNumber) const {
    std::uint32_t low = 1;
    std::uint32_t high = Count() + 1;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (CompareRecords(entries_[middle], recordNumber) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

pkt::Status DSIDX::InsertAt(std::uint32_t position, std::uint32_t recordNumber) {
    if (Count() + 1 >= capacity_)
        if (const auto code = Reserve(capacity_ + kGrowth)) return code;
    try {
        entries_.insert(entries_.begin() + position, recordNumber);
    } catch (const std::bad_alloc&) {
        return dberr::NoMemory;
    }
    ++stamp_;
    return pkt::Ok;
}

void DSIDX::RemoveAt(std::uint32_t position) {
    entries_.erase(entries_.begin() + position);
    ++stamp_;
}

pkt::Status DSIDX::InsertKeyed(std::uint32_t recordNumber, std::uint32_t* placedAt) {
    const std::uint32_t place = InsertionPlace(recordNumber);
    if (Unique() && place > 1 && CompareRecords(entries_[place - 1], recordNumber) == 0) return dberr::KeyViolation;
    if (const auto code = InsertAt(place, recordNumber)) return code;
    if (placedAt) *placedAt = place;
    return pkt::Ok;
}

pkt::Status DSIDX::Insert(std::uint32_t recordNumber, std::uint32_t cursorPosition, std::uint32_t* placedAt) {
    if (!built_) return pkt::Ok;
    if (HasKeys()) return InsertKeyed(recordNumber, placedAt);
    const std::uint32_t place = (cursorPosition >= 1 && cursorPosition <= Count()) ? cursorPosition : Count() + 1;
    if (const auto code = InsertAt(place, recordNumber)) return code;
    if (placedAt) *placedAt = place;
    return pkt::Ok;
}

bool DSIDX::Remove(std::uint32_t recordNumber) {
    if (!built_) return false;
    const std::uint32_t position = PositionOf(recordNumber);
    if (position == 0) return false;
    RemoveAt(position);
    return true;
}

pkt::Status DSIDX::Replace(std::uint32_t recordNumber, std::uint32_t candidate, Replacement& replacement) {
    replacement = {};
    if (!HasKeys() || !built_) return pkt::Ok;
    const std::uint32_t position = PositionOf(recordNumber);
    if (position == 0 || CompareRecords(recordNumber, candidate) == 0) return pkt::Ok;
    RemoveAt(position);
    std::uint32_t place = 0;
    if (const auto code = InsertKeyed(candidate, &place)) {
        // Putting the entry back cannot need memory: the array just shrank by one.
        pkt::Ignore(InsertAt(position, recordNumber));
        return code;
    }
    replacement = {true, position, place};
    return pkt::Ok;
}

void DSIDX::CommitReplacement(const Replacement& replacement, std::uint32_t recordNumber) {
    if (replacement.Moved) entries_[replacement.NewPosition] = recordNumber;
}

void DSIDX::UndoReplacement(const Replacement& replacement, std::uint32_t recordNumber) {
    if (!replacement.Moved) return;
    RemoveAt(replacement.NewPosition);
    // Cannot need memory: the array just shrank by one.
    pkt::Ignore(InsertAt(replacement.OldPosition, recordNumber));
}
