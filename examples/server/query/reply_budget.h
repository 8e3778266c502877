// The memory that query replies may hold at once, every session's together: a reply takes
// its share row by row while it is read and built, and gives it back once it has left (or
// its connection has gone). A client that asks for large replies and does not read them holds
// at most this much of the server's memory, however many connections it opens.
#pragma once

#include <cstdint>
#include <mutex>

namespace tvx::example {

class ReplyBudget {
 public:
  explicit ReplyBudget(std::uint64_t bytes) : limit_(bytes) {}
  ReplyBudget(const ReplyBudget&) = delete;
  ReplyBudget& operator=(const ReplyBudget&) = delete;

  // Takes `bytes` more of the budget; false (and nothing taken) when it does not have them.
  bool Take(std::uint64_t bytes);
  void Give(std::uint64_t bytes);
  std::uint64_t Held() const;
  std::uint64_t Limit() const { return limit_; }

 private:
  const std::uint64_t limit_;
  mutable std::mutex mutex_;
  std::uint64_t held_ = 0;
};

// One reply's share of a budget (none: unbounded), given back when it is released or
// destroyed.
class ReplyShare {
 public:
  explicit ReplyShare(ReplyBudget* budget = nullptr) : budget_(budget) {}
  ReplyShare(const ReplyShare&) = delete;
  ReplyShare& operator=(const ReplyShare&) = delete;
  ReplyShare(ReplyShare&& other) noexcept;
  ReplyShare& operator=(ReplyShare&& other) noexcept;
  ~ReplyShare() { Release(); }

  bool Grow(std::uint64_t bytes);
  void Release();
  std::uint64_t Bytes() const { return bytes_; }

 private:
  ReplyBudget* budget_ = nullptr;
  std::uint64_t bytes_ = 0;
};

}  // namespace tvx::example
