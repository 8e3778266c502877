// The plug-in module's boundary for C++ hosts: the entry that the module exports, the plug-in
// object and its commands that the module implements, and the host application and connection
// that the host implements. The interfaces themselves are declared once, in the boundary's IDL,
// and come from the header that widl makes of it (tavolex/boundary.h, which C hosts include
// alone); this header names them in namespace tavolex. docs/host-sdk.md describes the rules; in
// short: every interface derives from IUnknown, every operation returns a status, texts travel as
// BSTR (UTF-16), and a failure comes with error info (SetErrorInfo) whose description is the
// module's message and whose source is the class of the exception behind it. kSilentAbort is a
// success and comes without error info.
#pragma once

#include "tavolex/com_types.h"

namespace tavolex {

// The status of an operation that stopped silently: the module has already told the operator
// what was wrong in a box of its own, and the host should show nothing more. It is a success
// code (S_FALSE), so that hosts whose language turns every failure into an exception show no
// second box; every failure is a failure code with error info.
inline constexpr HRESULT kSilentAbort = S_FALSE;

// A window handle as it crosses the boundary (an HWND on Windows; 0 for none).
using ::WindowHandleValue;

// The plug-in object that RegisterPlugin returns (texts handed out are new BSTRs that the caller
// frees; the last Release destroys it, which first gives the module its own application object
// back), one of its commands (holding it keeps its plug-in object alive), and the host's
// application object and connection to the application server, which the host implements.
using ::IHostApplication;
using ::IPlugin;
using ::IPluginCommand;
using ::IRemoteConnection;

inline constexpr const IID& IID_IPlugin = IidOf<IPlugin>();
inline constexpr const IID& IID_IPluginCommand = IidOf<IPluginCommand>();
inline constexpr const IID& IID_IHostApplication = IidOf<IHostApplication>();
inline constexpr const IID& IID_IRemoteConnection = IidOf<IRemoteConnection>();

// The module's exported entry, by name (ordinal 1 on Windows). Returns a new plug-in object with
// one reference that the caller owns, or null with error info when it cannot be created.
using RegisterPluginFunction = ::TavolexRegisterPluginFunction;
inline constexpr char kRegisterPluginEntry[] = "RegisterPlugin";

}  // namespace tavolex
