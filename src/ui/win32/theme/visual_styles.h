// Visual styles: the module carries a manifest (resource 2, the one Windows reads for a
// library) that asks for version 6 of the common controls. Windows do not pick it up by
// themselves in a library loaded into a host, so the backend makes an activation context from
// that resource and activates it while it creates windows and shows message boxes; the
// common controls it loads in that context are version 6, themed.
#pragma once

#include "ui/win32/backend/win32_api.h"

namespace tvx::win32 {

class VisualStyles {
 public:
  // Creates the activation context from this module's manifest (none when the module carries
  // none: windows then get the classic controls) and initialises the common controls.
  VisualStyles();
  ~VisualStyles();
  VisualStyles(const VisualStyles&) = delete;
  VisualStyles& operator=(const VisualStyles&) = delete;

  // Whether the manifest was found and its context made.
  bool Active() const { return context_ != INVALID_HANDLE_VALUE; }

  // Activates the context for its lifetime.
  class Scope {
   public:
    explicit Scope(const VisualStyles& styles);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
  };

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  HMODULE common_controls_ = nullptr;
};

}  // namespace tvx::win32
