// TDataSource joins a data set to the controls that show it: each control holds a data link
// on the data source, and the data source tells every link when its data set opens or
// closes, when the current row moves and when the rows change.
#pragma once

#include <cstdint>
#include <vector>

#include "classes/component.h"
#include "db/data_set.h"

namespace tvx {

class TDataLink;

class TDataSource : public TComponent {
  TVX_DECLARE_CLASS(TDataSource, TComponent)

  explicit TDataSource(TComponent* owner);

  // A reference: the data source neither owns nor frees its data set. When the data set is
  // freed, the data source lets go of it. Changing it tells each link ActiveChanged when
  // that changes whether the link sees an open data set, else DataSetChanged if it does.
  TDataSet* DataSet() const { return data_set_; }
  void SetDataSet(TDataSet* data_set);

  int32_t DataLinkCount() const { return static_cast<int32_t>(links_.size()); }

 protected:
  ~TDataSource() override;
  void BeforeDestruction() override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  // Passes an event of the data set on to every link.
  void DataEvent(TDataEvent event, int32_t distance);
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  TDataSet* data_set_ = nullptr;
  std::vector<TDataLink*> links_;
};

// The link through which a control follows a data source. Not a component: a control
// holds its link as a member, and the link leaves its data source when it is destroyed.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return data_source_; }
  void SetDataSource(TDataSource* data_source);
  // The data source's data set, or null.
  TDataSet* DataSet() const;
  // Whether the link sees an open data set.
  bool Active() const { return active_; }

 protected:
  // The link came to see an open data set, or stopped seeing one (closed, another or no
  // data set, another or no data source). Active() tells which.
  virtual void ActiveChanged() {}
  // The current row moved by `distance` rows in index order (negative: backwards).
  virtual void DataSetScrolled(int32_t distance) { (void)distance; }
  // The rows changed: a row was deleted or the order changed; the current row may be
  // another one.
  virtual void DataSetChanged() {}

 private:
  friend class TDataSource;
  // Compares what the link sees with what it saw and tells it of a change; true if it did.
  bool UpdateActive();
  // The data source or its data set was replaced.
  void SourceReplaced();
  void DataEvent(TDataEvent event, int32_t distance);

  TDataSource* data_source_ = nullptr;
  bool active_ = false;
};

}  // namespace tvx
