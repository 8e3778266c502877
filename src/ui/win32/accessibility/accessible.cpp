#include "ui/win32/accessibility/accessible.h"

#include <utility>

#include "ui/win32/accessibility/accessible_parts.h"

namespace tvx::win32 {

namespace {

constexpr long kGrandchildShift = 12;
constexpr long kGrandchildMask = (1L << kGrandchildShift) - 1;

}  // namespace

long AccessibleChildId(const AccessiblePath& path) {
  if (path.empty()) return CHILDID_SELF;
  if (path.size() == 1) return path[0];
  return (path[0] << kGrandchildShift) | path[1];
}

std::optional<AccessiblePath> AccessiblePathOf(long child_id) {
  if (child_id <= 0) return std::nullopt;
  if (child_id <= kGrandchildMask) return AccessiblePath{child_id};
  const long child = child_id >> kGrandchildShift;
  const long grandchild = child_id & kGrandchildMask;
  if (grandchild == 0) return std::nullopt;
  return AccessiblePath{child, grandchild};
}

AccessibleItem MakeAccessibleItem(long role, std::string name, long state) {
  AccessibleItem item;
  item.role = role;
  item.name = std::move(name);
  item.state = state;
  return item;
}

IAccessible* StandardClientObject(HWND hwnd) {
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, tavolex::IidOf<IAccessible>(),
                                       reinterpret_cast<void**>(&standard)))) {
    return nullptr;
  }
  return standard;
}

long UnavailableState(HWND hwnd) {
  const HWND top = GetAncestor(hwnd, GA_ROOT);
  for (HWND window = hwnd; window != nullptr; window = GetParent(window)) {
    // The top-level window counts for itself only: it is disabled while a modal window of its
    // own is over it, and its controls are as they were.
    if (window == top && window != hwnd) break;
    if (IsWindowEnabled(window) == FALSE) return STATE_SYSTEM_UNAVAILABLE;
  }
  return 0;
}

namespace {

using Link = AccessibleWindow::Link;

// One element of a window's own tree: the window itself or one of its descendants.
class Element final : public AccessibleObject<tavolex::UnknownImpl<IAccessible, IDispatch>> {
 public:
  Element(std::shared_ptr<Link> link, AccessiblePath path)
      : link_(std::move(link)), path_(std::move(path)) {}
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  // IAccessible. Each method empties its out-parameters, answers "disconnected" once the peer
  // is gone, and runs the rest guarded: the sources call into the control layer.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      if (!path_.empty()) return Object(AccessiblePath(path_.begin(), path_.end() - 1), parent);
      IAccessible* standard = StandardClientObject(link_->hwnd);
      if (standard == nullptr) return S_FALSE;
      const HRESULT result = standard->get_accParent(parent);
      standard->Release();
      return result;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&] {
      *count = Source().ChildCount(path_);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> path = Target(child);
      if (!path) return E_INVALIDARG;
      if (*path == path_) return S_FALSE;
      return Object(*path, object);
    });
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, [](const AccessibleItem& item) -> std::optional<std::string> {
      if (item.name.empty()) return std::nullopt;
      return item.name;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Text(child, value, [](const AccessibleItem& item) { return item.value; });
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Text(child, text, [](const AccessibleItem&) { return std::optional<std::string>(); });
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return get_accDescription(child, text);
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (file == nullptr || topic == nullptr) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&] { return Target(child) ? S_FALSE : E_INVALIDARG; });
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return get_accDescription(child, text);
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    return get_accDescription(child, text);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    VariantInit(role);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> path = Target(child);
      if (!path) return E_INVALIDARG;
      const long value = Source().Describe(*path).role;
      role->vt = VT_I4;
      role->lVal = value;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    VariantInit(state);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> path = Target(child);
      if (!path) return E_INVALIDARG;
      const long value = StateOf(*path);
      state->vt = VT_I4;
      state->lVal = value;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    VariantInit(focus);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      if (GetFocus() != link_->hwnd) return S_FALSE;
      return Answer(Source().FocusedItem(), focus);
    });
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    VariantInit(selection);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> selected = Source().SelectedItem();
      if (!selected) return S_FALSE;
      return Answer(*selected, selection);
    });
  }

  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> path = Target(child);
      if (!path) return E_INVALIDARG;
      const RECT rect = ScreenRect(*path);
      *left = rect.left;
      *top = rect.top;
      *width = rect.right - rect.left;
      *height = rect.bottom - rect.top;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    VariantInit(end);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&] { return Navigate(direction, start, end); });
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    if (hit == nullptr) return E_POINTER;
    VariantInit(hit);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&] { return HitTest(POINT{x, y}, hit); });
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~Element() = default;

  const AccessibleSource& Source() const { return *link_->source; }

  HRESULT Object(AccessiblePath path, IDispatch** out) const {
    *out = new Element(link_, std::move(path));  // one reference, the caller's
    return S_OK;
  }

  bool Exists(const AccessiblePath& path) const {
    AccessiblePath prefix;
    for (const long index : path) {
      if (index < 1 || index > Source().ChildCount(prefix)) return false;
      prefix.push_back(index);
    }
    return true;
  }

  // The element a method's child argument names: this one (CHILDID_SELF), a child of it, or
  // for the window, any element by its event id.
  std::optional<AccessiblePath> Target(const VARIANT& child) const {
    if (child.vt != VT_I4) return std::nullopt;
    if (child.lVal == CHILDID_SELF) return path_;
    std::optional<AccessiblePath> path;
    if (path_.empty()) {
      path = AccessiblePathOf(child.lVal);
    } else {
      path = path_;
      path->push_back(child.lVal);
    }
    if (!path || !Exists(*path)) return std::nullopt;
    return path;
  }

  // An element relative to this one: itself as CHILDID_SELF, another as its object.
  HRESULT Answer(const AccessiblePath& path, VARIANT* out) const {
    if (path == path_) {
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
      return S_OK;
    }
    if (!Exists(path)) return S_FALSE;
    IDispatch* object = nullptr;
    Object(path, &object);
    out->vt = VT_DISPATCH;
    out->pdispVal = object;
    return S_OK;
  }

  HRESULT Navigate(LONG direction, const VARIANT& start, VARIANT* end) const {
    std::optional<AccessiblePath> path = Target(start);
    if (!path) return E_INVALIDARG;
    if (path->empty() && direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
      // Among the windows: the system's own answer.
      IAccessible* standard = StandardClientObject(link_->hwnd);
      if (standard == nullptr) return S_FALSE;
      const HRESULT result = standard->accNavigate(direction, start, end);
      standard->Release();
      return result;
    }
    AccessiblePath next = *path;
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
      case NAVDIR_LASTCHILD: {
        const long count = Source().ChildCount(*path);
        if (count == 0) return S_FALSE;
        next.push_back(direction == NAVDIR_FIRSTCHILD ? 1 : count);
        break;
      }
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
      case NAVDIR_RIGHT:
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
      case NAVDIR_LEFT: {
        const bool forward =
            direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT;
        const long count = Source().ChildCount(AccessiblePath(path->begin(), path->end() - 1));
        next.back() += forward ? 1 : -1;
        if (next.back() < 1 || next.back() > count) return S_FALSE;
        break;
      }
      default:
        return E_INVALIDARG;
    }
    return Answer(next, end);
  }

  HRESULT HitTest(const POINT& point, VARIANT* hit) const {
    RECT own = ScreenRect(path_);
    if (!PtInRect(&own, point)) return S_FALSE;
    AccessiblePath found = path_;
    for (bool deeper = true; deeper;) {
      deeper = false;
      const long count = Source().ChildCount(found);
      for (long i = 1; i <= count; ++i) {
        AccessiblePath child = found;
        child.push_back(i);
        const RECT rect = ScreenRect(child);
        if (PtInRect(&rect, point)) {
          found = std::move(child);
          deeper = true;
          break;
        }
      }
    }
    return Answer(found, hit);
  }

  long StateOf(const AccessiblePath& path) const {
    const AccessibleItem item = Source().Describe(path);
    long state = item.state;
    HWND hwnd = link_->hwnd;
    if (!IsWindowVisible(hwnd)) state |= STATE_SYSTEM_INVISIBLE;
    state |= UnavailableState(hwnd);
    if (GetFocus() == hwnd && Source().FocusedItem() == path) state |= STATE_SYSTEM_FOCUSED;
    if (!path.empty() && Source().SelectedItem() == path) state |= STATE_SYSTEM_SELECTED;
    return state;
  }

  RECT ScreenRect(const AccessiblePath& path) const {
    RECT rect{};
    if (path.empty()) {
      GetClientRect(link_->hwnd, &rect);
    } else if (std::optional<RECT> location = Source().Describe(path).location) {
      rect = *location;
    }
    MapWindowPoints(link_->hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  template <class Get>
  HRESULT Text(const VARIANT& child, BSTR* out, Get get) const {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded([&]() -> HRESULT {
      std::optional<AccessiblePath> path = Target(child);
      if (!path) return E_INVALIDARG;
      const std::optional<std::string> text = get(Source().Describe(*path));
      if (!text) return S_FALSE;
      *out = ToBstr(*text);
      return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }

  std::shared_ptr<Link> link_;
  AccessiblePath path_;
};

}  // namespace

IAccessible* NewTreeElement(std::shared_ptr<Link> link, AccessiblePath path) {
  return new Element(std::move(link), std::move(path));
}

AccessibleWindow::AccessibleWindow(HWND hwnd, const AccessibleSource& source)
    : link_(std::make_shared<Link>(Link{hwnd, &source})) {}

AccessibleWindow::~AccessibleWindow() { link_->source = nullptr; }

std::optional<LRESULT> AccessibleWindow::Answer(WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_CLIENT)) return std::nullopt;
  IAccessible* object = nullptr;
  try {
    object =
        link_->source->ChildrenAreWindows() ? NewContainerObject(link_) : NewTreeElement(link_, {});
  } catch (const std::bad_alloc&) {
    // The system's object answers instead.
    return std::nullopt;
  }
  if (object == nullptr) return std::nullopt;
  const LRESULT result = LresultFromObject(tavolex::IidOf<IAccessible>(), wparam, object);
  object->Release();
  return result;
}

void AccessibleWindow::Raise(DWORD event, const AccessiblePath& path) const {
  NotifyWinEvent(event, link_->hwnd, OBJID_CLIENT, AccessibleChildId(path));
}

}  // namespace tvx::win32
