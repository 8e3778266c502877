#include "db/client_data_set.h"

#include "classes/class_builder.h"
#include "db/data_packet_variant.h"
#include "db/db_consts.h"
#include "rtl/exceptions.h"
#include "server_client/provider_query.h"
#include "server_client/remote_server.h"

namespace tvx {

TVX_IMPLEMENT_CLASS(TClientDataSet) {
  TVX_PROPERTY(ProviderName);
  TVX_PROPERTY(CommandText);
  TVX_PROPERTY(IndexFieldNames);
  TVX_PROPERTY(RemoteServer);
}

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner) {}

TClientDataSet::~TClientDataSet() = default;

void TClientDataSet::SetRemoteServer(TCustomRemoteServer* server) {
  if (server == remote_server_) return;
  if (remote_server_ != nullptr) remote_server_->RemoveFreeNotification(this);
  remote_server_ = server;
  if (remote_server_ != nullptr) remote_server_->FreeNotification(this);
}

void TClientDataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation == opRemove && component == remote_server_) remote_server_ = nullptr;
}

void TClientDataSet::SetData(const VARIANT& packet) {
  Close();
  direct_packet_ = &packet;
  try {
    Open();
  } catch (...) {
    direct_packet_ = nullptr;
    throw;
  }
  direct_packet_ = nullptr;
}

void TClientDataSet::OpenCursor() {
  if (direct_packet_ != nullptr) {
    const DataPacketBytes bytes(*direct_packet_);
    LoadDataPacket(bytes.Bytes());
    return;
  }
  if (remote_server_ == nullptr) throw EDatabaseError(SMissingDataPacket);
  const OleVariant reply = FetchAllRecords(*remote_server_, provider_name_, command_text_);
  const DataPacketBytes bytes(*reply);
  LoadDataPacket(bytes.Bytes());
}

}  // namespace tvx
