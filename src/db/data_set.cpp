#include "db/data_set.h"

#include <algorithm>
#include <numeric>

#include "classes/class_builder.h"
#include "db/data_packet_reader.h"
#include "db/data_source.h"
#include "db/db_consts.h"
#include "db/field_names.h"
#include "db/fields.h"
#include "db/record_order.h"
#include "rtl/exceptions.h"

namespace tvx {
namespace {

// Replaces the one %s of a message.
std::string Format(const char* message, std::string_view argument) {
  std::string text = message;
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

// "A; B ;C" -> {"A", "B", "C"}; empty parts are dropped.
std::vector<std::string> SplitFieldNames(std::string_view names) {
  std::vector<std::string> result;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(';', start);
    if (end == std::string_view::npos) end = names.size();
    std::string_view part = names.substr(start, end - start);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!part.empty()) result.emplace_back(part);
    start = end + 1;
  }
  return result;
}

}  // namespace

TVX_IMPLEMENT_CLASS(TDataSet) { TVX_PROPERTY(ReadOnly); }

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() = default;

void TDataSet::BeforeDestruction() {
  // Data sources and fields refer to this data set without owning it: let them go first.
  ClearData();
  state_ = dsInactive;
  while (!data_sources_.empty()) data_sources_.back()->SetDataSet(nullptr);
  for (TField* field : fields_) {
    field->data_set_ = nullptr;
    field->column_ = nullptr;
  }
  fields_.clear();
  TComponent::BeforeDestruction();
}

void TDataSet::SetActive(bool active) {
  if (active == Active()) return;
  if (active) {
    OpenCursor();
    state_ = dsBrowse;
    position_ = 0;
    bof_ = true;
    eof_ = index_.empty();
  } else {
    ClearData();
    state_ = dsInactive;
  }
  NotifyActiveChanged();
}

void TDataSet::OpenCursor() { throw EDatabaseError(SMissingDataPacket); }

void TDataSet::LoadDataPacket(std::span<const uint8_t> packet) {
  const DataPacketReader reader(packet);
  // Only the columns that a field reads are kept; every column's values are checked.
  std::vector<int32_t> field_columns;
  std::vector<bool> keep(reader.Columns().size(), false);
  for (const TField* field : fields_) {
    const int32_t column = reader.FindColumn(field->FieldName());
    field_columns.push_back(column);
    if (column >= 0) keep[column] = true;
  }
  std::vector<ColumnValues> columns = reader.ReadValues(keep);

  for (size_t i = 0; i < fields_.size(); ++i) {
    const TField* field = fields_[i];
    if (field->FieldName().empty()) throw EDatabaseError(SFieldNameMissing);
    if (field_columns[i] < 0) throw EDatabaseError(Format(SFieldNotFound, field->FieldName()));
    const TFieldType actual = reader.Columns()[field_columns[i]].type;
    if (!field->AcceptsType(actual)) {
      std::string message = Format(SFieldTypeMismatch, field->FieldName());
      message = Format(message.c_str(), FieldTypeName(field->DataType()));
      throw EDatabaseError(Format(message.c_str(), FieldTypeName(actual)));
    }
  }
  std::vector<const ColumnValues*> keys;
  for (const std::string& name : SplitFieldNames(index_field_names_)) {
    const auto found = std::find_if(fields_.begin(), fields_.end(), [&name](const TField* f) {
      return SameFieldName(f->FieldName(), name);
    });
    if (found == fields_.end()) throw EDatabaseError(Format(SFieldNotFound, name));
    keys.push_back(&columns[field_columns[found - fields_.begin()]]);
  }
  std::vector<uint32_t> index(reader.RowCount());
  std::iota(index.begin(), index.end(), 0u);
  SortRows(keys, index);

  // Nothing below raises: the data set takes the rows.
  columns_ = std::move(columns);
  index_ = std::move(index);
  deleted_rows_.clear();
  packet_read_only_ = reader.ReadOnly();
  deletes_allowed_ = reader.DeletesAllowed();
  for (size_t i = 0; i < fields_.size(); ++i) fields_[i]->column_ = &columns_[field_columns[i]];
}

void TDataSet::ClearData() {
  for (TField* field : fields_) field->column_ = nullptr;
  std::vector<ColumnValues>().swap(columns_);
  std::vector<uint32_t>().swap(index_);
  std::vector<uint32_t>().swap(deleted_rows_);
  packet_read_only_ = false;
  deletes_allowed_ = true;
  position_ = 0;
  bof_ = eof_ = true;
}

std::vector<const ColumnValues*> TDataSet::IndexColumns() const {
  std::vector<const ColumnValues*> keys;
  for (const std::string& name : SplitFieldNames(index_field_names_)) {
    keys.push_back(FieldByName(name)->column_);
  }
  return keys;
}

void TDataSet::SetIndexFieldList(const std::string& names) {
  if (!Active()) {
    index_field_names_ = names;
    return;
  }
  const std::string previous = index_field_names_;
  index_field_names_ = names;
  try {
    Reorder();
  } catch (...) {
    index_field_names_ = previous;
    throw;
  }
}

void TDataSet::Reorder() {
  const std::vector<const ColumnValues*> keys = IndexColumns();
  const bool had_row = !index_.empty();
  const uint32_t current = had_row ? index_[position_] : 0;
  // Back to server order first, so that equal keys keep it.
  std::vector<uint32_t> rows = index_;
  std::sort(rows.begin(), rows.end());
  SortRows(keys, rows);
  index_ = std::move(rows);
  if (had_row) position_ = std::find(index_.begin(), index_.end(), current) - index_.begin();
  NotifyDataSetChanged();
}

TField* TDataSet::Fields(int32_t index) const {
  if (index < 0 || index >= FieldCount()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return fields_[index];
}

TField* TDataSet::FindField(std::string_view field_name) const {
  for (TField* field : fields_) {
    if (SameFieldName(field->FieldName(), field_name)) return field;
  }
  return nullptr;
}

TField* TDataSet::FieldByName(std::string_view field_name) const {
  TField* field = FindField(field_name);
  if (field == nullptr) throw EDatabaseError(Format(SFieldNotFound, field_name));
  return field;
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError(SDataSetClosed);
}

void TDataSet::MoveTo(size_t position) {
  const size_t previous = position_;
  position_ = position;
  if (position != previous) {
    NotifyScrolled(
        static_cast<int32_t>(static_cast<int64_t>(position) - static_cast<int64_t>(previous)));
  }
}

void TDataSet::First() {
  CheckActive();
  bof_ = true;
  eof_ = index_.empty();
  MoveTo(0);
}

void TDataSet::Last() {
  CheckActive();
  bof_ = index_.empty();
  eof_ = true;
  MoveTo(index_.empty() ? 0 : index_.size() - 1);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int32_t TDataSet::MoveBy(int32_t distance) {
  CheckActive();
  if (distance == 0) return 0;
  if (index_.empty()) {
    bof_ = eof_ = true;
    return 0;
  }
  const int64_t last = static_cast<int64_t>(index_.size()) - 1;
  const int64_t wanted = static_cast<int64_t>(position_) + distance;
  const int64_t target = std::clamp<int64_t>(wanted, 0, last);
  bof_ = wanted < 0;
  eof_ = wanted > last;
  const int32_t moved = static_cast<int32_t>(target - static_cast<int64_t>(position_));
  MoveTo(static_cast<size_t>(target));
  return moved;
}

bool TDataSet::Bof() const {
  CheckActive();
  return bof_;
}

bool TDataSet::Eof() const {
  CheckActive();
  return eof_;
}

int32_t TDataSet::RecNo() const {
  CheckActive();
  return index_.empty() ? 0 : static_cast<int32_t>(position_ + 1);
}

void TDataSet::SetRecNo(int32_t rec_no) {
  CheckActive();
  if (index_.empty()) return;
  bof_ = eof_ = false;
  MoveTo(
      static_cast<size_t>(std::clamp<int64_t>(rec_no, 1, static_cast<int64_t>(index_.size())) - 1));
}

int32_t TDataSet::RecordCount() const {
  CheckActive();
  return static_cast<int32_t>(index_.size());
}

bool TDataSet::IsEmpty() const {
  CheckActive();
  return index_.empty();
}

uint32_t TDataSet::PhysicalRowOf(int32_t rec_no) const {
  CheckActive();
  if (rec_no < 1 || static_cast<size_t>(rec_no) > index_.size()) {
    throw EDatabaseError("Record " + std::to_string(rec_no) + " not found");
  }
  return index_[rec_no - 1];
}

bool TDataSet::CanModify() const { return Active() && !read_only_ && !packet_read_only_; }

void TDataSet::Delete() {
  CheckActive();
  if (!CanModify()) throw EDatabaseError(SDataSetReadOnly);
  if (index_.empty()) throw EDatabaseError(SDataSetEmpty);
  if (!deletes_allowed_) throw EDatabaseError(SDeletesNotAllowed);
  deleted_rows_.push_back(index_[position_]);
  index_.erase(index_.begin() + static_cast<ptrdiff_t>(position_));
  if (position_ >= index_.size() && position_ > 0) --position_;
  bof_ = eof_ = index_.empty();
  NotifyDataSetChanged();
}

void TDataSet::AddField(TField* field) { fields_.push_back(field); }

void TDataSet::RemoveField(TField* field) {
  fields_.erase(std::remove(fields_.begin(), fields_.end(), field), fields_.end());
}

void TDataSet::AddDataSource(TDataSource* source) { data_sources_.push_back(source); }

void TDataSet::RemoveDataSource(TDataSource* source) {
  data_sources_.erase(std::remove(data_sources_.begin(), data_sources_.end(), source),
                      data_sources_.end());
}

void TDataSet::Notify(TDataEvent event, int32_t distance) {
  // A link may free a data source while it is told; only sources still attached are told.
  const std::vector<TDataSource*> sources = data_sources_;
  for (TDataSource* source : sources) {
    if (std::find(data_sources_.begin(), data_sources_.end(), source) != data_sources_.end()) {
      source->DataEvent(event, distance);
    }
  }
}

void TDataSet::NotifyActiveChanged() { Notify(deActiveChanged, 0); }

void TDataSet::NotifyScrolled(int32_t distance) { Notify(deDataSetScroll, distance); }

void TDataSet::NotifyDataSetChanged() { Notify(deDataSetChange, 0); }

}  // namespace tvx
