#include "ui/win32/backend/peer_catalog.h"

#include "ui/controls/bevel.h"
#include "ui/controls/button.h"
#include "ui/controls/date_edit.h"
#include "ui/controls/group_box.h"
#include "ui/controls/label.h"
#include "ui/controls/panel.h"
#include "ui/controls/radio_button.h"
#include "ui/core/form.h"
#include "ui/data/db_grid.h"
#include "ui/win32/data/grid_peer.h"
#include "ui/win32/peers/bevel_peer.h"
#include "ui/win32/peers/button_peer.h"
#include "ui/win32/peers/date_edit_peer.h"
#include "ui/win32/peers/form_peer.h"
#include "ui/win32/peers/group_box_peer.h"
#include "ui/win32/peers/label_peer.h"
#include "ui/win32/peers/panel_peer.h"
#include "ui/win32/peers/plain_peer.h"
#include "ui/win32/peers/radio_button_peer.h"

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
