// Helpers for hosts written in C++: loading the module and calling its entry, counted
// references (tavolex/ref.h), texts, and failed statuses turned back into exceptions that carry
// the module's message. Header only; nothing of it crosses the boundary.
//
//   tavolex::PluginLibrary library("Tavolex.plu");
//   tavolex::Ref<tavolex::IPlugin> plugin = library.RegisterPlugin();
//   std::string id = tavolex::ReadText(plugin.Get(), &tavolex::IPlugin::GetPluginID);
//   VARIANT_BOOL allow = VARIANT_FALSE;
//   tavolex::Check(plugin->Initialize(nullptr, host_application, file_name.Get(), &allow));
#pragma once

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include "tavolex/plugin.h"
#include "tavolex/ref.h"

namespace tavolex {

// UTF-16 to UTF-8 and back; ill-formed input (a lone surrogate, a bad byte sequence) becomes
// U+FFFD.
inline std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

inline std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = lead < 0x80           ? 1
                 : (lead >> 5) == 0x6  ? 2
                 : (lead >> 4) == 0xE  ? 3
                 : (lead >> 3) == 0x1E ? 4
                                       : 0;
    char32_t c = length == 1   ? lead
                 : length == 2 ? (lead & 0x1F)
                 : length == 3 ? (lead & 0x0F)
                               : (lead & 0x07);
    bool valid = length != 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values above U+10FFFF are ill-formed too.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (valid && (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) {
      valid = false;
    }
    if (!valid) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += static_cast<std::size_t>(length);
  }
  return out;
}

// A BSTR that frees itself.
class Text {
 public:
  Text() = default;
  explicit Text(std::u16string_view text)
      : text_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()))) {
    if (text_ == nullptr) throw std::bad_alloc();
  }
  explicit Text(std::string_view utf8) : Text(std::u16string_view(ToUtf16(utf8))) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  Text(Text&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  Text& operator=(Text&& other) noexcept {
    std::swap(text_, other.text_);
    return *this;
  }
  ~Text() { SysFreeString(text_); }

  // The address for an out-parameter; what was held is freed first.
  BSTR* Put() {
    SysFreeString(std::exchange(text_, nullptr));
    return &text_;
  }
  BSTR Get() const { return text_; }
  std::u16string_view View() const {
    if (text_ == nullptr) return {};
    return {reinterpret_cast<const char16_t*>(text_), SysStringLen(text_)};
  }
  std::string Utf8() const { return ToUtf8(View()); }

 private:
  BSTR text_ = nullptr;
};

// A failure reported by the module: its status, the class of the exception behind it inside
// the module (empty when no error info came with it) and its message.
class ModuleError : public std::runtime_error {
 public:
  ModuleError(HRESULT status, std::string class_name, const std::string& message)
      : std::runtime_error(message), status_(status), class_name_(std::move(class_name)) {}
  HRESULT Status() const noexcept { return status_; }
  const std::string& ClassName() const noexcept { return class_name_; }
  std::string Message() const { return what(); }

 private:
  HRESULT status_;
  std::string class_name_;
};

// The message for a failed status that came without error info.
inline std::string StatusText(HRESULT status) {
  char text[48];
  std::snprintf(text, sizeof text, "The call failed with status %08X",
                static_cast<unsigned>(status));
  return text;
}

// Throws ModuleError for a failed status, with the description and source of the thread's
// error info when there is one (the module sets it for every failure it reports). A success
// returns its status: S_OK, or kSilentAbort when the module stopped after telling the operator
// why (the host then shows nothing more).
inline HRESULT Check(HRESULT status) {
  if (SUCCEEDED(status)) return status;
  IErrorInfo* info = nullptr;
  const bool described = GetErrorInfo(0, &info) == S_OK && info != nullptr;
  if (!described) throw ModuleError(status, {}, StatusText(status));
  Text description;
  Text source;
  info->GetDescription(description.Put());
  info->GetSource(source.Put());
  info->Release();
  throw ModuleError(status, source.Utf8(), description.Utf8());
}

// Reads a text through one of the interfaces' getters, e.g.
// ReadText(command, &IPluginCommand::GetCaption); throws as Check does.
template <class I>
std::string ReadText(I* object, HRESULT (STDMETHODCALLTYPE I::*getter)(BSTR*)) {
  Text text;
  Check((object->*getter)(text.Put()));
  return text.Utf8();
}

// The module's library file, loaded for the object's lifetime.
class PluginLibrary {
 public:
  // Loads the library (a UTF-8 path); throws ModuleError with the system's reason when it
  // cannot.
  explicit PluginLibrary(const std::string& path) {
#ifdef _WIN32
    const std::u16string wide = ToUtf16(path);
    handle_ = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    if (handle_ == nullptr) throw LastError("cannot load " + path);
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) throw ModuleError(E_FAIL, {}, "cannot load " + path + ": " + dlerror());
#endif
  }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary() { Unload(); }

  // Unloads the library; every object of the module must have been released before.
  void Unload() {
    if (handle_ == nullptr) return;
#ifdef _WIN32
    FreeLibrary(handle_);
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
  }
  bool Loaded() const { return handle_ != nullptr; }

  // An exported entry by name; throws ModuleError when the library has none of that name.
  template <class Function>
  Function Entry(const char* name) const {
    if (handle_ == nullptr) throw ModuleError(E_FAIL, {}, "the library is not loaded");
#ifdef _WIN32
    FARPROC entry = GetProcAddress(handle_, name);
#else
    void* entry = dlsym(handle_, name);
#endif
    if (entry == nullptr) {
      throw ModuleError(E_FAIL, {}, std::string("the library exports no ") + name);
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
  }

  // Calls RegisterPlugin: a new plug-in object, which the returned reference owns. Throws with
  // the module's message when the module could not create one.
  Ref<IPlugin> RegisterPlugin() const {
    auto entry = Entry<RegisterPluginFunction>(kRegisterPluginEntry);
    Ref<IPlugin> plugin = Ref<IPlugin>::Adopt(entry());
    if (!plugin) {
      Check(E_FAIL);
    }
    return plugin;
  }

 private:
#ifdef _WIN32
  static ModuleError LastError(const std::string& what) {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = text != nullptr ? ToUtf8(reinterpret_cast<const char16_t*>(text)) : "";
    if (text != nullptr) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return ModuleError(HRESULT_FROM_WIN32(code), {}, what + ": " + reason);
  }

  HMODULE handle_ = nullptr;
#else
  void* handle_ = nullptr;
#endif
};

}  // namespace tavolex
