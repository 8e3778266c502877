// TClientDataSet: a data set filled from the application server in one request. Opening
// asks the connection's provider for every row of the command text (one AS_GetRecords
// call) and reads the data packet of the reply.
#pragma once

#include <string>

#include "com/ole_variant.h"
#include "db/data_set.h"

namespace tvx {

class TCustomRemoteServer;

class TClientDataSet : public TDataSet {
  TVX_DECLARE_CLASS(TClientDataSet, TDataSet)

  explicit TClientDataSet(TComponent* owner);

  // The provider on the application server that answers the request.
  const std::string& ProviderName() const { return provider_name_; }
  void SetProviderName(const std::string& name) { provider_name_ = name; }
  // The query the provider runs.
  const std::string& CommandText() const { return command_text_; }
  void SetCommandText(const std::string& text) { command_text_ = text; }
  // One or several field names separated by ';': the rows are held in ascending order of
  // those fields, rows with equal keys in the order the server sent them. Nulls come first.
  // Each name must name a field of the data set ("Field '%s' not found" on opening, or at
  // once while open, when the old order stays).
  const std::string& IndexFieldNames() const { return IndexFieldList(); }
  void SetIndexFieldNames(const std::string& names) { SetIndexFieldList(names); }
  // The connection the request goes through: a reference, neither counted nor freed. When
  // the connection is freed the data set lets go of it.
  TCustomRemoteServer* RemoteServer() const { return remote_server_; }
  void SetRemoteServer(TCustomRemoteServer* server);

  // Opens on a data packet given directly (a byte-array VARIANT) instead of asking the
  // server; closes first. Raises the errors of opening and stays closed when it does.
  void SetData(const VARIANT& packet);

 protected:
  ~TClientDataSet() override;
  // Without a connection raises EDatabaseError "Missing data provider or data packet".
  void OpenCursor() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string provider_name_;
  std::string command_text_;
  TCustomRemoteServer* remote_server_ = nullptr;
  const VARIANT* direct_packet_ = nullptr;  // set only while SetData opens
};

}  // namespace tvx
