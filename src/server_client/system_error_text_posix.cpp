// Without a system message table, the texts of the status codes that automation calls
// commonly end with, as Windows words them in English.
#include "server_client/ole_errors.h"

namespace tvx {

namespace {

struct KnownText {
  HRESULT code;
  const char* text;
};

constexpr KnownText kTexts[] = {
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_ABORT, "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_ACCESSDENIED, "Access is denied"},
    {E_HANDLE, "The handle is invalid"},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation"},
    {E_INVALIDARG, "The parameter is incorrect"},
    {RPC_E_SERVERFAULT, "The server threw an exception"},
    {RPC_E_DISCONNECTED, "The object invoked has disconnected from its clients"},
    {DISP_E_UNKNOWNINTERFACE, "Unknown interface"},
    {DISP_E_MEMBERNOTFOUND, "Member not found"},
    {DISP_E_PARAMNOTFOUND, "Parameter not found"},
    {DISP_E_TYPEMISMATCH, "Type mismatch"},
    {DISP_E_UNKNOWNNAME, "Unknown name"},
    {DISP_E_NONAMEDARGS, "No named arguments"},
    {DISP_E_BADVARTYPE, "Bad variable type"},
    {DISP_E_EXCEPTION, "Exception occurred"},
    {DISP_E_OVERFLOW, "Out of present range"},
    {DISP_E_BADINDEX, "Invalid index"},
    {DISP_E_UNKNOWNLCID, "Unknown language"},
    {DISP_E_ARRAYISLOCKED, "Memory is locked"},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
    {DISP_E_PARAMNOTOPTIONAL, "Parameter not optional"},
    {TYPE_E_ELEMENTNOTFOUND, "Element not found"},
};

}  // namespace

std::string SystemErrorText(HRESULT code) {
  for (const KnownText& known : kTexts) {
    if (known.code == code) return known.text;
  }
  return {};
}

}  // namespace tvx
