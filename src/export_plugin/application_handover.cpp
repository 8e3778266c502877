#include "export_plugin/application_handover.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/core/application.h"

namespace tvx {

namespace {

struct Handover {
  const void* holder;
  TApplication* application;
};

// Oldest first.
std::vector<Handover>& Handovers() {
  static std::vector<Handover> handovers;
  return handovers;
}

void Forget(const void* holder) {
  auto& handovers = Handovers();
  std::erase_if(handovers, [holder](const Handover& h) { return h.holder == holder; });
}

void MakeLatestCurrent() {
  const auto& handovers = Handovers();
  SetApplication(handovers.empty() ? nullptr : handovers.back().application);
}

}  // namespace

void HandOverApplication(const void* holder, TApplication* application) {
  Forget(holder);
  Handovers().push_back(Handover{holder, application});
  MakeLatestCurrent();
}

void TakeBackApplication(const void* holder) {
  auto& handovers = Handovers();
  if (std::none_of(handovers.begin(), handovers.end(),
                   [holder](const Handover& h) { return h.holder == holder; })) {
    return;
  }
  Forget(holder);
  MakeLatestCurrent();
}

void EndApplicationHandovers() {
  if (Handovers().empty()) return;
  Handovers().clear();
  MakeLatestCurrent();
}

bool ApplicationHandedOver() { return !Handovers().empty(); }

}  // namespace tvx
