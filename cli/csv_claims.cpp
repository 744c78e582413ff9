#include "cli/csv_claims.h"

#include <cstring>

namespace dta2csv {
namespace {

// The folder's identity, then the name: one key for one place.
std::string PlaceKey(const ravuvur::CsvTarget& target) {
  std::string key(sizeof target.folder.device + sizeof target.folder.inode, '\0');
  std::memcpy(key.data(), &target.folder.device, sizeof target.folder.device);
  std::memcpy(key.data() + sizeof target.folder.device, &target.folder.inode,
              sizeof target.folder.inode);
  return key + target.name;
}

}  // namespace

CsvClaims::CsvClaims(const std::vector<std::string>& inputs)
    : inputs_(inputs), passed_(inputs.size(), false) {}

void CsvClaims::PassTurn(std::size_t index) noexcept {
  passed_[index] = true;
  bool moved = false;
  while (next_ < passed_.size() && passed_[next_]) {
    ++next_;
    moved = true;
  }
  if (moved) turn_.notify_all();
}

std::optional<std::string> CsvClaims::Claim(std::size_t index, const ravuvur::CsvTarget& target) {
  std::unique_lock lock(mutex_);
  turn_.wait(lock, [&] { return next_ >= index; });
  // The turn passes whatever happens below, memory running out included:
  // the inputs after this one must not wait for ever.
  struct Passing {
    CsvClaims& claims;
    std::size_t index;
    ~Passing() { claims.PassTurn(index); }
  } passing{*this, index};

  std::string key = PlaceKey(target);
  if (const auto place = byPlace_.find(key); place != byPlace_.end()) {
    return inputs_[place->second];
  }
  if (target.existing) {
    if (const auto file = byFile_.find(*target.existing); file != byFile_.end()) {
      return inputs_[file->second];
    }
    byFile_.emplace(*target.existing, static_cast<std::uint32_t>(index));
  }
  byPlace_.emplace(std::move(key), static_cast<std::uint32_t>(index));
  return std::nullopt;
}

void CsvClaims::Ended(std::size_t index) noexcept {
  const std::lock_guard lock(mutex_);
  PassTurn(index);
}

}  // namespace dta2csv
