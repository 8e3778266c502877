// Reads what a C# declaration must match from a type library file (the MSFT format that widl
// writes and LoadTypeLib reads): each interface's name, identifier and operations in the order
// of their vtable slots, each operation's parameters with their names, directions and types.
// Read natively, so that it runs where no Windows COM run time is.
using System;
using System.Collections.Generic;
using System.IO;
using System.Text;

namespace Tavolex.Tests {

sealed class LibraryParameter {
  public string Name;
  public bool In, Out, Retval;
  public string Type;  // as the IDL spells it: BSTR*, LONG, IPluginCommand**, SAFEARRAY(BYTE)*
}

sealed class LibraryFunction {
  public string Name;
  public int Slot;  // in the whole vtable, IUnknown's three included
  public string Result;
  public List<LibraryParameter> Parameters = new List<LibraryParameter>();
}

sealed class LibraryInterface {
  public string Name;
  public Guid Id;
  public List<LibraryFunction> Functions = new List<LibraryFunction>();
}

sealed class TypeLibrary {
  const int TypeInfoSize = 0x64;
  const int InterfaceKind = 3;
  const int ParamIn = 1, ParamOut = 2, ParamRetval = 8;

  readonly byte[] data;
  readonly int nameTable, guidTable, typeDescriptions;
  public readonly int PointerSize;
  public readonly List<LibraryInterface> Interfaces = new List<LibraryInterface>();

  int Int(int offset) { return BitConverter.ToInt32(data, offset); }
  short Short(int offset) { return BitConverter.ToInt16(data, offset); }

  public TypeLibrary(string path) {
    data = File.ReadAllBytes(path);
    if (Encoding.ASCII.GetString(data, 0, 4) != "MSFT")
      throw new InvalidDataException(path + " is not a type library of the MSFT format");
    int flags = Int(0x14);
    PointerSize = (flags & 0xf) == 3 ? 8 : 4;  // SYS_WIN64, else SYS_WIN32
    int typeInfoCount = Int(0x20);
    int header = 0x54 + ((flags & 0x100) != 0 ? 4 : 0);  // a help DLL's name takes one more
    int segments = header + typeInfoCount * 4;
    int typeInfoTable = Int(segments);
    guidTable = Int(segments + 5 * 16);
    nameTable = Int(segments + 7 * 16);
    typeDescriptions = Int(segments + 9 * 16);
    var types = new List<int>();
    for (int i = 0; i < typeInfoCount; i++) types.Add(typeInfoTable + i * TypeInfoSize);
    var names = new Dictionary<int, string>();
    for (int i = 0; i < typeInfoCount; i++) names[i * TypeInfoSize] = Name(Int(types[i] + 0x34));
    foreach (int info in types) {
      if ((Int(info) & 0xf) != InterfaceKind) continue;
      var entry = new LibraryInterface { Name = Name(Int(info + 0x34)), Id = GuidAt(Int(info + 0x2c)) };
      ReadFunctions(info, entry, names);
      entry.Functions.Sort((a, b) => a.Slot.CompareTo(b.Slot));
      Interfaces.Add(entry);
    }
  }

  string Name(int offset) {
    if (offset < 0) return "";
    int start = nameTable + offset;
    return Encoding.ASCII.GetString(data, start + 12, data[start + 8]);
  }

  Guid GuidAt(int offset) {
    var bytes = new byte[16];
    Array.Copy(data, guidTable + offset, bytes, 0, 16);
    return new Guid(bytes);
  }

  // The functions' records: their block's length, then one record a function (its length in
  // the low half of its first field, its parameters at its end).
  void ReadFunctions(int info, LibraryInterface entry, Dictionary<int, string> typeNames) {
    int functionCount = Int(info + 0x18) & 0xffff;
    int variableCount = (int)((uint)Int(info + 0x18) >> 16);
    int members = Int(info + 0x04);
    if (functionCount == 0) return;
    int blockLength = Int(members);
    int record = members + 4;
    for (int i = 0; i < functionCount; i++) {
      int length = Int(record) & 0xffff;
      int parameterCount = Short(record + 20);
      int nameOffset = Int(members + 4 + blockLength + (functionCount + variableCount + i) * 4);
      var function = new LibraryFunction {
        Name = Name(nameOffset),
        Slot = (Short(record + 12) & ~1) / PointerSize,
        Result = TypeName(Int(record + 4), typeNames),
      };
      int parameters = record + length - parameterCount * 12;
      for (int p = 0; p < parameterCount; p++) {
        int at = parameters + p * 12;
        int flags = Int(at + 8);
        function.Parameters.Add(new LibraryParameter {
          Type = TypeName(Int(at), typeNames),
          Name = Name(Int(at + 4)),
          In = (flags & ParamIn) != 0,
          Out = (flags & ParamOut) != 0,
          Retval = (flags & ParamRetval) != 0,
        });
      }
      entry.Functions.Add(function);
      record += length;
    }
  }

  static readonly Dictionary<int, string> BaseTypes = new Dictionary<int, string> {
    { 0, "EMPTY" },   { 3, "LONG" },     { 8, "BSTR" },
    { 11, "VARIANT_BOOL" }, { 12, "VARIANT" }, { 13, "IUnknown*" }, { 17, "BYTE" },
    { 18, "USHORT" }, { 21, "ULONGLONG" }, { 24, "void" }, { 25, "HRESULT" },
    { 9, "IDispatch*" }, { 19, "ULONG" }, { 2, "SHORT" }, { 20, "LONGLONG" },
  };

  // A type as the IDL spells it. A negative value is a base type (its variant type in the low
  // bits), any other the offset of a description: a pointer to or a safe array of a type, or a
  // type of this library by its type information's offset.
  string TypeName(int type, Dictionary<int, string> typeNames) {
    if (type < 0) return BaseName(type & 0xfff);
    int at = typeDescriptions + type;
    int kind = Short(at) & 0xfff;
    short low = Short(at + 4), high = Short(at + 6);
    switch (kind) {
      case 26:  // VT_PTR
        return (high < 0 ? BaseName(low & 0xfff) : TypeName(low, typeNames)) + "*";
      case 27:  // VT_SAFEARRAY
        return "SAFEARRAY(" + (high < 0 ? BaseName(low & 0xfff) : TypeName(low, typeNames)) + ")";
      case 29: {  // VT_USERDEFINED
        string name;
        int reference = (ushort)low | (high << 16);
        return typeNames.TryGetValue(reference, out name) ? name : "imported type " + reference;
      }
      default:
        return BaseName(kind);
    }
  }

  static string BaseName(int variantType) {
    string name;
    return BaseTypes.TryGetValue(variantType, out name) ? name : "VT " + variantType;
  }
}

}  // namespace Tavolex.Tests
