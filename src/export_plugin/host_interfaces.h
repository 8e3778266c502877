// The host's interfaces as the module uses them: the directory interfaces (IDirectoryAccess,
// IDirectory) and the host's connection to the application server (IRemoteConnection), declared
// once in the host SDK and named here in the module's namespace.
#pragma once

#include "tavolex/directory.h"
#include "tavolex/headless.h"
#include "tavolex/plugin.h"

namespace tvx {

using tavolex::IDirectory;
using tavolex::IDirectoryAccess;
using tavolex::IHostApplication;
using tavolex::IRemoteConnection;

}  // namespace tvx
