// A pass key: an entry point that takes a TPassKey<Caller> can be called by Caller alone, since
// only Caller can make the key. It keeps a class's state its own while a close collaborator
// (a parent control and its children, a form and its controls) still gets the one operation it
// needs, instead of a friend that may touch everything.
#pragma once

namespace tvx {

template <class Caller>
class TPassKey {
  friend Caller;
  TPassKey() = default;
};

}  // namespace tvx
