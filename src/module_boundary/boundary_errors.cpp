#include "module_boundary/boundary_errors.h"

#include <exception>
#include <new>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "rtl/text.h"
#include "tavolex/plugin.h"
#include "ui/headless/headless_backend.h"

namespace tvx {

namespace {

void SetError(REFIID iid, const std::string& class_name, const std::string& message) noexcept {
  try {
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Put()))) return;
    BStr source(Utf8ToUtf16(class_name));
    BStr description(Utf8ToUtf16(message));
    create->SetGUID(iid);
    create->SetSource(source.Get());
    create->SetDescription(description.Get());
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) SetErrorInfo(0, info.Get());
  } catch (...) {
    // No memory for the description: the status alone goes back.
    SetErrorInfo(0, nullptr);
  }
}

HRESULT StatusOf(const Exception& error) {
  if (const auto* ole = dynamic_cast<const EOleSysError*>(&error)) {
    return FAILED(ole->ErrorCode()) ? ole->ErrorCode() : E_FAIL;
  }
  if (const auto* argument = dynamic_cast<const EInvalidArgument*>(&error)) {
    return argument->Status();
  }
  if (dynamic_cast<const EIntfCastError*>(&error) != nullptr) return E_NOINTERFACE;
  if (dynamic_cast<const EListError*>(&error) != nullptr) return E_INVALIDARG;
  return E_FAIL;
}

}  // namespace

HRESULT ReportFailure(REFIID iid) noexcept {
  try {
    throw;
  } catch (const EAbort&) {
    SetErrorInfo(0, nullptr);
    return tavolex::kSilentAbort;
  } catch (const Exception& error) {
    const HRESULT status = StatusOf(error);
    SetError(iid, error.ClassName(), error.Message());
    return status;
  } catch (const std::bad_alloc&) {
    SetError(iid, "EOutOfMemory", "Out of memory");
    return E_OUTOFMEMORY;
  } catch (const std::exception& error) {
    SetError(iid, "Exception", error.what());
    return E_FAIL;
  } catch (const headless::HeadlessFailure& failure) {
    SetError(iid, "HeadlessFailure", failure.Message());
    return E_FAIL;
  } catch (...) {
    SetError(iid, "Exception", "Unexpected failure inside the module");
    return E_UNEXPECTED;
  }
}

void OutText(BSTR* out, const std::string& text) {
  *Required(out) = nullptr;
  *out = BStr(Utf8ToUtf16(text)).Detach();
}

void OutTexts(BSTR* first_out, const std::string& first, BSTR* second_out,
              const std::string& second) {
  *Required(first_out) = nullptr;
  *Required(second_out) = nullptr;
  BStr first_text(Utf8ToUtf16(first));
  BStr second_text(Utf8ToUtf16(second));
  *first_out = first_text.Detach();
  *second_out = second_text.Detach();
}

std::string InText(BSTR text) { return Utf16ToUtf8(BStrView(text)); }

}  // namespace tvx
