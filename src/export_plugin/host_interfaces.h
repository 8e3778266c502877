// The host's interfaces as the module uses them: the directory interfaces (IDirectoryAccess,
// IDirectory) and the host's connection to the application server (IRemoteConnection), declared
// once in the host SDK and named here in the module's namespace.
#pragma once

#include "com/interface_id.h"
#include "tavolex/directory.h"
#include "tavolex/headless.h"
#include "tavolex/plugin.h"

namespace tvx {

using tavolex::IDirectory;
using tavolex::IDirectoryAccess;
using tavolex::IHostApplication;
using tavolex::IRemoteConnection;

// The SDK's interfaces for IidOf<> and ComPtr's queries, with the identifiers the boundary's IDL
// gives them.
#define TVX_BOUNDARY_INTERFACE_ID(Interface)                        \
  template <>                                                       \
  struct InterfaceId<Interface> {                                   \
    static const IID& Get() { return tavolex::IidOf<Interface>(); } \
  }
TVX_BOUNDARY_INTERFACE_ID(IPlugin);
TVX_BOUNDARY_INTERFACE_ID(IPluginCommand);
TVX_BOUNDARY_INTERFACE_ID(IHostApplication);
TVX_BOUNDARY_INTERFACE_ID(IRemoteConnection);
TVX_BOUNDARY_INTERFACE_ID(IDirectoryAccess);
TVX_BOUNDARY_INTERFACE_ID(IDirectory);
TVX_BOUNDARY_INTERFACE_ID(IHeadlessDriver);
TVX_BOUNDARY_INTERFACE_ID(IModalStep);
#undef TVX_BOUNDARY_INTERFACE_ID

}  // namespace tvx
