// The host's directory interfaces. The host implements them; the module calls exactly two of
// their operations: IDirectoryAccess::GetDirectory (the first of its three own operations) and
// IDirectory::GetRemoteServer (the seventh of its 23). The other operations belong to the host's
// directory and are not the module's business; they keep their slots under the names
// ReservedSlotN (N counting the interface's own operations from 1), so that the two that matter
// sit where the host's table of operations has them. A host implements the reserved slots as
// it likes (E_NOTIMPL will do): the module never calls them.
#pragma once

#include "tavolex/com_types.h"
#include "tavolex/plugin.h"

namespace tavolex {

// {EF0D565C-18B5-46EF-82C1-AF9B39016DE4}
inline constexpr IID IID_IDirectoryAccess = {
    0xEF0D565C, 0x18B5, 0x46EF, {0x82, 0xC1, 0xAF, 0x9B, 0x39, 0x01, 0x6D, 0xE4}};
// {D244E16B-432E-408F-9D31-B79503DF3908}
inline constexpr IID IID_IDirectory = {
    0xD244E16B, 0x432E, 0x408F, {0x9D, 0x31, 0xB7, 0x95, 0x03, 0xDF, 0x39, 0x08}};

// Offered by the host's main form.
struct IDirectoryAccess : public IUnknown {
  static constexpr const IID& kIid = IID_IDirectoryAccess;

  // The host's directory object with a reference for the caller, or null when there is none.
  // The module asks it for IDirectory.
  virtual HRESULT STDMETHODCALLTYPE GetDirectory(IUnknown** directory) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot2() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot3() = 0;
};

struct IDirectory : public IUnknown {
  static constexpr const IID& kIid = IID_IDirectory;

  virtual HRESULT STDMETHODCALLTYPE ReservedSlot1() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot2() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot3() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot4() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot5() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot6() = 0;
  // The host's connection to the application server, with a reference for the caller, which
  // releases it (the module: when the dialog that uses the connection is freed); null when the
  // host has none.
  virtual HRESULT STDMETHODCALLTYPE GetRemoteServer(IRemoteConnection** connection) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot8() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot9() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot10() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot11() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot12() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot13() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot14() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot15() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot16() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot17() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot18() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot19() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot20() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot21() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot22() = 0;
  virtual HRESULT STDMETHODCALLTYPE ReservedSlot23() = 0;
};

}  // namespace tavolex
