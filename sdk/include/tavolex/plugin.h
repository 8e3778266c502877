// The plug-in module's boundary: the entry that the module exports, the plug-in object and its
// commands that the module implements, and the host application and connection that the host
// implements. docs/host-sdk.md describes the rules; in short: every interface derives from
// IUnknown, every operation returns a status, texts travel as BSTR (UTF-16), and a failure
// comes with error info (SetErrorInfo) whose description is the module's message and whose
// source is the class of the exception behind it. kSilentAbort is a success and comes without
// error info.
#pragma once

#include "tavolex/com_types.h"

namespace tavolex {

// The status of an operation that stopped silently: the module has already told the operator
// what was wrong in a box of its own, and the host should show nothing more. It is a success
// code (S_FALSE), so that hosts whose language turns every failure into an exception show no
// second box; every failure is a failure code with error info.
inline constexpr HRESULT kSilentAbort = S_FALSE;

// A window handle as it crosses the boundary (an HWND on Windows; 0 for none).
using WindowHandleValue = ULONGLONG;

struct IPluginCommand;
struct IHostApplication;

// {92232F8F-D822-4196-90F7-0331E688EC5D}
inline constexpr IID IID_IPlugin = {
    0x92232F8F, 0xD822, 0x4196, {0x90, 0xF7, 0x03, 0x31, 0xE6, 0x88, 0xEC, 0x5D}};
// {A4947BB2-11B6-4684-921B-4B11BD4B63BD}
inline constexpr IID IID_IPluginCommand = {
    0xA4947BB2, 0x11B6, 0x4684, {0x92, 0x1B, 0x4B, 0x11, 0xBD, 0x4B, 0x63, 0xBD}};
// {AB68FDB2-8ACF-4C99-8704-791C371EFC57}
inline constexpr IID IID_IHostApplication = {
    0xAB68FDB2, 0x8ACF, 0x4C99, {0x87, 0x04, 0x79, 0x1C, 0x37, 0x1E, 0xFC, 0x57}};
// {F1B50505-77FE-4F13-9250-FFD114F17489}
inline constexpr IID IID_IRemoteConnection = {
    0xF1B50505, 0x77FE, 0x4F13, {0x92, 0x50, 0xFF, 0xD1, 0x14, 0xF1, 0x74, 0x89}};

// The plug-in object that RegisterPlugin returns. Texts handed out are new BSTRs that the
// caller frees. The object lives while anyone holds a reference to it, its commands included;
// the last Release destroys it, which first gives the module its own application object back.
struct IPlugin : public IUnknown {
  static constexpr const IID& kIid = IID_IPlugin;

  // Identity texts, for the host to show.
  virtual HRESULT STDMETHODCALLTYPE GetPluginID(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAuthor(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCopyright(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPluginVersion(BSTR* text) = 0;
  // How many instances the plug-in declares to the host.
  virtual HRESULT STDMETHODCALLTYPE GetInstanceCount(LONG* count) = 0;

  // The commands, indexed from 0. A command outside the range fails with E_INVALIDARG.
  virtual HRESULT STDMETHODCALLTYPE GetCommandCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCommand(LONG index, IPluginCommand** command) = 0;

  // Hands the plug-in the host: host_object (any object of the host's, may be null; the plug-in
  // object keeps a reference to it as its HostObject until it is destroyed),
  // the host's application object (required) and the file name the host loaded the module
  // from. *allow_load tells whether the plug-in agrees to be loaded. From here until the object
  // is destroyed, the module's windows are owned by the host application's window and its
  // exceptions are reported through the host application.
  virtual HRESULT STDMETHODCALLTYPE Initialize(IUnknown* host_object, IHostApplication* application,
                                               BSTR file_name, VARIANT_BOOL* allow_load) = 0;
  virtual HRESULT STDMETHODCALLTYPE Configure() = 0;
  // Delivers a message (a number and a text) to the plug-in.
  virtual HRESULT STDMETHODCALLTYPE PluginMessage(LONG message, BSTR text) = 0;
};

// One command of a plug-in. Holding it keeps its plug-in object alive.
struct IPluginCommand : public IUnknown {
  static constexpr const IID& kIid = IID_IPluginCommand;

  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCaption(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHint(BSTR* text) = 0;
  // Further text for the host (the module never reads it).
  virtual HRESULT STDMETHODCALLTYPE GetData(BSTR* text) = 0;
  // The same text as Windows-1251 bytes: a new one-dimensional VT_UI1 array from index 0,
  // which the caller destroys. Characters that code page lacks come out as '?'.
  virtual HRESULT STDMETHODCALLTYPE GetDataBytes(SAFEARRAY** bytes) = 0;
  // The key combination: virtual-key code in the low byte, plus 0x2000 Shift, 0x4000 Ctrl,
  // 0x8000 Alt; 0 for none.
  virtual HRESULT STDMETHODCALLTYPE GetShortCut(USHORT* short_cut) = 0;
  // The picture: its size and a new VT_UI1 array of width*height*4 bytes, rows from the top,
  // each pixel blue, green, red, alpha (a 32-bit top-down DIB). An empty picture is 0 by 0
  // with an empty array.
  virtual HRESULT STDMETHODCALLTYPE GetBitmap(LONG* width, LONG* height, SAFEARRAY** pixels) = 0;
  // Runs the command. sender is the host's object that started it (may be null); the module
  // does not consult it. kSilentAbort (a success): the command stopped after telling the
  // operator why.
  virtual HRESULT STDMETHODCALLTYPE Execute(IUnknown* sender) = 0;
};

// The host's application object, as the module sees it while a plug-in object is initialised.
// Implemented by the host. The module calls it only from within the host's own calls.
struct IHostApplication : public IUnknown {
  static constexpr const IID& kIid = IID_IHostApplication;

  // The window that owns the module's windows and message boxes (0: none).
  virtual HRESULT STDMETHODCALLTYPE GetHandle(WindowHandleValue* window) = 0;
  // The title of the error boxes that the module shows for the host's application.
  virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
  // The host's main form, with a reference for the caller; null when the host has none. The
  // module asks it for IDirectoryAccess.
  virtual HRESULT STDMETHODCALLTYPE GetMainForm(IUnknown** form) = 0;
  // Once the host terminates, the module's modal windows close with the cancel result.
  virtual HRESULT STDMETHODCALLTYPE GetTerminated(VARIANT_BOOL* terminated) = 0;
  // The host's own exception event: an exception escaped an event handler of one of the
  // module's windows. *handled = VARIANT_FALSE lets the module show its default error box
  // (title GetTitle, the message with a full stop, one OK button).
  virtual HRESULT STDMETHODCALLTYPE HandleException(BSTR class_name, BSTR message,
                                                    VARIANT_BOOL* handled) = 0;
  // Handles one message of the host's message loop, waiting for one when none is pending.
  // Modal windows of a windowed module run their loop through it; the headless module runs a
  // loop of its own and does not call it. A failed status (E_NOTIMPL from a host that has no
  // loop to offer) makes the module handle that message with a loop of its own.
  virtual HRESULT STDMETHODCALLTYPE HandleMessage() = 0;
};

// The host's connection to the application server. Implemented by the host, which owns it.
struct IRemoteConnection : public IUnknown {
  static constexpr const IID& kIid = IID_IRemoteConnection;

  // The server's automation object as a VT_DISPATCH variant, obtained anew on every call; the
  // caller clears it.
  virtual HRESULT STDMETHODCALLTYPE GetAppServer(VARIANT* app_server) = 0;
};

// The module's exported entry, by name (ordinal 1 on Windows). Returns a new plug-in object with
// one reference that the caller owns, or null with error info when it cannot be created.
using RegisterPluginFunction = IPlugin*(STDMETHODCALLTYPE*)();
inline constexpr char kRegisterPluginEntry[] = "RegisterPlugin";

}  // namespace tavolex
