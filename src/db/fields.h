// Persistent fields: components, declared before the data set opens, each of which names
// one column of the data set's rows and reads its value in the current row.
#pragma once

#include <cstdint>
#include <string>

#include "classes/component.h"
#include "db/column_values.h"
#include "db/field_type.h"
#include "rtl/datetime.h"

namespace tvx {

class TDataSet;

class TField : public TComponent {
  TVX_DECLARE_CLASS(TField, TComponent)

  explicit TField(TComponent* owner);

  // The column the field reads. Changing it, or the data set, while the data set is open
  // raises EDatabaseError "Cannot perform this operation on an open dataset".
  const std::string& FieldName() const { return field_name_; }
  void SetFieldName(const std::string& field_name);
  // A reference: the field joins the data set's fields (and leaves those of its previous
  // one). Raises EDatabaseError "Duplicate field name '%s'" when the data set already has
  // a field of that name.
  TDataSet* DataSet() const { return data_set_; }
  void SetDataSet(TDataSet* data_set);

  // The type the field stands for.
  virtual TFieldType DataType() const = 0;
  // The type of its column while the data set is open, else DataType().
  TFieldType ColumnType() const;

  // The value in the current row. A null reads as 0 and as an empty text; on an empty data
  // set every field is null. Raises EDatabaseError "Field '%s' has no dataset" without a
  // data set and "Cannot perform this operation on a closed dataset" while it is closed;
  // a read as a type the field does not hold raises "Cannot access field '%s' as type %s".
  bool IsNull() const;
  virtual int32_t AsInteger() const;
  virtual TDateTime AsDateTime() const;
  // The value as a user reads it (see DisplayText).
  std::string AsString() const { return DisplayText(); }
  std::string DisplayText() const;

  // The same for the row at a record number (1..RecordCount), without moving the cursor: a
  // grid draws the rows it shows this way. Raises EDatabaseError "Record %d not found" for
  // a number outside the rows.
  bool IsNullAt(int32_t rec_no) const;
  std::string DisplayTextAt(int32_t rec_no) const;

  // A field's place in a stored description is inside its data set.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

 protected:
  ~TField() override;
  void BeforeDestruction() override;

  // Whether the field can read a column of that type.
  virtual bool AcceptsType(TFieldType type) const = 0;
  // The display text of a non-null value in a physical row.
  virtual std::string TextOf(uint32_t row) const = 0;
  [[noreturn]] void AccessError(const char* type_name) const;
  // The column and physical row of the current row; false when the data set is empty.
  bool CurrentRow(uint32_t& row) const;
  const ColumnValues& Column() const { return *column_; }

 private:
  friend class TDataSet;
  const ColumnValues* column_ = nullptr;  // bound while the data set is open
  std::string field_name_;
  TDataSet* data_set_ = nullptr;
};

// Reads 16-bit, 32-bit and auto-increment integer columns.
class TIntegerField : public TField {
  TVX_DECLARE_CLASS(TIntegerField, TField)

  explicit TIntegerField(TComponent* owner);
  TFieldType DataType() const override { return ftInteger; }
  int32_t AsInteger() const override;

 protected:
  bool AcceptsType(TFieldType type) const override { return IsIntegerType(type); }
  std::string TextOf(uint32_t row) const override;
};

// Reads date, time and date-time columns. Shows a value as its date in the short date
// format, followed by a blank and the time in the long time format when the time of day is
// not midnight.
class TDateTimeField : public TField {
  TVX_DECLARE_CLASS(TDateTimeField, TField)

  explicit TDateTimeField(TComponent* owner);
  TFieldType DataType() const override { return ftDateTime; }
  TDateTime AsDateTime() const override;

 protected:
  bool AcceptsType(TFieldType type) const override { return IsTemporalType(type); }
  std::string TextOf(uint32_t row) const override;
};

}  // namespace tvx
