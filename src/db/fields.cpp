#include "db/fields.h"

#include "classes/class_builder.h"
#include "db/data_set.h"
#include "db/db_consts.h"
#include "db/field_names.h"
#include "db/instant.h"
#include "rtl/date_format.h"
#include "rtl/exceptions.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TField) { TVX_PROPERTY(FieldName); }
TVX_IMPLEMENT_CLASS(TIntegerField) {}
TVX_IMPLEMENT_CLASS(TDateTimeField) {}

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() = default;

void TField::BeforeDestruction() {
  if (data_set_ != nullptr) data_set_->RemoveField(this);
  data_set_ = nullptr;
  column_ = nullptr;
  TComponent::BeforeDestruction();
}

void TField::SetFieldName(const std::string& field_name) {
  if (field_name == field_name_) return;
  if (data_set_ != nullptr) {
    if (data_set_->Active()) throw EDatabaseError(SDataSetOpen);
    const TField* other = data_set_->FindField(field_name);
    if (other != nullptr && other != this && !field_name.empty()) {
      throw EDatabaseError("Duplicate field name '" + field_name + "'");
    }
  }
  field_name_ = field_name;
}

void TField::SetDataSet(TDataSet* data_set) {
  if (data_set == data_set_) return;
  if ((data_set_ != nullptr && data_set_->Active()) ||
      (data_set != nullptr && data_set->Active())) {
    throw EDatabaseError(SDataSetOpen);
  }
  if (data_set != nullptr && !field_name_.empty() && data_set->FindField(field_name_) != nullptr) {
    throw EDatabaseError("Duplicate field name '" + field_name_ + "'");
  }
  if (data_set_ != nullptr) data_set_->RemoveField(this);
  data_set_ = data_set;
  if (data_set_ != nullptr) data_set_->AddField(this);
}

TComponent* TField::GetParentComponent() const { return data_set_; }

void TField::SetParentComponent(TComponent* parent) { SetDataSet(dynamic_cast<TDataSet*>(parent)); }

TFieldType TField::ColumnType() const { return column_ != nullptr ? column_->type : DataType(); }

bool TField::CurrentRow(uint32_t& row) const {
  if (data_set_ == nullptr) throw EDatabaseError("Field '" + field_name_ + "' has no dataset");
  data_set_->CheckActive();
  if (data_set_->index_.empty()) return false;
  row = data_set_->index_[data_set_->position_];
  return true;
}

bool TField::IsNull() const {
  uint32_t row = 0;
  return !CurrentRow(row) || column_->IsNull(row);
}

int32_t TField::AsInteger() const { AccessError("Integer"); }

TDateTime TField::AsDateTime() const { AccessError("DateTime"); }

std::string TField::DisplayText() const {
  uint32_t row = 0;
  if (!CurrentRow(row) || column_->IsNull(row)) return {};
  return TextOf(row);
}

bool TField::IsNullAt(int32_t rec_no) const {
  if (data_set_ == nullptr) throw EDatabaseError("Field '" + field_name_ + "' has no dataset");
  const uint32_t row = data_set_->PhysicalRowOf(rec_no);  // raises while closed
  return column_->IsNull(row);
}

std::string TField::DisplayTextAt(int32_t rec_no) const {
  if (data_set_ == nullptr) throw EDatabaseError("Field '" + field_name_ + "' has no dataset");
  const uint32_t row = data_set_->PhysicalRowOf(rec_no);  // raises while closed
  return column_->IsNull(row) ? std::string() : TextOf(row);
}

void TField::AccessError(const char* type_name) const {
  throw EDatabaseError("Cannot access field '" + field_name_ + "' as type " + type_name);
}

TIntegerField::TIntegerField(TComponent* owner) : TField(owner) {}

int32_t TIntegerField::AsInteger() const {
  uint32_t row = 0;
  return CurrentRow(row) ? Column().integers[row] : 0;  // a null row holds 0
}

std::string TIntegerField::TextOf(uint32_t row) const {
  return std::to_string(Column().integers[row]);
}

TDateTimeField::TDateTimeField(TComponent* owner) : TField(owner) {}

TDateTime TDateTimeField::AsDateTime() const {
  uint32_t row = 0;
  if (!CurrentRow(row) || Column().IsNull(row)) return 0;
  return InstantToDateTime(Column().instants[row]);
}

std::string TDateTimeField::TextOf(uint32_t row) const {
  return DateTimeToStr(InstantToDateTime(Column().instants[row]));
}

}  // namespace tvx
