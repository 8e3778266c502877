// TDataSet: an in-memory table of rows read from a data packet, seen through persistent
// fields, ordered by an index on named fields and walked by a cursor. Deleting a row keeps
// it in a local change log. Descendants say where the packet comes from (OpenCursor).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "classes/component.h"
#include "db/column_values.h"
#include "db/field_type.h"

namespace tvx {

class TField;
class TDataSource;

enum TDataSetState { dsInactive, dsBrowse };

// What a data set tells the data links of its data sources: it opened or closed; its current
// row moved (with the distance in rows); its rows changed (a deletion or a new order).
enum TDataEvent { deActiveChanged, deDataSetScroll, deDataSetChange };

class TDataSet : public TComponent {
  TVX_DECLARE_CLASS(TDataSet, TComponent)

  explicit TDataSet(TComponent* owner);

  // Opening reads the rows, checks every persistent field against its column (EDatabaseError
  // "Field '%s' not found", "Type mismatch for field '%s', expecting: %s actual: %s"), orders
  // the rows and moves to the first. A failed opening leaves the data set closed.
  bool Active() const { return state_ != dsInactive; }
  void SetActive(bool active);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }

  // The persistent fields, in the order in which they were given this data set.
  int32_t FieldCount() const { return static_cast<int32_t>(fields_.size()); }
  // Raises EListError "List index out of bounds (%d)" outside 0..FieldCount()-1.
  TField* Fields(int32_t index) const;
  // By field name, without regard to the case of A..Z; null when absent.
  TField* FindField(std::string_view field_name) const;
  // As FindField; raises EDatabaseError "Field '%s' not found" when absent.
  TField* FieldByName(std::string_view field_name) const;

  // The cursor. Every operation below raises EDatabaseError "Cannot perform this operation
  // on a closed dataset" while closed. Bof is true after First or after Prior on the first
  // row, Eof after Last or after Next on the last row; both are true on an empty data set.
  void First();
  void Last();
  void Next();
  void Prior();
  // Moves by up to `distance` rows (negative: backwards) and returns how far it moved.
  int32_t MoveBy(int32_t distance);
  bool Bof() const;
  bool Eof() const;
  // The current row's position in index order, 1..RecordCount; 0 when empty. Setting it
  // moves there (values outside 1..RecordCount move to the nearest row).
  int32_t RecNo() const;
  void SetRecNo(int32_t rec_no);
  int32_t RecordCount() const;
  bool IsEmpty() const;

  // Changes. ReadOnly is the data set's own switch; a packet marked read-only makes the data
  // set read-only too.
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool CanModify() const;
  // Whether the packet lets rows be deleted (true while closed).
  bool DeletesAllowed() const { return deletes_allowed_; }
  // Deletes the current row; the cursor stays at the same position, or at the new last row.
  // Raises EDatabaseError: "Cannot perform this operation on a closed dataset",
  // "Cannot modify a read-only dataset", "Cannot perform this operation on an empty
  // dataset", "Deletes are not allowed" (checked in that order).
  void Delete();
  // The local change log: the deletions made since opening. Nothing sends them anywhere;
  // closing forgets them.
  int32_t ChangeCount() const { return static_cast<int32_t>(deleted_rows_.size()); }

 protected:
  ~TDataSet() override;
  void BeforeDestruction() override;

  // Fetches the packet and hands it to LoadDataPacket. The default has no source and raises
  // "Missing data provider or data packet".
  virtual void OpenCursor();
  // Reads a packet and builds the rows, ordered by the index fields. Raises the packet
  // errors, then the field errors (an index field name that names no field of this data set
  // is "Field '%s' not found"); leaves the data set as it was when it raises.
  void LoadDataPacket(std::span<const uint8_t> packet);
  // The index field names, one or several separated by ';' (blanks around names ignored).
  const std::string& IndexFieldList() const { return index_field_names_; }
  // Changes the order; while open, the rows are ordered again and the cursor stays on its row.
  void SetIndexFieldList(const std::string& names);

 private:
  friend class TField;
  friend class TDataSource;

  void CheckActive() const;
  void AddField(TField* field);
  void RemoveField(TField* field);
  void AddDataSource(TDataSource* source);
  void RemoveDataSource(TDataSource* source);
  // The columns of the index fields, which must be fields of this data set.
  std::vector<const ColumnValues*> IndexColumns() const;
  void Reorder();
  // The physical row behind a record number (1..RecordCount); raises outside that range.
  uint32_t PhysicalRowOf(int32_t rec_no) const;
  // Moves to a position in index order and tells the data links how far it moved.
  void MoveTo(size_t position);
  void Notify(TDataEvent event, int32_t distance);
  void NotifyActiveChanged();
  void NotifyScrolled(int32_t distance);
  void NotifyDataSetChanged();
  void ClearData();

  TDataSetState state_ = dsInactive;
  bool read_only_ = false;
  std::string index_field_names_;
  std::vector<TField*> fields_;
  std::vector<TDataSource*> data_sources_;

  // The rows while open: one ColumnValues per packet column (empty for columns that no
  // field reads), the live rows in index order, and the deleted rows in order of deletion.
  std::vector<ColumnValues> columns_;
  std::vector<uint32_t> index_;
  std::vector<uint32_t> deleted_rows_;
  bool packet_read_only_ = false;
  bool deletes_allowed_ = true;
  size_t position_ = 0;
  bool bof_ = true;
  bool eof_ = true;
};

}  // namespace tvx
