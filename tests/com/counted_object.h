// A COM object for tests that counts its references and tells when it is freed.
#pragma once

#include "com/com.h"
#include "tavolex/unknown_impl.h"

namespace tvx::test {

class CountedObject final : public tavolex::UnknownImpl<IDispatch> {
 public:
  // `freed` is set when the last reference goes; starts with one reference.
  explicit CountedObject(bool* freed = nullptr) : freed_(freed) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  ~CountedObject() override = default;
  // Out of line, so that the compiler does not follow the deletion into the tests.
  void LastReleased() noexcept override;

  bool* freed_;
};

}  // namespace tvx::test
