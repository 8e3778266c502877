// The host's interfaces as the module uses them: the directory interfaces (IDirectoryAccess,
// IDirectory) and the host's connection to the application server (IRemoteConnection), declared
// once in the host SDK and named here in the module's namespace.
#pragma once

#include "com/interface_id.h"
#include "tavolex/directory.h"
#include "tavolex/plugin.h"

namespace tvx {

using tavolex::IDirectory;
using tavolex::IDirectoryAccess;
using tavolex::IHostApplication;
using tavolex::IRemoteConnection;

// The SDK's interfaces for IidOf<> and ComPtr's queries: each carries its identifier.
template <class Interface>
requires requires { Interface::kIid; }
struct InterfaceId<Interface> {
  static const IID& Get() { return Interface::kIid; }
};

}  // namespace tvx
