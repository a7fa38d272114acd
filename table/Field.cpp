// TField: one field of the table, bound to the current or the edited record.
#include <charconv>

#include "table/ClientDataSet.h"
#include "table/ClientDataSetImpl.h"
#include "table/TextFormat.h"

namespace {

// A decimal integer with optional blanks around it and an optional sign;
// nothing else is accepted.
std::optional<std::int32_t> StrictInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::int32_t IntegerOrFail(std::string_view text) {
    if (const auto value = StrictInteger(text)) return *value;
    throw EDatabaseError(FormatText(dbtext::InvalidInteger, std::string(text)));
}

// A value as AsInteger reads it: 0 for a null, a text as a strict integer.
std::int32_t IntegerOf(const FieldView& value, const FieldLayout& layout) {
    if (value.Null) return 0;
    return layout.IsText() ? IntegerOrFail(value.Text) : value.Integer;
}

const FieldLayout& LayoutOf(const TClientDataSet::Impl& d, int fieldNo) {
    d.CheckActive();
    return d.store->Field(fieldNo);
}

// Runs read(value, layout) on this field's value under the base's lock.
template <class Read>
auto WithValue(const TClientDataSet::Impl& d, int fieldNo, Read read) {
    const FieldLayout& layout = LayoutOf(d, fieldNo);
    auto lock = d.store->Lock();
    return read(d.CurrentView(fieldNo), layout);
}

}  // namespace

const std::string& TField::FieldName() const { return LayoutOf(*owner_->impl_, fieldNo_).Name; }
TFieldType TField::DataType() const { return LayoutOf(*owner_->impl_, fieldNo_).DataType; }
int TField::Size() const { return LayoutOf(*owner_->impl_, fieldNo_).Size; }

bool TField::IsNull() const {
    return WithValue(*owner_->impl_, fieldNo_, [](const FieldView& value, const FieldLayout&) { return value.Null; });
}

std::string TField::AsString() const {
    return WithValue(*owner_->impl_, fieldNo_,
                     [](const FieldView& value, const FieldLayout& layout) { return DisplayText(value, layout.IsText()); });
}

std::string_view TField::AsStringView() const {
    return WithValue(*owner_->impl_, fieldNo_, [this](const FieldView& value, const FieldLayout& layout) {
        if (value.Null) return std::string_view();
        if (layout.IsText()) return value.Text;
        number_ = std::to_string(value.Integer);
        return std::string_view(number_);
    });
}

std::int32_t TField::AsInteger() const { return WithValue(*owner_->impl_, fieldNo_, IntegerOf); }

std::int32_t TClientDataSet::TRowValues::AsInteger(int fieldNo) const {
    if (fieldNo < 1 || fieldNo > impl_.store->FieldCount()) return 0;
    return IntegerOf(impl_.ViewAt(recordNumber_, fieldNo), impl_.store->Field(fieldNo));
}

void TField::SetAsString(std::string_view text) {
    TClientDataSet::Impl& d = *owner_->impl_;
    const FieldLayout& layout = LayoutOf(d, fieldNo_);
    d.CheckEditing();
    FieldValue assigned;
    if (layout.IsText()) {
        // The store holds zero-terminated texts, so a zero byte ends the text.
        text = text.substr(0, text.find('\0'));
        assigned.Text = std::string(text.substr(0, static_cast<std::size_t>(layout.Size)));
        assigned.Null = false;
    } else if (!text.empty()) {
        assigned.Integer = IntegerOrFail(text);
        assigned.Null = false;
    }
    d.EditableValue(fieldNo_) = std::move(assigned);
}

void TField::SetAsInteger(std::int32_t number) {
    TClientDataSet::Impl& d = *owner_->impl_;
    const FieldLayout& layout = LayoutOf(d, fieldNo_);
    if (layout.IsText()) return SetAsString(std::to_string(number));
    FieldValue& value = d.EditableValue(fieldNo_);
    value.Integer = number;
    value.Null = false;
}

void TField::Clear() { owner_->impl_->EditableValue(fieldNo_) = FieldValue{}; }
