// The object of a container (a panel, a group box, a bevel): the system's standard client object
// of its window, which lists the child windows, navigates among them, tests hits against them and
// follows the focus into them, with the container's own role and name (and extra state) over it.
// Without it a reader walking down from the form would stop at the container.
#include <utility>

#include "ui/win32/accessibility/accessible_parts.h"

namespace tvx::win32 {

namespace {

using Link = AccessibleWindow::Link;

void Empty(IDispatch** out) { *out = nullptr; }
void Empty(LONG* out) { *out = 0; }
void Empty(BSTR* out) { *out = nullptr; }
void Empty(VARIANT* out) { VariantInit(out); }

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

class ContainerObject final
    : public AccessibleObject<tavolex::UnknownImpl<IAccessible, IDispatch, IEnumVARIANT>> {
 public:
  // Takes the references to the standard object and its enumerator of children (null when it
  // has none).
  ContainerObject(std::shared_ptr<Link> link, IAccessible* standard, IEnumVARIANT* children)
      : link_(std::move(link)), standard_(standard), children_(children) {}
  ContainerObject(const ContainerObject&) = delete;
  ContainerObject& operator=(const ContainerObject&) = delete;

  // AccessibleChildren asks for the enumerator first: the child windows come through it, as from
  // the system's object, which may have none.
  void* InterfaceFor(REFIID iid) noexcept override {
    if (children_ == nullptr && IsEqualIID(iid, IID_IEnumVARIANT)) return nullptr;
    return ListedInterface(iid);
  }

  // IAccessible: the container's own role, name, value and state; the rest from the system.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return Forward(name, [&] { return standard_->get_accName(child, name); });
    return Own(name, [&]() -> HRESULT {
      const std::string text = link_->source->Describe({}).name;
      if (text.empty()) return S_FALSE;
      *name = ToBstr(text);
      return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!IsSelf(child)) {
      return Forward(value, [&] { return standard_->get_accValue(child, value); });
    }
    return Own(value, [&]() -> HRESULT {
      const std::optional<std::string> text = link_->source->Describe({}).value;
      if (!text) return S_FALSE;
      *value = ToBstr(*text);
      return *value != nullptr ? S_OK : E_OUTOFMEMORY;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) return Forward(role, [&] { return standard_->get_accRole(child, role); });
    return Own(role, [&] {
      const long value = link_->source->Describe({}).role;
      role->vt = VT_I4;
      role->lVal = value;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!IsSelf(child)) {
      return Forward(state, [&] { return standard_->get_accState(child, state); });
    }
    return Own(state, [&]() -> HRESULT {
      const long own = link_->source->Describe({}).state | UnavailableState(link_->hwnd);
      const HRESULT result = standard_->get_accState(child, state);
      if (FAILED(result)) return result;
      if (state->vt != VT_I4) {
        VariantClear(state);
        state->vt = VT_I4;
        state->lVal = 0;
      }
      state->lVal |= own;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Forward(parent, [&] { return standard_->get_accParent(parent); });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return Forward(count, [&] { return standard_->get_accChildCount(count); });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return Forward(object, [&] { return standard_->get_accChild(child, object); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Forward(text, [&] { return standard_->get_accDescription(child, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    return Forward(text, [&] { return standard_->get_accHelp(child, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (topic == nullptr) return E_POINTER;
    *topic = 0;
    return Forward(file, [&] { return standard_->get_accHelpTopic(file, child, topic); });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    return Forward(text, [&] { return standard_->get_accKeyboardShortcut(child, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    return Forward(text, [&] { return standard_->get_accDefaultAction(child, text); });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return Forward(focus, [&] { return standard_->get_accFocus(focus); });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Forward(selection, [&] { return standard_->get_accSelection(selection); });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Forward([&] { return standard_->accSelect(flags, child); });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *top = *width = *height = 0;
    return Forward(left, [&] { return standard_->accLocation(left, top, width, height, child); });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Forward(end, [&] { return standard_->accNavigate(direction, start, end); });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
    return Forward(hit, [&] { return standard_->accHitTest(x, y, hit); });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return Forward([&] { return standard_->accDoDefaultAction(child); });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return Forward([&] { return standard_->put_accName(child, name); });
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return Forward([&] { return standard_->put_accValue(child, value); });
  }

  // IEnumVARIANT: the system's enumerator of the child windows.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    if (fetched != nullptr) *fetched = 0;
    return Forward([&] { return children_->Next(count, items, fetched); });
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    return Forward([&] { return children_->Skip(count); });
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    return Forward([&] { return children_->Reset(); });
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (copy == nullptr) return E_POINTER;
    *copy = nullptr;
    return Forward([&] { return children_->Clone(copy); });
  }

 private:
  ~ContainerObject() {
    if (children_ != nullptr) children_->Release();
    standard_->Release();
  }

  // A method answered here: out-parameter emptied, "disconnected" once the peer is gone, the
  // source's calls guarded.
  template <class Out, class Body>
  HRESULT Own(Out* out, Body&& body) const {
    if (out == nullptr) return E_POINTER;
    Empty(out);
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded(body);
  }
  // A method the system's object answers, on the same terms.
  template <class Out, class Call>
  HRESULT Forward(Out* out, Call&& call) const {
    return Own(out, call);
  }
  template <class Call>
  HRESULT Forward(Call&& call) const {
    if (!link_->Connected()) return RPC_E_DISCONNECTED;
    return Guarded(call);
  }

  std::shared_ptr<Link> link_;
  IAccessible* standard_;
  IEnumVARIANT* children_;
};

}  // namespace

IAccessible* NewContainerObject(std::shared_ptr<Link> link) {
  IAccessible* standard = StandardClientObject(link->hwnd);
  if (standard == nullptr) return nullptr;
  IEnumVARIANT* children = nullptr;
  if (FAILED(standard->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&children)))) {
    children = nullptr;
  }
  try {
    return new ContainerObject(std::move(link), standard, children);
  } catch (...) {
    if (children != nullptr) children->Release();
    standard->Release();
    throw;
  }
}

}  // namespace tvx::win32
