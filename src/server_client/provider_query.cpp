#include "server_client/provider_query.h"

#include "com/bstr.h"
#include "rtl/text.h"
#include "server_client/ole_errors.h"

namespace tvx {

OleVariant FetchAllRecords(TCustomRemoteServer& connection, std::string_view provider,
                           std::string_view command_text) {
  const ComPtr<IAppServer> server = connection.GetServer();
  const BStr provider_name(Utf8ToUtf16(provider));
  const BStr command(Utf8ToUtf16(command_text));
  OleVariant params = OleVariant::Null();
  OleVariant owner_data;
  OleVariant reply;
  int records_out = 0;
  const HRESULT code =
      server->AS_GetRecords(provider_name.Get(), -1, &records_out, grMetaData, command.Get(),
                            params.Get(), owner_data.Get(), reply.Get());
  CheckCallResult(code, server.Get(), tavolex::IidOf<IAppServer>());
  return reply;
}

}  // namespace tvx
