#include "module_boundary/command_object.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "module_boundary/boundary_errors.h"
#include "module_boundary/plugin_object.h"
#include "rtl/text.h"

namespace tvx {

namespace {

// A new VT_UI1 array holding count bytes from data.
SAFEARRAY* ByteArray(const void* data, std::size_t count) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(count));
  if (array == nullptr) throw std::bad_alloc();
  if (count == 0) return array;
  void* target = nullptr;
  if (FAILED(SafeArrayAccessData(array, &target))) {
    SafeArrayDestroy(array);
    throw std::bad_alloc();
  }
  std::memcpy(target, data, count);
  SafeArrayUnaccessData(array);
  return array;
}

}  // namespace

CommandObject::CommandObject(PluginObject* owner, TJvPluginCommand* command)
    : owner_(owner->AsInterface()), command_(command) {}

CommandObject::~CommandObject() = default;

HRESULT CommandObject::GetName(BSTR* text) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { OutText(text, command_->Name()); });
}

HRESULT CommandObject::GetCaption(BSTR* text) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { OutText(text, command_->Caption()); });
}

HRESULT CommandObject::GetHint(BSTR* text) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { OutText(text, command_->Hint()); });
}

HRESULT CommandObject::GetData(BSTR* text) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { OutText(text, command_->Data()); });
}

HRESULT CommandObject::GetDataBytes(SAFEARRAY** bytes) {
  return Guarded(tavolex::IID_IPluginCommand, [&] {
    *Required(bytes) = nullptr;
    const std::string encoded = Utf8ToWin1251(command_->Data());
    *bytes = ByteArray(encoded.data(), encoded.size());
  });
}

HRESULT CommandObject::GetShortCut(USHORT* short_cut) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { *Required(short_cut) = command_->ShortCut(); });
}

HRESULT CommandObject::GetBitmap(LONG* width, LONG* height, SAFEARRAY** pixels) {
  return Guarded(tavolex::IID_IPluginCommand, [&] {
    *Required(pixels) = nullptr;
    const TBitmap& bitmap = *command_->Bitmap();
    std::string bytes;
    bytes.reserve(bitmap.Pixels().size() * 4);
    for (const uint32_t pixel : bitmap.Pixels()) {  // 0xAARRGGBB to blue, green, red, alpha
      for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(pixel >> shift);
    }
    *Required(width) = bitmap.Width();
    *Required(height) = bitmap.Height();
    *pixels = ByteArray(bytes.data(), bytes.size());
  });
}

HRESULT CommandObject::Execute(IUnknown* /*sender*/) {
  return Guarded(tavolex::IID_IPluginCommand, [&] { command_->OnExecute().Fire(command_); });
}

}  // namespace tvx
