// An example host written in C# (.NET Framework 4 or Mono on Windows):
//
//   TavolexCSharpHost.exe [PATH\Tavolex.plu] [--export HOST:PORT USER PASSWORD]
//
// It loads the module of the process's bitness (by default x64\Tavolex.plu or x86\Tavolex.plu
// beside the program), asks RegisterPlugin for the plug-in object, prints its identity and its
// commands, initialises it with host objects of its own (an application object, a main form
// with IDirectoryAccess, a directory with IDirectory) and runs its first command. With --export
// the directory hands the module the connection of TavolexConnection.dll (beside the module) to
// the example application server; without it the module tells the operator that there is no
// connection. Every object of the module is released before the library is unloaded.
using System;
using System.IO;
using System.Runtime.InteropServices;

namespace Tavolex.Examples {

static class NativeMethods {
  [DllImport("kernel32", CharSet = CharSet.Unicode, SetLastError = true)]
  public static extern IntPtr LoadLibraryW(string fileName);

  [DllImport("kernel32", CharSet = CharSet.Ansi, ExactSpelling = true, SetLastError = true)]
  public static extern IntPtr GetProcAddress(IntPtr module, string name);

  [DllImport("kernel32", SetLastError = true)]
  public static extern bool FreeLibrary(IntPtr module);

  [StructLayout(LayoutKind.Sequential)]
  public struct Message {
    public IntPtr Window;
    public uint Id;
    public UIntPtr WParam;
    public IntPtr LParam;
    public uint Time;
    public int X, Y;
  }

  [DllImport("user32", CharSet = CharSet.Unicode)]
  public static extern bool PeekMessageW(out Message message, IntPtr window, uint first, uint last,
                                         uint remove);

  [DllImport("user32")]
  public static extern bool TranslateMessage(ref Message message);

  [DllImport("user32", CharSet = CharSet.Unicode)]
  public static extern IntPtr DispatchMessageW(ref Message message);

  public const uint PeekRemove = 1;
  public const int NotImplemented = unchecked((int)0x80004001);
}

// TavolexConnection.dll's entry (tavolex_connection.h).
[UnmanagedFunctionPointer(CallingConvention.StdCall, CharSet = CharSet.Unicode)]
delegate int TavolexConnectFunction(string address, string user, string password,
                                    out IntPtr connection);

// The host's application object: no window of its own, its title, its main form.
[ComVisible(true), ClassInterface(ClassInterfaceType.None)]
sealed class HostApplication : IHostApplication {
  readonly MainForm mainForm;
  public HostApplication(MainForm mainForm) { this.mainForm = mainForm; }

  public ulong GetHandle() { return 0; }
  public string GetTitle() { return "Tavolex C# host"; }
  public object GetMainForm() { return mainForm; }
  public bool GetTerminated() { return false; }
  public bool HandleException(string className, string message) {
    Console.Error.WriteLine("module's exception {0}: {1}", className, message);
    return false;  // the module shows its own error box
  }
  // The host runs no message loop one message at a time: the module runs its own.
  public int HandleMessage() { return NativeMethods.NotImplemented; }
}

// The host's main form offers the directory.
[ComVisible(true), ClassInterface(ClassInterfaceType.None)]
sealed class MainForm : IDirectoryAccess {
  readonly Directory directory;
  public MainForm(Directory directory) { this.directory = directory; }

  public object GetDirectory() { return directory; }
  public void ReservedSlot2() { throw new NotImplementedException(); }
  public void ReservedSlot3() { throw new NotImplementedException(); }
}

// The host's directory hands out its connection (null when it has none); the module releases
// the reference that it gets.
[ComVisible(true), ClassInterface(ClassInterfaceType.None)]
sealed class Directory : IDirectory {
  public IRemoteConnection Connection;

  public IRemoteConnection GetRemoteServer() { return Connection; }
  public void ReservedSlot1() { throw new NotImplementedException(); }
  public void ReservedSlot2() { throw new NotImplementedException(); }
  public void ReservedSlot3() { throw new NotImplementedException(); }
  public void ReservedSlot4() { throw new NotImplementedException(); }
  public void ReservedSlot5() { throw new NotImplementedException(); }
  public void ReservedSlot6() { throw new NotImplementedException(); }
  public void ReservedSlot8() { throw new NotImplementedException(); }
  public void ReservedSlot9() { throw new NotImplementedException(); }
  public void ReservedSlot10() { throw new NotImplementedException(); }
  public void ReservedSlot11() { throw new NotImplementedException(); }
  public void ReservedSlot12() { throw new NotImplementedException(); }
  public void ReservedSlot13() { throw new NotImplementedException(); }
  public void ReservedSlot14() { throw new NotImplementedException(); }
  public void ReservedSlot15() { throw new NotImplementedException(); }
  public void ReservedSlot16() { throw new NotImplementedException(); }
  public void ReservedSlot17() { throw new NotImplementedException(); }
  public void ReservedSlot18() { throw new NotImplementedException(); }
  public void ReservedSlot19() { throw new NotImplementedException(); }
  public void ReservedSlot20() { throw new NotImplementedException(); }
  public void ReservedSlot21() { throw new NotImplementedException(); }
  public void ReservedSlot22() { throw new NotImplementedException(); }
  public void ReservedSlot23() { throw new NotImplementedException(); }
}

static class Program {
  const int SilentAbort = 1;  // S_FALSE: the module has told the operator already

  // A native library's entry as a delegate; fails with the entry's name.
  static T Entry<T>(IntPtr library, string name) where T : class {
    IntPtr address = NativeMethods.GetProcAddress(library, name);
    if (address == IntPtr.Zero) throw new EntryPointNotFoundException(name);
    return (T)(object)Marshal.GetDelegateForFunctionPointer(address, typeof(T));
  }

  // The interface behind a pointer handed out with one reference, which the wrapper takes over.
  static T TakeOver<T>(IntPtr pointer) where T : class {
    T wrapper = (T)Marshal.GetObjectForIUnknown(pointer);  // adds a reference of its own
    Marshal.Release(pointer);
    return wrapper;
  }

  // Handles the messages that wait: the module releases its dialog through a posted one.
  static void DispatchPending() {
    NativeMethods.Message message;
    while (NativeMethods.PeekMessageW(out message, IntPtr.Zero, 0, 0, NativeMethods.PeekRemove)) {
      NativeMethods.TranslateMessage(ref message);
      NativeMethods.DispatchMessageW(ref message);
    }
  }

  static void Release(object wrapper) {
    if (wrapper != null) Marshal.FinalReleaseComObject(wrapper);
  }

  [STAThread]
  static int Main(string[] args) {
    string bitness = Environment.Is64BitProcess ? "x64" : "x86";
    string modulePath = Path.Combine(AppDomain.CurrentDomain.BaseDirectory, bitness, "Tavolex.plu");
    string[] export = null;
    for (int i = 0; i < args.Length; i++) {
      if (args[i] == "--export" && i + 3 < args.Length) {
        export = new[] { args[i + 1], args[i + 2], args[i + 3] };
        i += 3;
      } else if (!args[i].StartsWith("--")) {
        modulePath = Path.GetFullPath(args[i]);
      } else {
        Console.Error.WriteLine(
            "usage: TavolexCSharpHost [PATH\\Tavolex.plu] [--export HOST:PORT USER PASSWORD]");
        return 2;
      }
    }

    IntPtr library = NativeMethods.LoadLibraryW(modulePath);
    if (library == IntPtr.Zero) {
      Console.Error.WriteLine("cannot load {0} (error {1}); this process takes the {2} file",
                              modulePath, Marshal.GetLastWin32Error(), bitness);
      return 1;
    }
    IntPtr connectionLibrary = IntPtr.Zero;
    var directory = new Directory();
    var mainForm = new MainForm(directory);
    var application = new HostApplication(mainForm);
    IPlugin plugin = null;
    IPluginCommand command = null;
    try {
      if (export != null) {
        string connectionPath =
            Path.Combine(Path.GetDirectoryName(modulePath), "TavolexConnection.dll");
        connectionLibrary = NativeMethods.LoadLibraryW(connectionPath);
        if (connectionLibrary == IntPtr.Zero)
          throw new DllNotFoundException(connectionPath);
        IntPtr raw;
        Marshal.ThrowExceptionForHR(Entry<TavolexConnectFunction>(
            connectionLibrary, "TavolexConnect")(export[0], export[1], export[2], out raw));
        directory.Connection = TakeOver<IRemoteConnection>(raw);
      }

      IntPtr pluginPointer = Entry<RegisterPluginFunction>(library, "RegisterPlugin")();
      if (pluginPointer == IntPtr.Zero) throw new COMException("RegisterPlugin made no plug-in");
      plugin = TakeOver<IPlugin>(pluginPointer);
      Console.WriteLine("plug-in: {0} {1} ({2}, {3})", plugin.GetPluginID(),
                        plugin.GetPluginVersion(), plugin.GetAuthor(), plugin.GetCopyright());
      int count = plugin.GetCommandCount();
      Console.WriteLine("commands: {0}", count);
      for (int i = 0; i < count; i++) {
        IPluginCommand listed = plugin.GetCommand(i);
        Console.WriteLine("command {0}: {1} \"{2}\", short cut {3:X4}", i, listed.GetName(),
                          listed.GetCaption(), listed.GetShortCut());
        Release(listed);
      }

      bool allowLoad;
      int status = plugin.Initialize(mainForm, application, modulePath, out allowLoad);
      Marshal.ThrowExceptionForHR(status);
      Console.WriteLine("initialised: {0}", allowLoad ? "allowed" : "refused");
      if (allowLoad && count > 0) {
        command = plugin.GetCommand(0);
        status = command.Execute(null);
        Marshal.ThrowExceptionForHR(status);
        Console.WriteLine(status == SilentAbort ? "executed: stopped, the operator has been told"
                                                : "executed: done");
      }
      DispatchPending();
      return 0;
    } catch (Exception error) {
      // A failure of the module's: its message from the error info, the status as HResult.
      Console.Error.WriteLine("failed: {0} (status {1:X8})", error.Message, error.HResult);
      return 1;
    } finally {
      Release(command);
      Release(plugin);
      Release(directory.Connection);
      directory.Connection = null;
      NativeMethods.FreeLibrary(library);
      if (connectionLibrary != IntPtr.Zero) NativeMethods.FreeLibrary(connectionLibrary);
    }
  }
}

}  // namespace Tavolex.Examples
