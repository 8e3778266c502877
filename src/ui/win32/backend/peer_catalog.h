// Which peer shows which control class. The backend looks a control's class up, then its base
// classes in turn, so a class without a peer of its own gets its nearest ancestor's (in the
// end TControl's: a plain window of the control's colour).
//
// Adding a peer for a control class: write the peer (derived from WindowPeer) and add one line
// to AddStandardPeers in peer_catalog.cpp:
//   catalog.Add<TMyControl, TMyControlPeer>();
// where TMyControlPeer has a constructor (Win32Backend&, TMyControl&).
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "classes/class_info.h"
#include "ui/core/control.h"
#include "ui/win32/peers/window_peer.h"

namespace tvx::win32 {

class Win32Backend;

class PeerCatalog {
 public:
  using Factory = std::function<std::unique_ptr<WindowPeer>(Win32Backend&, TControl&)>;

  void Add(const TClassInfo& control_class, Factory factory);
  template <class Control, class Peer>
  void Add() {
    Add(Control::StaticClass(), [](Win32Backend& backend, TControl& control) {
      return std::unique_ptr<WindowPeer>(
          std::make_unique<Peer>(backend, static_cast<Control&>(control)));
    });
  }

  // The factory for a control's class or its nearest ancestor with one; null when none has.
  const Factory* Find(const TClassInfo& control_class) const;

 private:
  std::map<const TClassInfo*, Factory> factories_;
};

// The peers of the standard controls: forms, buttons, radio buttons, group boxes, labels,
// panels, bevels, date fields, data grids, and the plain window for every other control.
void AddStandardPeers(PeerCatalog& catalog);

}  // namespace tvx::win32
