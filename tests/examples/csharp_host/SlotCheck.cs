// Holds the C# declarations of a compiled host assembly against the boundary's type library:
//
//   mono SlotCheck.exe ASSEMBLY TYPELIB
//
// For every interface of the type library, the assembly's [ComImport] interface with the same
// identifier must carry the same name, derive from IUnknown alone (InterfaceIsIUnknown), and
// declare one method a vtable slot, in the slots' order: the same name, [PreserveSig] exactly
// where the boundary's success codes other than S_OK matter, and the parameters in count,
// direction and type as COM interop marshals them ([out, retval] as the result unless the
// method keeps its HRESULT). Prints one line an interface and each difference; exit code 1 when
// there is one.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;

namespace Tavolex.Tests {

static class SlotCheck {
  // The operations whose callers must see S_FALSE (or, for a host's HandleMessage, hand back
  // E_NOTIMPL without an exception) and so keep their HRESULT.
  static readonly HashSet<string> KeepResult = new HashSet<string> {
    "IPlugin.Initialize", "IPluginCommand.Execute", "IHostApplication.HandleMessage",
  };

  const int IUnknownSlots = 3;

  static int Main(string[] args) {
    if (args.Length != 2) {
      Console.Error.WriteLine("usage: SlotCheck ASSEMBLY TYPELIB");
      return 2;
    }
    Assembly assembly = Assembly.LoadFrom(args[0]);
    var library = new TypeLibrary(args[1]);
    var declared = assembly.GetTypes().Where(t => t.IsInterface && t.IsImport).ToList();
    int differences = 0;
    foreach (LibraryInterface expected in library.Interfaces) {
      List<string> found = Compare(expected, declared);
      differences += found.Count;
      Console.WriteLine("{0}: {1}", expected.Name,
                        found.Count == 0 ? expected.Functions.Count + " slots match"
                                         : found.Count + " differences");
      foreach (string difference in found) Console.WriteLine("  " + difference);
    }
    Console.WriteLine(differences == 0 ? "every interface matches the type library"
                                       : differences + " differences from the type library");
    return differences == 0 ? 0 : 1;
  }

  static List<string> Compare(LibraryInterface expected, List<Type> declared) {
    var differences = new List<string>();
    Type type = declared.FirstOrDefault(t => t.GUID == expected.Id);
    if (type == null) {
      differences.Add("no [ComImport] interface with the identifier " + expected.Id);
      return differences;
    }
    if (type.Name != expected.Name) differences.Add("declared as " + type.Name);
    var kind = (InterfaceTypeAttribute)Attribute.GetCustomAttribute(
        type, typeof(InterfaceTypeAttribute));
    if (kind == null || kind.Value != ComInterfaceType.InterfaceIsIUnknown)
      differences.Add("not InterfaceType(ComInterfaceType.InterfaceIsIUnknown)");
    if (type.GetInterfaces().Length != 0)
      differences.Add("derives from another interface; the slots would follow its own");
    // Metadata order is vtable order for a [ComImport] interface.
    MethodInfo[] methods = type.GetMethods(BindingFlags.Instance | BindingFlags.Public |
                                           BindingFlags.DeclaredOnly)
                               .OrderBy(m => m.MetadataToken)
                               .ToArray();
    int slots = Math.Max(methods.Length, expected.Functions.Count);
    for (int i = 0; i < slots; i++) {
      LibraryFunction function = i < expected.Functions.Count ? expected.Functions[i] : null;
      MethodInfo method = i < methods.Length ? methods[i] : null;
      string slot = "slot " + (IUnknownSlots + i) + ": ";
      if (function == null) {
        differences.Add(slot + method.Name + " is beyond the type library's last slot");
      } else if (method == null) {
        differences.Add(slot + function.Name + " is not declared");
      } else if (function.Slot != IUnknownSlots + i) {
        differences.Add(slot + "the type library has a gap before " + function.Name);
      } else {
        foreach (string difference in CompareMethod(expected.Name, function, method))
          differences.Add(slot + difference);
      }
    }
    return differences;
  }

  static IEnumerable<string> CompareMethod(string interfaceName, LibraryFunction function,
                                           MethodInfo method) {
    if (method.Name != function.Name) {
      yield return "declared " + method.Name + " where the type library has " + function.Name;
      yield break;
    }
    string name = function.Name;
    if (function.Result != "HRESULT")
      yield return name + " returns " + function.Result + " in the type library, not an HRESULT";
    bool keepsResult = (method.MethodImplementationFlags & MethodImplAttributes.PreserveSig) != 0;
    bool mustKeep = KeepResult.Contains(interfaceName + "." + name);
    if (keepsResult != mustKeep)
      yield return name + (mustKeep ? " needs [PreserveSig]: its caller must see S_FALSE"
                                    : " is [PreserveSig]; its HRESULT would go unchecked");
    List<LibraryParameter> parameters = function.Parameters;
    LibraryParameter retval = parameters.Count > 0 && parameters.Last().Retval
                                  ? parameters.Last() : null;
    // Without [PreserveSig], COM interop hands the [out, retval] parameter back as the result
    // and turns a failed HRESULT into an exception.
    if (!keepsResult && retval != null) parameters = parameters.Take(parameters.Count - 1).ToList();
    // A kept HRESULT is an int in C#.
    string result = keepsResult ? "LONG" : retval != null ? Strip(retval.Type) : "void";
    string declaredResult = Marshalled(method.ReturnType, method.ReturnParameter);
    if (declaredResult != result)
      yield return name + " returns " + declaredResult + " where COM interop needs " + result;
    ParameterInfo[] declared = method.GetParameters();
    if (declared.Length != parameters.Count) {
      yield return name + " has " + declared.Length + " parameters where the type library's "
                   + "slot takes " + parameters.Count;
      yield break;
    }
    for (int p = 0; p < declared.Length; p++) {
      LibraryParameter expected = parameters[p];
      ParameterInfo parameter = declared[p];
      string direction = expected.Out ? (expected.In ? "ref" : "out") : "in";
      string declaredDirection = !parameter.ParameterType.IsByRef ? "in"
                                 : parameter.IsOut && !parameter.IsIn ? "out" : "ref";
      if (declaredDirection != direction)
        yield return name + "'s parameter " + (p + 1) + " (" + expected.Name + ") is "
                     + declaredDirection + " where the type library has " + direction;
      string type = Marshalled(parameter.ParameterType, parameter);
      if (type != expected.Type)
        yield return name + "'s parameter " + (p + 1) + " (" + expected.Name + ") is marshalled"
                     + " as " + type + " where the type library has " + expected.Type;
    }
  }

  // The type a pointer points to: what a result declared in C# stands for.
  static string Strip(string pointer) {
    return pointer.EndsWith("*") ? pointer.Substring(0, pointer.Length - 1) : pointer;
  }

  // The IDL's spelling of what COM interop passes for a declared type: its marshalling
  // (MarshalAs, or the default for COM interfaces' methods), one '*' for a by-reference type.
  static string Marshalled(Type type, ParameterInfo where) {
    bool byReference = type.IsByRef;
    if (byReference) type = type.GetElementType();
    var marshal = (MarshalAsAttribute)Attribute.GetCustomAttribute(where,
                                                                    typeof(MarshalAsAttribute));
    UnmanagedType? as_ = marshal != null ? marshal.Value : (UnmanagedType?)null;
    string name;
    if (type == typeof(void)) name = "void";
    else if (type == typeof(int)) name = as_ == null || as_ == UnmanagedType.I4 ? "LONG" : "?";
    else if (type == typeof(ushort)) name = "USHORT";
    else if (type == typeof(ulong)) name = "ULONGLONG";
    else if (type == typeof(string))
      name = as_ == null || as_ == UnmanagedType.BStr ? "BSTR" : "string as " + as_;
    else if (type == typeof(bool))
      name = as_ == null || as_ == UnmanagedType.VariantBool ? "VARIANT_BOOL" : "bool as " + as_;
    else if (type == typeof(object))
      name = as_ == UnmanagedType.IUnknown ? "IUnknown*"
             : as_ == UnmanagedType.IDispatch ? "IDispatch*"
             : as_ == null || as_ == UnmanagedType.Struct ? "VARIANT" : "object as " + as_;
    // A byte array's safe array is of VT_UI1 unless another subtype is named (Mono's
    // reflection reports none).
    else if (type == typeof(byte[]) && (as_ == null || as_ == UnmanagedType.SafeArray) &&
             (marshal == null || marshal.SafeArraySubType == VarEnum.VT_UI1 ||
              marshal.SafeArraySubType == VarEnum.VT_EMPTY))
      name = "SAFEARRAY(BYTE)";
    else if (type.IsInterface && type.IsImport) name = type.Name + "*";
    else name = type.FullName;
    return byReference ? name + "*" : name;
  }
}

}  // namespace Tavolex.Tests
