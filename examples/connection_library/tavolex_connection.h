/* TavolexConnection.dll: the example's connection to its application server, for hosts written
 * in any language. A host takes the entry with GetProcAddress and hands the connection that it
 * returns to the module through its directory's GetRemoteServer.
 *
 *   TavolexConnectFunction connect =
 *       (TavolexConnectFunction)GetProcAddress(library, TAVOLEX_CONNECT_ENTRY);
 *   IRemoteConnection* connection = NULL;
 *   HRESULT status = connect(L"127.0.0.1:2110", L"user", L"password", &connection);
 *
 * The connection is made when the module first asks for the application server, and again
 * whenever the one it had is gone. Release the connection before unloading the library. */
#ifndef TAVOLEX_CONNECTION_H
#define TAVOLEX_CONNECTION_H

#include "tavolex/boundary.h"

#define TAVOLEX_CONNECT_ENTRY "TavolexConnect"

/* address: "HOST:PORT" or "HOST" (port 2110). user and password: one of the server's users.
 * On success *connection holds one reference for the caller. E_INVALIDARG, with error info,
 * for an address that is not of that form. */
typedef HRESULT(STDAPICALLTYPE* TavolexConnectFunction)(LPCWSTR address, LPCWSTR user,
                                                        LPCWSTR password,
                                                        IRemoteConnection** connection);

#endif
