#include "server/exports/export_gate.h"

#include "server/common/request_error.h"

namespace tvx::example {

ExportGate::Ticket ExportGate::Enter(const User& user, Clock::time_point now) {
  std::unique_lock running(running_, std::try_to_lock);
  if (!running.owns_lock()) {
    throw RequestError(kServerBusy, "Выполняется другая выгрузка; повторите попытку позже");
  }
  if (per_minute_ > 0) {
    std::lock_guard lock(mutex_);
    auto& times = started_[user.name];
    while (!times.empty() && now - times.front() >= std::chrono::minutes(1)) times.pop_front();
    if (times.size() >= static_cast<std::size_t>(per_minute_)) {
      const auto wait =
          std::chrono::ceil<std::chrono::seconds>(times.front() + std::chrono::minutes(1) - now);
      throw RequestError(kServerBusy, "Не больше " + std::to_string(per_minute_) +
                                          " выгрузок в минуту; следующая возможна через " +
                                          std::to_string(wait.count()) + " с");
    }
    times.push_back(now);
    // The users that have not exported for a minute are forgotten.
    for (auto it = started_.begin(); it != started_.end();) {
      it = !it->second.empty() && now - it->second.back() >= std::chrono::minutes(1)
               ? started_.erase(it)
               : std::next(it);
    }
  }
  return Ticket(std::move(running));
}

}  // namespace tvx::example
