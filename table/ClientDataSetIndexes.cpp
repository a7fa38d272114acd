// TClientDataSet: building indexes, the index definitions and the active index.
#include "table/ClientDataSet.h"

#include "table/ClientDataSetImpl.h"
#include "table/DSIDX.h"
#include "table/TextFormat.h"

namespace {

std::string JoinFieldNames(const RecordStore& store, const std::vector<int>& fieldNos, const std::vector<bool>* only) {
    std::string list;
    for (std::size_t i = 0; i < fieldNos.size(); ++i) {
        if (only && !(*only)[i]) continue;
        if (!list.empty()) list += ';';
        list += store.Field(fieldNos[i]).Name;
    }
    return list;
}

bool All(const std::vector<bool>& flags) {
    for (const bool flag : flags)
        if (!flag) return false;
    return !flags.empty();
}

}  // namespace

void TClientDataSet::Impl::BuildIndexFrom(const TIndexDef& definition) {
    auto lock = store->Lock();
    Check(store->CreateIndex(IndexDescriptor::Encode(definition, store->Fields())));
    indexDefsStale = true;
    // Redefining the default order may have reordered the cursor's index, and
    // its stamp counts entries, not their order.
    if (cursor->Index().IsDefaultOrder()) {
        cursor->Refind();
        Refetched();
        NotifyChanged();
    }
}

// The definitions as the engine holds them, in creation order; the default order
// appears only when it was given keys.
void TClientDataSet::Impl::RereadIndexDefs() {
    indexDefs.Clear();
    for (const auto& index : store->Indexes()) {
        const IndexDescriptor& descriptor = index->Descriptor();
        if (index->IsDefaultOrder() && !index->HasKeys()) continue;
        TIndexDef& definition = indexDefs.AddIndexDef();
        definition.Name = descriptor.Name;
        definition.Fields = JoinFieldNames(*store, descriptor.Fields, nullptr);
        if (descriptor.Unique) definition.Options |= ixUnique;
        if (descriptor.Primary) definition.Options |= ixPrimary;
        if (All(descriptor.Descending))
            definition.Options |= ixDescending;
        else
            definition.DescFields = JoinFieldNames(*store, descriptor.Fields, &descriptor.Descending);
        if (All(descriptor.CaseInsensitive))
            definition.Options |= ixCaseInsensitive;
        else
            definition.CaseInsFields = JoinFieldNames(*store, descriptor.Fields, &descriptor.CaseInsensitive);
    }
    indexDefsStale = false;
}

void TClientDataSet::BuildIndex(const std::string& name, const std::string& fields, TIndexOptions options,
                                const std::string& descFields, const std::string& caseInsFields) {
    Impl& d = *impl_;
    d.CheckBrowseMode();
    d.BuildIndexFrom(TIndexDef{name, fields, options, descFields, caseInsFields});
}

void TClientDataSet::DeleteIndex(const std::string& name) {
    Impl& d = *impl_;
    d.CheckBrowseMode();
    auto lock = d.store->Lock();
    const DSIDX* index = name.empty() ? nullptr : d.store->FindIndex(name);
    if (!index || index->IsDefaultOrder()) throw EDatabaseError(FormatText(dbtext::IndexNotFound, name));
    const bool active = index == &d.cursor->Index();
    if (active) d.cursor->SwitchTo(d.store->DefaultOrder());
    d.store->DeleteIndex(name);
    d.indexDefsStale = true;
    if (active) {
        d.Refetched();
        d.NotifyChanged();
    }
}

std::string TClientDataSet::IndexName() const {
    const Impl& d = *impl_;
    if (!d.Active()) return d.indexName;
    const DSIDX& index = d.cursor->Index();
    return index.IsDefaultOrder() ? std::string() : index.Name();
}

void TClientDataSet::SetIndexName(const std::string& name) {
    Impl& d = *impl_;
    if (!d.Active()) {
        d.indexName = name;
        return;
    }
    d.CheckBrowseMode();
    if (name == IndexName()) return;
    auto lock = d.store->Lock();
    DSIDX* index = d.store->FindIndex(name);
    if (!index) {
        const TIndexDefs& definitions = IndexDefs();
        const TIndexDef* definition = nullptr;
        for (int i = 0; i < definitions.Count() && !definition; ++i)
            if (definitions[i].Name == name) definition = &definitions[i];
        if (!definition) throw EDatabaseError(FormatText(dbtext::IndexNotFound, name));
        const TIndexDef copy = *definition;
        d.BuildIndexFrom(copy);
        index = d.store->FindIndex(name);
        if (!index) throw EDatabaseError(FormatText(dbtext::IndexNotFound, name));
    }
    if (index == &d.cursor->Index()) return;
    d.cursor->SwitchTo(*index);
    if (!d.HasCurrent()) d.cursor->Move(1);
    d.Refetched();
    d.NotifyChanged();
}

TIndexOrder TClientDataSet::OrderOf(const std::string& indexName, const std::string& keyField) const {
    const Impl& d = *impl_;
    TIndexOrder order;
    if (!d.Active()) return order;
    auto lock = d.store->Lock();
    const DSIDX* index = d.store->FindIndex(indexName);
    const int keyNo = FindFieldNumber(d.store->Fields(), keyField);
    if (!index || !index->Built() || keyNo == 0 || d.store->Field(keyNo).IsText()) return order;
    const IndexDescriptor& descriptor = index->Descriptor();
    order.IndexName = descriptor.Name;
    order.KeyField = keyField;
    for (const int fieldNo : descriptor.Fields) order.Fields.push_back(d.store->Field(fieldNo).Name);
    order.Descending = descriptor.Descending;
    order.CaseInsensitive = descriptor.CaseInsensitive;
    order.Keys.reserve(index->Count());
    for (std::uint32_t position = 1; position <= index->Count(); ++position) {
        const std::uint32_t recordNumber = index->RecordAt(position);
        if (!d.store->IsNull(recordNumber, keyNo)) order.Keys.push_back(d.store->Integer(recordNumber, keyNo));
    }
    return order;
}

void TClientDataSet::OfferOrder(TIndexOrder order) {
    Impl& d = *impl_;
    if (!d.Active()) return;
    auto lock = d.store->Lock();
    if (DSIDX* index = d.store->FindIndex(order.IndexName)) index->Offer(std::move(order));
}
