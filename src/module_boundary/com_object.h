// The base of the module's COM objects: the SDK's IUnknown base over the object's interface and
// ISupportErrorInfo (every failure of the object's operations comes with error info). The object
// starts with one reference, which its creator hands on; the last Release deletes it.
#pragma once

#include "com/com.h"
#include "tavolex/com_types.h"
#include "tavolex/unknown_impl.h"

namespace tvx {

template <class Interface>
class ComObject : public tavolex::UnknownImpl<Interface, ISupportErrorInfo> {
 public:
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return IsEqualIID(riid, tavolex::IidOf<Interface>()) ? S_OK : S_FALSE;
  }

  // The object as its interface, for handing out a reference.
  Interface* AsInterface() { return static_cast<Interface*>(this); }
};

}  // namespace tvx
