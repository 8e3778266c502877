#include "ui/win32/peer_catalog.h"

#include "ui/bevel.h"
#include "ui/button.h"
#include "ui/date_edit.h"
#include "ui/db_grid.h"
#include "ui/form.h"
#include "ui/group_box.h"
#include "ui/label.h"
#include "ui/panel.h"
#include "ui/radio_button.h"
#include "ui/win32/bevel_peer.h"
#include "ui/win32/button_peer.h"
#include "ui/win32/date_edit_peer.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/grid_window.h"
#include "ui/win32/group_box_peer.h"
#include "ui/win32/label_peer.h"
#include "ui/win32/panel_peer.h"
#include "ui/win32/plain_peer.h"
#include "ui/win32/radio_button_peer.h"

namespace tvx::win32 {

void PeerCatalog::Add(const TClassInfo& control_class, Factory factory) {
  factories_[&control_class] = std::move(factory);
}

const PeerCatalog::Factory* PeerCatalog::Find(const TClassInfo& control_class) const {
  for (const TClassInfo* c = &control_class; c != nullptr; c = c->Parent()) {
    if (auto it = factories_.find(c); it != factories_.end()) return &it->second;
  }
  return nullptr;
}

void AddStandardPeers(PeerCatalog& catalog) {
  catalog.Add<TControl, PlainPeer>();
  catalog.Add<TCustomForm, FormPeer>();
  catalog.Add<TButton, ButtonPeer>();
  catalog.Add<TRadioButton, RadioButtonPeer>();
  catalog.Add<TGroupBox, GroupBoxPeer>();
  catalog.Add<TLabel, LabelPeer>();
  catalog.Add<TPanel, PanelPeer>();
  catalog.Add<TBevel, BevelPeer>();
  catalog.Add<TJvDateEdit, DateEditPeer>();
  catalog.Add<TDBGrid, GridPeer>();
}

}  // namespace tvx::win32
