// Events: a handler bound to an object, fired with the object that fires it as Sender.
//
//   TNotifyEvent on_click;                         // handler: void M(TObject* Sender)
//   on_click.Bind(form, &TMyForm::ButtonClick);
//   on_click.Fire(button);                          // does nothing when nothing is bound
//
// TEvent<int32_t, std::string> takes handlers void M(TObject*, int32_t, std::string);
// TEvent<bool&> takes handlers void M(TObject*, bool&), which may change the flag.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace tvx {

class TObject;
struct THandlerInfo;

template <class... Args>
class TEvent {
 public:
  using Function = std::function<void(TObject* sender, Args...)>;

  // Binds a handler method of an object; the object must outlive the binding.
  template <class Class, class Target>
  void Bind(Target* target, void (Class::*method)(TObject*, Args...)) {
    static_assert(std::is_base_of_v<Class, Target>, "the handler is not a method of the target");
    Class* object = target;
    target_ = target;
    published_ = nullptr;
    function_ = [object, method](TObject* sender, Args... args) {
      (object->*method)(sender, std::forward<Args>(args)...);
    };
  }
  // Binds a handler method that the target's class publishes by name (a stored description
  // names it); PublishedHandler() then tells which it is.
  template <class Class, class Target>
  void BindPublished(Target* target, void (Class::*method)(TObject*, Args...),
                     const THandlerInfo& published) {
    Bind(target, method);
    published_ = &published;
  }
  // Binds any callable, on behalf of target (which may be null).
  void Bind(TObject* target, Function function) {
    target_ = target;
    published_ = nullptr;
    function_ = std::move(function);
  }
  void Clear() {
    target_ = nullptr;
    published_ = nullptr;
    function_ = nullptr;
  }

  bool Assigned() const { return static_cast<bool>(function_); }
  // The object whose handler is bound (null when unbound or bound to a plain function).
  TObject* Target() const { return target_; }
  // The published handler bound by name, or null (unbound, or bound in code).
  const THandlerInfo* PublishedHandler() const { return published_; }

  // Calls the handler, if any; its exceptions pass to the caller. The handler runs from a
  // copy, so it may rebind or clear the event it was called through.
  void Fire(TObject* sender, Args... args) const {
    if (!function_) return;
    Function function = function_;
    function(sender, std::forward<Args>(args)...);
  }

 private:
  TObject* target_ = nullptr;
  const THandlerInfo* published_ = nullptr;
  Function function_;
};

using TNotifyEvent = TEvent<>;

}  // namespace tvx
