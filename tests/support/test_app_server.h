// An application server for tests: an in-process COM object with IAppServer and IDispatch
// (methods ExportAllData and ExportData1C, looked up and invoked for real) that replies to
// AS_GetRecords with the data packet it is given. It records every call with its arguments
// as received, counts its references, and can be told to fail in each way a real server
// or its connection can.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "com/com.h"
#include "com/com_ptr.h"
#include "com/ole_variant.h"
#include "db/data_packet_writer.h"
#include "server_client/app_server.h"
#include "tavolex/unknown_impl.h"

namespace tvx::test {

struct ReceivedArgument {
  VARTYPE vt = VT_EMPTY;  // as received, VT_BYREF included
  OleVariant value;       // the value; for a by-reference variant, the variant referred to
};

struct ReceivedCall {
  std::string method;                       // "ExportData1C", "AS_GetRecords", ...
  std::vector<ReceivedArgument> arguments;  // first to last
  WORD flags = 0;                           // Invoke's flags (DISPATCH_METHOD ...)
  UINT named_arguments = 0;
  bool result_requested = false;
};

class TestAppServer final : public tavolex::UnknownImpl<IAppServer, IDispatch, ISupportErrorInfo> {
 public:
  // The DISPIDs of the two methods.
  static constexpr DISPID kExportAllData = 1;
  static constexpr DISPID kExportData1C = 2;
  // What ExportData1C leaves in its by-reference argument (the caller must free it).
  static constexpr char16_t kLeftInReference[] = u"export finished";
  static constexpr char16_t kSource[] = u"TestAppServer";

  // A new server; the pointer holds its only reference.
  static ComPtr<TestAppServer> Create();

  IDispatch* Dispatch() { return static_cast<IAppServer*>(this); }
  const std::vector<ReceivedCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  // What AS_GetRecords replies: the packet of a table, or any variant (empty, Null, bytes
  // that are no packet).
  void SetPacket(const DataPacketWriter& table);
  void SetReply(OleVariant reply) { reply_ = std::move(reply); }

  // Ways to fail.
  // QueryInterface refuses IAppServer: an automation object that is no application server.
  void SetOffersAppServer(bool offers) { offers_app_server_ = offers; }
  // GetIDsOfNames refuses every name.
  void FailNames(HRESULT code = DISP_E_UNKNOWNNAME) { names_error_ = code; }
  // Invoke reports an exception: DISP_E_EXCEPTION with this scode and description (none
  // when empty), filled in at once or through the deferred fill-in.
  void FailWithException(HRESULT scode, std::u16string description, bool deferred = false);
  // Invoke returns this code.
  void FailWithStatus(HRESULT code) { invoke_status_ = code; }
  // AS_GetRecords returns this code, with error info carrying the description when one is
  // given.
  void FailGetRecords(HRESULT code, std::u16string description = {});

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* arg_error) override;
  // IAppServer
  HRESULT STDMETHODCALLTYPE AS_ApplyUpdates(BSTR ProviderName, VARIANT Delta, int MaxErrors,
                                            int* ErrorCount, VARIANT* OwnerData,
                                            VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetRecords(BSTR ProviderName, int Count, int* RecsOut, int Options,
                                          BSTR CommandText, VARIANT* Params, VARIANT* OwnerData,
                                          VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_DataRequest(BSTR ProviderName, VARIANT Data,
                                           VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetProviderNames(VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_GetParams(BSTR ProviderName, VARIANT* OwnerData,
                                         VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_RowRequest(BSTR ProviderName, VARIANT Row, int RequestType,
                                          VARIANT* OwnerData, VARIANT* Result) override;
  HRESULT STDMETHODCALLTYPE AS_Execute(BSTR ProviderName, BSTR CommandText, VARIANT* Params,
                                       VARIANT* OwnerData) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  TestAppServer() = default;
  ~TestAppServer() override = default;
  void* InterfaceFor(REFIID iid) noexcept override;

  HRESULT CheckArguments(DISPID id, const DISPPARAMS& params, UINT* arg_error) const;
  HRESULT ReportException(EXCEPINFO* exception) const;

  std::vector<ReceivedCall> calls_;
  OleVariant reply_;
  bool offers_app_server_ = true;
  HRESULT names_error_ = S_OK;
  HRESULT invoke_status_ = S_OK;
  bool exception_ = false;
  HRESULT exception_scode_ = S_OK;
  std::u16string exception_description_;
  bool exception_deferred_ = false;
  HRESULT get_records_error_ = S_OK;
  std::u16string get_records_description_;
};

}  // namespace tvx::test
