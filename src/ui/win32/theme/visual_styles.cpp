#include "ui/win32/theme/visual_styles.h"

#include <commctrl.h>

namespace tvx::win32 {

namespace {
using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
// The manifest a library carries for itself (ISOLATIONAWARE_MANIFEST_RESOURCE_ID) and the
// resource type of manifests (RT_MANIFEST).
constexpr WORD kManifestId = 2;
constexpr WORD kManifestType = 24;
}  // namespace

VisualStyles::VisualStyles() {
  if (FindResourceW(ThisModule(), MAKEINTRESOURCEW(kManifestId), MAKEINTRESOURCEW(kManifestType)) !=
      nullptr) {
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = ThisModule();
    context.lpResourceName = MAKEINTRESOURCEW(kManifestId);
    context_ = CreateActCtxW(&context);
  }
  // Loaded inside the context, the library is the version that the manifest names (the
  // system's side-by-side copy), and never one from the host's folder.
  Scope scope(*this);
  common_controls_ = LoadSystemLibrary(L"comctl32.dll");
  if (common_controls_ == nullptr) return;
  auto init = reinterpret_cast<InitCommonControlsExFn>(
      reinterpret_cast<void*>(GetProcAddress(common_controls_, "InitCommonControlsEx")));
  if (init == nullptr) return;
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_DATE_CLASSES;
  init(&classes);
}

VisualStyles::~VisualStyles() {
  if (common_controls_ != nullptr) FreeLibrary(common_controls_);
  if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
}

VisualStyles::Scope::Scope(const VisualStyles& styles) {
  if (styles.context_ != INVALID_HANDLE_VALUE) {
    active_ = ActivateActCtx(styles.context_, &cookie_) != FALSE;
  }
}

VisualStyles::Scope::~Scope() {
  if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace tvx::win32
