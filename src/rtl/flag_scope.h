// A re-entrancy flag set for the length of a scope: the flag is set on entry and given back its
// value on exit, by return or by exception, so that a failing step never leaves it set.
#pragma once

#include <memory>

namespace tvx {

class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
  // For a flag of an object that the scope's calls may free: the flag is left alone once the
  // watch (the object's TLifeMark::Watch()) has expired.
  TFlagScope(bool& flag, std::weak_ptr<const int> owner_alive) : TFlagScope(flag) {
    owner_alive_ = std::move(owner_alive);
    watched_ = true;
  }
  ~TFlagScope() {
    if (!watched_ || !owner_alive_.expired()) flag_ = previous_;
  }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
  bool watched_ = false;
  std::weak_ptr<const int> owner_alive_;
};

}  // namespace tvx
