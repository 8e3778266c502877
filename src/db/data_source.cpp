#include "db/data_source.h"

#include <algorithm>

#include "classes/class_builder.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TDataSource) { TVX_PROPERTY(DataSet); }

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() = default;

void TDataSource::BeforeDestruction() {
  SetDataSet(nullptr);
  while (!links_.empty()) links_.back()->SetDataSource(nullptr);
  TComponent::BeforeDestruction();
}

void TDataSource::SetDataSet(TDataSet* data_set) {
  if (data_set == data_set_) return;
  if (data_set_ != nullptr) data_set_->RemoveDataSource(this);
  data_set_ = data_set;
  if (data_set_ != nullptr) data_set_->AddDataSource(this);
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->SourceReplaced();
  }
}

void TDataSource::AddLink(TDataLink* link) { links_.push_back(link); }

void TDataSource::RemoveLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::DataEvent(TDataEvent event, int32_t distance) {
  // A link may leave (or be destroyed) while it is told: only links still here are told.
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
      link->DataEvent(event, distance);
    }
  }
}

TDataLink::~TDataLink() {
  if (data_source_ != nullptr) data_source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* data_source) {
  if (data_source == data_source_) return;
  if (data_source_ != nullptr) data_source_->RemoveLink(this);
  data_source_ = data_source;
  if (data_source_ != nullptr) data_source_->AddLink(this);
  SourceReplaced();
}

TDataSet* TDataLink::DataSet() const {
  return data_source_ != nullptr ? data_source_->DataSet() : nullptr;
}

bool TDataLink::UpdateActive() {
  const TDataSet* data_set = DataSet();
  const bool active = data_set != nullptr && data_set->Active();
  if (active == active_) return false;
  active_ = active;
  ActiveChanged();
  return true;
}

void TDataLink::SourceReplaced() {
  // From one open data set to another: the link stays active but sees other rows.
  if (!UpdateActive() && active_) DataSetChanged();
}

void TDataLink::DataEvent(TDataEvent event, int32_t distance) {
  switch (event) {
    case deActiveChanged:
      UpdateActive();
      break;
    case deDataSetScroll:
      if (active_) DataSetScrolled(distance);
      break;
    case deDataSetChange:
      if (active_) DataSetChanged();
      break;
  }
}

}  // namespace tvx
