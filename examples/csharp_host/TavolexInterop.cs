// The boundary of Tavolex.plu declared for C#: every interface of the type library (Tavolex.tlb),
// with its identifier, as an IUnknown-based COM interface, its operations in the type library's
// order (reserved slots included: a slot left out moves every later one). An [out, retval]
// parameter is the method's result; [PreserveSig] keeps the HRESULT where a success other than
// S_OK matters (S_FALSE from Initialize and Execute; E_NOTIMPL from a host's HandleMessage).
// The test of the C# host holds this file's interfaces, slot by slot, against the type library.
using System;
using System.Runtime.InteropServices;

namespace Tavolex {

// The plug-in object that RegisterPlugin returns.
[ComImport, Guid("92232F8F-D822-4196-90F7-0331E688EC5D"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IPlugin {
  [return: MarshalAs(UnmanagedType.BStr)] string GetPluginID();
  [return: MarshalAs(UnmanagedType.BStr)] string GetAuthor();
  [return: MarshalAs(UnmanagedType.BStr)] string GetCopyright();
  [return: MarshalAs(UnmanagedType.BStr)] string GetDescription();
  [return: MarshalAs(UnmanagedType.BStr)] string GetPluginVersion();
  int GetInstanceCount();
  int GetCommandCount();
  IPluginCommand GetCommand(int index);
  // S_OK, or S_FALSE when the plug-in stopped after telling the operator why.
  [PreserveSig]
  int Initialize([MarshalAs(UnmanagedType.IUnknown)] object hostObject,
                 IHostApplication application, [MarshalAs(UnmanagedType.BStr)] string fileName,
                 [MarshalAs(UnmanagedType.VariantBool)] out bool allowLoad);
  void Configure();
  void PluginMessage(int message, [MarshalAs(UnmanagedType.BStr)] string text);
}

// One command of a plug-in.
[ComImport, Guid("A4947BB2-11B6-4684-921B-4B11BD4B63BD"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IPluginCommand {
  [return: MarshalAs(UnmanagedType.BStr)] string GetName();
  [return: MarshalAs(UnmanagedType.BStr)] string GetCaption();
  [return: MarshalAs(UnmanagedType.BStr)] string GetHint();
  [return: MarshalAs(UnmanagedType.BStr)] string GetData();
  [return: MarshalAs(UnmanagedType.SafeArray, SafeArraySubType = VarEnum.VT_UI1)]
  byte[] GetDataBytes();
  ushort GetShortCut();
  void GetBitmap(out int width, out int height,
                 [MarshalAs(UnmanagedType.SafeArray, SafeArraySubType = VarEnum.VT_UI1)]
                 out byte[] pixels);
  // S_OK, or S_FALSE when the command stopped after telling the operator why.
  [PreserveSig]
  int Execute([MarshalAs(UnmanagedType.IUnknown)] object sender);
}

// The host's application object, implemented by the host.
[ComImport, Guid("AB68FDB2-8ACF-4C99-8704-791C371EFC57"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IHostApplication {
  // The owner window's handle, widened to 64 bits in both bitnesses (0: none).
  ulong GetHandle();
  [return: MarshalAs(UnmanagedType.BStr)] string GetTitle();
  [return: MarshalAs(UnmanagedType.IUnknown)] object GetMainForm();
  [return: MarshalAs(UnmanagedType.VariantBool)] bool GetTerminated();
  [return: MarshalAs(UnmanagedType.VariantBool)]
  bool HandleException([MarshalAs(UnmanagedType.BStr)] string className,
                       [MarshalAs(UnmanagedType.BStr)] string message);
  // E_NOTIMPL makes the module run a message loop of its own.
  [PreserveSig]
  int HandleMessage();
}

// The host's connection to the application server.
[ComImport, Guid("F1B50505-77FE-4F13-9250-FFD114F17489"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IRemoteConnection {
  // The server's automation object (a VT_DISPATCH variant).
  [return: MarshalAs(UnmanagedType.Struct)] object GetAppServer();
}

// Offered by the host's main form; the module calls GetDirectory only.
[ComImport, Guid("EF0D565C-18B5-46EF-82C1-AF9B39016DE4"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IDirectoryAccess {
  [return: MarshalAs(UnmanagedType.IUnknown)] object GetDirectory();
  void ReservedSlot2();
  void ReservedSlot3();
}

// The host's directory; the module calls GetRemoteServer, the seventh slot, only.
[ComImport, Guid("D244E16B-432E-408F-9D31-B79503DF3908"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IDirectory {
  void ReservedSlot1();
  void ReservedSlot2();
  void ReservedSlot3();
  void ReservedSlot4();
  void ReservedSlot5();
  void ReservedSlot6();
  IRemoteConnection GetRemoteServer();
  void ReservedSlot8();
  void ReservedSlot9();
  void ReservedSlot10();
  void ReservedSlot11();
  void ReservedSlot12();
  void ReservedSlot13();
  void ReservedSlot14();
  void ReservedSlot15();
  void ReservedSlot16();
  void ReservedSlot17();
  void ReservedSlot18();
  void ReservedSlot19();
  void ReservedSlot20();
  void ReservedSlot21();
  void ReservedSlot22();
  void ReservedSlot23();
}

// The test variant's (TavolexHeadless.plu) operator driver and the step it runs when a modal
// loop waits for input.
[ComImport, Guid("63C26F1F-7D45-4FD0-A0E6-E58E49215683"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IModalStep {
  void Run([MarshalAs(UnmanagedType.BStr)] string form);
}

[ComImport, Guid("2792E7D8-29AB-4850-9961-BB08AD025A0E"),
 InterfaceType(ComInterfaceType.InterfaceIsIUnknown)]
public interface IHeadlessDriver {
  void WhenModal(IModalStep step);
  int GetPendingSteps();
  void AnswerBox(int answer);
  int GetPendingAnswers();
  [return: MarshalAs(UnmanagedType.BStr)] string GetActiveForm();
  void Click([MarshalAs(UnmanagedType.BStr)] string control);
  void Type([MarshalAs(UnmanagedType.BStr)] string text);
  void Press(ushort key, int modifiers);
  void CloseBox();
  void ProcessMessages();
  [return: MarshalAs(UnmanagedType.BStr)]
  string GetControlText([MarshalAs(UnmanagedType.BStr)] string control);
  int GetControlState([MarshalAs(UnmanagedType.BStr)] string control);
  [return: MarshalAs(UnmanagedType.BStr)] string GetFocus();
  int GetBoxCount();
  void GetBox(int index, out int kind, [MarshalAs(UnmanagedType.BStr)] out string title,
              [MarshalAs(UnmanagedType.BStr)] out string text, out ulong owner, out int answer);
  int GetWindowCount();
  void GetWindow(int index, [MarshalAs(UnmanagedType.BStr)] out string form, out ulong handle,
                 out ulong owner);
  int GetFocusChangeCount();
  void GetFocusChange(int index, [MarshalAs(UnmanagedType.BStr)] out string form,
                      [MarshalAs(UnmanagedType.BStr)] out string control);
  [return: MarshalAs(UnmanagedType.VariantBool)] bool GetOwnApplicationCurrent();
  int GetPostedCount();
}

// The module's entries: RegisterPlugin (and the test variant's GetHeadlessDriver) take nothing
// and return the interface pointer as a plain result with one reference for the caller, so they
// are declared with an IntPtr result and the pointer taken over by the caller.
[UnmanagedFunctionPointer(CallingConvention.StdCall)]
public delegate IntPtr RegisterPluginFunction();

}  // namespace Tavolex
