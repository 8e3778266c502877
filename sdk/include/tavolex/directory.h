// The host's directory interfaces, which the host implements. The module calls exactly two of
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

// IDirectoryAccess is offered by the host's main form; its GetDirectory hands out the host's
// directory with a reference for the caller (or null), which the module asks for IDirectory.
// IDirectory::GetRemoteServer hands out the host's connection to the application server with a
// reference for the caller, which releases it (the module: when the dialog that uses the
// connection is freed); null when the host has none.
using ::IDirectory;
using ::IDirectoryAccess;

inline constexpr const IID& IID_IDirectoryAccess = IidOf<IDirectoryAccess>();
inline constexpr const IID& IID_IDirectory = IidOf<IDirectory>();

}  // namespace tavolex
