// TavolexConnection.dll's entry: a RemoteConnection to the server that the address names.
#include <windows.h>

#include <charconv>
#include <exception>
#include <string>

#include "connection/remote_connection.h"
#include "connection_library/tavolex_connection.h"

namespace {

using tvx::example::ClientOptions;

std::string Utf8(LPCWSTR text) {
  if (text == nullptr) return {};
  return tavolex::ToUtf8(reinterpret_cast<const char16_t*>(text));
}

// "HOST:PORT" or "HOST" into the options; false for anything else.
bool ParseAddress(const std::string& address, ClientOptions& options) {
  const auto colon = address.rfind(':');
  options.host = address.substr(0, colon);
  if (options.host.empty()) return false;
  if (colon == std::string::npos) return true;
  const char* first = address.data() + colon + 1;
  const char* last = address.data() + address.size();
  unsigned port = 0;
  const auto [end, error] = std::from_chars(first, last, port);
  if (error != std::errc() || end != last || first == last || port == 0 || port > 65535) {
    return false;
  }
  options.port = static_cast<std::uint16_t>(port);
  return true;
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE TavolexConnect(LPCWSTR address, LPCWSTR user, LPCWSTR password,
                                                 IRemoteConnection** connection) {
  if (connection == nullptr) return E_POINTER;
  *connection = nullptr;
  try {
    ClientOptions options;
    options.client_name = "TavolexConnection.dll";
    const std::string text = Utf8(address);
    if (!ParseAddress(text, options)) {
      return tvx::example::FailWithErrorInfo(
          E_INVALIDARG, "TavolexConnect",
          "Адрес сервера приложений «" + text + "» не вида ХОСТ:ПОРТ",
          tavolex::IID_IRemoteConnection);
    }
    options.user = Utf8(user);
    options.password = Utf8(password);
    *connection =
        tvx::example::MakeHostObject<tvx::example::RemoteConnection>(std::move(options)).Detach();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    return tvx::example::FailWithErrorInfo(E_FAIL, "TavolexConnect", error.what(),
                                           tavolex::IID_IRemoteConnection);
  }
}
