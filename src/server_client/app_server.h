// IAppServer: the application server's provider interface. Each operation returns a status
// code; its result, when it has one, is the last (out) parameter.
#pragma once

#include "com/com.h"
#include "tavolex/interface_id.h"

namespace tvx {

// Options of AS_GetRecords.
inline constexpr int grMetaData = 1;  // the reply carries the column descriptions
inline constexpr int grReset = 2;     // start reading from the first row again

struct IAppServer : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE AS_ApplyUpdates(BSTR ProviderName, VARIANT Delta, int MaxErrors,
                                                    int* ErrorCount, VARIANT* OwnerData,
                                                    VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_GetRecords(BSTR ProviderName, int Count, int* RecsOut,
                                                  int Options, BSTR CommandText, VARIANT* Params,
                                                  VARIANT* OwnerData, VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_DataRequest(BSTR ProviderName, VARIANT Data,
                                                   VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_GetProviderNames(VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_GetParams(BSTR ProviderName, VARIANT* OwnerData,
                                                 VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_RowRequest(BSTR ProviderName, VARIANT Row, int RequestType,
                                                  VARIANT* OwnerData, VARIANT* Result) = 0;
  virtual HRESULT STDMETHODCALLTYPE AS_Execute(BSTR ProviderName, BSTR CommandText, VARIANT* Params,
                                               VARIANT* OwnerData) = 0;
};

}  // namespace tvx

TAVOLEX_INTERFACE_ID(tvx::IAppServer, "1AEFCC20-7A24-11D2-98B0-C69BEB4B5B6D");
