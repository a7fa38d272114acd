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

const FieldLayout& LayoutOf(const TClientDataSet::Impl& d, int fieldNo) {
    d.CheckActive();
    return d.store->Field(fieldNo);
}

}  // namespace

const std::string& TField::FieldName() const { return LayoutOf(*owner_->impl_, fieldNo_).Name; }
TFieldType TField::DataType() const { return LayoutOf(*owner_->impl_, fieldNo_).DataType; }
int TField::Size() const { return LayoutOf(*owner_->impl_, fieldNo_).Size; }

bool TField::IsNull() const { return owner_->impl_->CurrentValue(fieldNo_).Null; }

std::string TField::AsString() const {
    return DisplayText(owner_->impl_->CurrentValue(fieldNo_), LayoutOf(*owner_->impl_, fieldNo_).IsText());
}

std::int32_t TField::AsInteger() const {
    const FieldValue value = owner_->impl_->CurrentValue(fieldNo_);
    if (value.Null) return 0;
    return LayoutOf(*owner_->impl_, fieldNo_).IsText() ? IntegerOrFail(value.Text) : value.Integer;
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
