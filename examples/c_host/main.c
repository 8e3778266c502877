/* An example host written in plain C (C17): it binds to the module through the SDK's generated
 * header alone, calling every operation through the interfaces' function tables (lpVtbl).
 *
 *   TavolexCHost.exe PATH\Tavolex.plu [--export HOST:PORT USER PASSWORD]
 *
 * It loads the library, asks RegisterPlugin for the plug-in object, prints its identity and its
 * commands, initialises it with host objects of its own (an application object, a main form
 * with IDirectoryAccess, a directory with IDirectory, a connection), releases it and unloads
 * the library. With --export it also runs the command against the application server at that
 * address: its directory hands the module the connection of TavolexConnection.dll (found
 * beside the host), and an operator thread of its own presses OK in the export dialog and
 * answers the box that reports the outcome. Every host object counts its references: the host
 * ends with exit code 0 only when the export (if asked for) succeeded and the module has
 * handed back every reference it took. */
#define COBJMACROS
#include <windows.h>

#include <initguid.h> /* defines the boundary's identifiers in this file */
#include <stdio.h>
#include <string.h>

#include "connection_library/tavolex_connection.h"
#include "operator.h"
#include "tavolex/boundary.h"

/* A text printed as UTF-8. */
static void PrintWide(const char* label, const WCHAR* text) {
  char utf8[2048] = "";
  if (text != NULL) {
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, (int)sizeof utf8, NULL, NULL);
  }
  printf("%s: %s\n", label, utf8);
}

/* A text of the module's, printed as UTF-8; the BSTR is freed. */
static void PrintText(const char* label, BSTR text) {
  PrintWide(label, text);
  SysFreeString(text);
}

/* ---- The host's objects. Each is a struct whose first member is its function table. ---- */

typedef struct Counted {
  const void* table;
  LONG references;
  const IID* iid;
  IUnknown* handed_out; /* what its one handing-out operation gives, with a reference */
} Counted;

static HRESULT STDMETHODCALLTYPE CountedQueryInterface(IUnknown* self, REFIID iid, void** out) {
  Counted* object = (Counted*)self;
  if (out == NULL) return E_POINTER;
  *out = NULL;
  if (!IsEqualIID(iid, &IID_IUnknown) && !IsEqualIID(iid, object->iid)) return E_NOINTERFACE;
  *out = self;
  InterlockedIncrement(&object->references);
  return S_OK;
}

static ULONG STDMETHODCALLTYPE CountedAddRef(IUnknown* self) {
  return (ULONG)InterlockedIncrement(&((Counted*)self)->references);
}

/* The objects live on main's stack: the last Release frees nothing. */
static ULONG STDMETHODCALLTYPE CountedRelease(IUnknown* self) {
  return (ULONG)InterlockedDecrement(&((Counted*)self)->references);
}

/* Hands out handed_out with a reference for the caller (null when there is none). */
static HRESULT HandOut(IUnknown* self, IUnknown** out) {
  if (out == NULL) return E_POINTER;
  *out = ((Counted*)self)->handed_out;
  if (*out != NULL) IUnknown_AddRef(*out);
  return S_OK;
}

/* IHostApplication */
static HRESULT STDMETHODCALLTYPE AppGetHandle(IHostApplication* self, WindowHandleValue* window) {
  (void)self;
  *window = 0;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE AppGetTitle(IHostApplication* self, BSTR* title) {
  (void)self;
  *title = SysAllocString(L"Tavolex C host");
  return *title != NULL ? S_OK : E_OUTOFMEMORY;
}
static HRESULT STDMETHODCALLTYPE AppGetMainForm(IHostApplication* self, IUnknown** form) {
  return HandOut((IUnknown*)self, form);
}
static HRESULT STDMETHODCALLTYPE AppGetTerminated(IHostApplication* self,
                                                  VARIANT_BOOL* terminated) {
  (void)self;
  *terminated = VARIANT_FALSE;
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE AppHandleException(IHostApplication* self, BSTR class_name,
                                                    BSTR message, VARIANT_BOOL* handled) {
  (void)self;
  (void)class_name;
  (void)message;
  *handled = VARIANT_FALSE; /* the module shows its own box */
  return S_OK;
}
static HRESULT STDMETHODCALLTYPE AppHandleMessage(IHostApplication* self) {
  (void)self;
  return E_NOTIMPL; /* no loop of ours to offer: the module runs its own */
}
static const IHostApplicationVtbl kApplicationTable = {
    (void*)CountedQueryInterface,
    (void*)CountedAddRef,
    (void*)CountedRelease,
    AppGetHandle,
    AppGetTitle,
    AppGetMainForm,
    AppGetTerminated,
    AppHandleException,
    AppHandleMessage,
};

/* IDirectoryAccess: GetDirectory and two operations of the host's own. */
static HRESULT STDMETHODCALLTYPE FormGetDirectory(IDirectoryAccess* self, IUnknown** directory) {
  return HandOut((IUnknown*)self, directory);
}
static HRESULT STDMETHODCALLTYPE FormNotImplemented(IDirectoryAccess* self) {
  (void)self;
  return E_NOTIMPL;
}
static const IDirectoryAccessVtbl kMainFormTable = {
    (void*)CountedQueryInterface, (void*)CountedAddRef, (void*)CountedRelease, FormGetDirectory,
    FormNotImplemented,           FormNotImplemented,
};

/* IDirectory: GetRemoteServer is the seventh of its 23 own operations. */
static HRESULT STDMETHODCALLTYPE DirectoryNotImplemented(IDirectory* self) {
  (void)self;
  return E_NOTIMPL;
}
static HRESULT STDMETHODCALLTYPE DirectoryGetRemoteServer(IDirectory* self,
                                                          IRemoteConnection** connection) {
  return HandOut((IUnknown*)self, (IUnknown**)connection);
}
#define NI DirectoryNotImplemented
static const IDirectoryVtbl kDirectoryTable = {
    (void*)CountedQueryInterface,
    (void*)CountedAddRef,
    (void*)CountedRelease,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    DirectoryGetRemoteServer,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
    NI,
};
#undef NI

/* IRemoteConnection: this example has no application server to offer. */
static HRESULT STDMETHODCALLTYPE ConnectionGetAppServer(IRemoteConnection* self,
                                                        VARIANT* app_server) {
  (void)self;
  VariantInit(app_server);
  return E_NOTIMPL;
}
static const IRemoteConnectionVtbl kConnectionTable = {
    (void*)CountedQueryInterface,
    (void*)CountedAddRef,
    (void*)CountedRelease,
    ConnectionGetAppServer,
};

/* ---- The host. ---- */

static int Fail(const char* what, HRESULT status) {
  printf("failed: %s (status %08lX)\n", what, (unsigned long)status);
  return 1;
}

/* The thread's error info after a failure, printed. */
static void PrintErrorInfo(void) {
  IErrorInfo* info = NULL;
  if (GetErrorInfo(0, &info) != S_OK || info == NULL) return;
  BSTR description = NULL;
  if (SUCCEEDED(IErrorInfo_GetDescription(info, &description))) PrintText("error", description);
  IErrorInfo_Release(info);
}

/* The server's connection from TavolexConnection.dll, beside the host. */
static HRESULT Connect(const WCHAR* address, const WCHAR* user, const WCHAR* password,
                       HMODULE* library, IRemoteConnection** connection) {
  *library = LoadLibraryW(L"TavolexConnection.dll");
  if (*library == NULL) return HRESULT_FROM_WIN32(GetLastError());
  TavolexConnectFunction connect =
      (TavolexConnectFunction)(void (*)(void))GetProcAddress(*library, TAVOLEX_CONNECT_ENTRY);
  if (connect == NULL) return HRESULT_FROM_WIN32(GetLastError());
  return connect(address, user, password, connection);
}

/* Runs the plug-in's first command, with the operator at its dialog; true when the command
 * succeeded and the operator saw the export through. */
static BOOL RunExport(IPlugin* plugin, IUnknown* sender) {
  IPluginCommand* command = NULL;
  HRESULT status = IPlugin_GetCommand(plugin, 0, &command);
  if (FAILED(status)) return Fail("GetCommand", status) == 0;
  ExportOperator op;
  if (!StartExportOperator(&op, 60000)) {
    IPluginCommand_Release(command);
    return Fail("CreateThread", HRESULT_FROM_WIN32(GetLastError())) == 0;
  }
  /* The module shows its dialog modally: Execute returns once the dialog has closed. */
  status = IPluginCommand_Execute(command, sender);
  if (FAILED(status)) PrintErrorInfo();
  IPluginCommand_Release(command);
  const BOOL operated = FinishExportOperator(&op);
  /* What the module left to the host's message loop (a closed window's last messages, the
   * freeing of its dialog) is done here, as a host's loop would. */
  MSG message;
  while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  printf("executed: status %08lX%s\n", (unsigned long)status,
         status == S_FALSE ? ", the operator told by the module" : "");
  if (!operated) printf("operator: %s\n", op.failure);
  PrintWide("box title", op.box_title);
  PrintWide("box", op.box_text);
  return SUCCEEDED(status) && operated;
}

int wmain(int argc, wchar_t** argv) {
  const BOOL export_asked = argc == 6 && wcscmp(argv[2], L"--export") == 0;
  if (argc != 2 && !export_asked) {
    printf("usage: TavolexCHost PATH\\Tavolex.plu [--export HOST:PORT USER PASSWORD]\n");
    return 2;
  }
  if (FAILED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED))) return Fail("CoInitializeEx", 0);

  Counted connection = {&kConnectionTable, 1, &IID_IRemoteConnection, NULL};
  Counted directory = {&kDirectoryTable, 1, &IID_IDirectory, (IUnknown*)&connection};
  Counted main_form = {&kMainFormTable, 1, &IID_IDirectoryAccess, (IUnknown*)&directory};
  Counted application = {&kApplicationTable, 1, &IID_IHostApplication, (IUnknown*)&main_form};

  HMODULE connection_library = NULL;
  IRemoteConnection* server_connection = NULL;
  if (export_asked) {
    HRESULT status = Connect(argv[3], argv[4], argv[5], &connection_library, &server_connection);
    if (FAILED(status)) {
      PrintErrorInfo();
      return Fail("TavolexConnect", status);
    }
    directory.handed_out = (IUnknown*)server_connection; /* instead of the host's own */
  }

  HMODULE library = LoadLibraryW(argv[1]);
  if (library == NULL) return Fail("LoadLibraryW", HRESULT_FROM_WIN32(GetLastError()));
  /* The entry returns the interface pointer as its plain result, with one reference. */
  TavolexRegisterPluginFunction entry =
      (TavolexRegisterPluginFunction)(void (*)(void))GetProcAddress(library, "RegisterPlugin");
  if (entry == NULL) return Fail("GetProcAddress RegisterPlugin", E_FAIL);
  IPlugin* plugin = entry();
  if (plugin == NULL) return Fail("RegisterPlugin", E_FAIL);

  BSTR text = NULL;
  if (SUCCEEDED(IPlugin_GetPluginID(plugin, &text))) PrintText("plug-in", text);
  if (SUCCEEDED(IPlugin_GetCopyright(plugin, &text))) PrintText("copyright", text);
  LONG count = 0;
  HRESULT status = IPlugin_GetCommandCount(plugin, &count);
  if (FAILED(status)) return Fail("GetCommandCount", status);
  printf("commands: %ld\n", (long)count);
  for (LONG i = 0; i < count; ++i) {
    IPluginCommand* command = NULL;
    status = IPlugin_GetCommand(plugin, i, &command);
    if (FAILED(status)) return Fail("GetCommand", status);
    if (SUCCEEDED(IPluginCommand_GetName(command, &text))) PrintText("  name", text);
    if (SUCCEEDED(IPluginCommand_GetCaption(command, &text))) PrintText("  caption", text);
    IPluginCommand_Release(command);
  }

  BSTR file_name = SysAllocString(argv[1]);
  VARIANT_BOOL allow = VARIANT_FALSE;
  /* The main form is our host object too: the plug-in holds it until it is destroyed. */
  status = IPlugin_Initialize(plugin, (IUnknown*)&main_form, (IHostApplication*)&application,
                              file_name, &allow);
  SysFreeString(file_name);
  if (FAILED(status)) return Fail("Initialize", status);
  printf("initialised: %s%s\n", allow != VARIANT_FALSE ? "allowed" : "refused",
         status == S_FALSE ? ", stopped by the module" : "");
  printf("held while initialised: application %ld, main form %ld, directory %ld\n",
         (long)application.references - 1, (long)main_form.references - 1,
         (long)directory.references - 1);

  BOOL exported = TRUE;
  if (export_asked)
    exported = allow != VARIANT_FALSE && count > 0 && RunExport(plugin, (IUnknown*)&main_form);

  IPlugin_Release(plugin); /* destroys the plug-in object; only then the library goes */
  FreeLibrary(library);

  int balanced = 1;
  if (server_connection != NULL) {
    /* The module has released what it took: ours is the last reference. */
    const ULONG left = IRemoteConnection_Release(server_connection);
    if (left != 0) {
      printf("connection: %lu references left\n", (unsigned long)left);
      balanced = 0;
    }
    FreeLibrary(connection_library);
  }
  CoUninitialize();

  const Counted* objects[] = {&application, &main_form, &directory, &connection};
  const char* names[] = {"application", "main form", "directory", "connection"};
  for (size_t i = 0; i < sizeof objects / sizeof objects[0]; ++i) {
    if (objects[i]->references != 1) {
      printf("%s: %ld references left\n", names[i], (long)objects[i]->references - 1);
      balanced = 0;
    }
  }
  printf(balanced ? "references: all released\n" : "references: left behind\n");
  if (export_asked) printf(exported ? "export: done\n" : "export: failed\n");
  return balanced && exported ? 0 : 1;
}
