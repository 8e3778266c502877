#include "server/query/reply_budget.h"

#include <utility>

namespace tvx::example {

bool ReplyBudget::Take(std::uint64_t bytes) {
  std::lock_guard lock(mutex_);
  if (bytes > limit_ - held_) return false;
  held_ += bytes;
  return true;
}

void ReplyBudget::Give(std::uint64_t bytes) {
  std::lock_guard lock(mutex_);
  held_ -= bytes < held_ ? bytes : held_;
}

std::uint64_t ReplyBudget::Held() const {
  std::lock_guard lock(mutex_);
  return held_;
}

ReplyShare::ReplyShare(ReplyShare&& other) noexcept
    : budget_(other.budget_), bytes_(std::exchange(other.bytes_, 0)) {}

ReplyShare& ReplyShare::operator=(ReplyShare&& other) noexcept {
  if (this != &other) {
    Release();
    budget_ = other.budget_;
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

bool ReplyShare::Grow(std::uint64_t bytes) {
  if (budget_ != nullptr && !budget_->Take(bytes)) return false;
  bytes_ += bytes;
  return true;
}

void ReplyShare::Release() {
  if (budget_ != nullptr && bytes_ > 0) budget_->Give(bytes_);
  bytes_ = 0;
}

}  // namespace tvx::example
