// A mark that an object carries and that ends with it. Code that calls out of an object into
// code that may free it (a window procedure calling into the control layer, whose handlers may
// close and free a form) asks the mark whether the object survived before it touches the
// object again; a task posted for later checks it before it runs.
#pragma once

#include <memory>
#include <utility>

namespace tvx {

class TLifeMark {
 public:
  TLifeMark() = default;
  // A copy of an object is another object, with a mark of its own.
  TLifeMark(const TLifeMark&) : TLifeMark() {}
  // Assigning keeps the mark: self-assignment included, there is nothing to copy.
  TLifeMark& operator=(const TLifeMark&) {  // NOLINT(bugprone-unhandled-self-assignment)
    return *this;
  }

  // Runs call, which may free the object that carries this mark; returns whether the object
  // is still alive afterwards. When it is not, the caller must return without touching it.
  template <class Call>
  [[nodiscard]] bool Survives(Call&& call) const {
    const std::weak_ptr<const int> alive = mark_;
    std::forward<Call>(call)();
    return !alive.expired();
  }

  // Expires when the object goes: for a task that runs later.
  std::weak_ptr<const int> Watch() const { return mark_; }

 private:
  std::shared_ptr<const int> mark_ = std::make_shared<const int>(0);
};

}  // namespace tvx
