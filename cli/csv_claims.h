#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "conversion/csv_target.h"

namespace dta2csv {

// The CSVs that the inputs of one call write, so that no two inputs write
// the same CSV: the later one is refused (030), and the CSV keeps the
// earlier one's rows. Inputs claim their CSVs in the order of the
// arguments, whatever order their runs get there in: each waits for the
// inputs before it to claim theirs or to end without one, which they do
// early in their runs. Safe to use from several threads.
//
// It keeps a key per claimed CSV (its folder, its name, and the earlier
// CSV's identity where there was one) until the call ends: memory in
// proportion to the number of inputs, like the argument list itself.
class CsvClaims {
 public:
  explicit CsvClaims(const std::vector<std::string>& inputs);

  // Claims `target` for inputs[index] once every input before it has
  // claimed its CSV or ended; the earlier input that holds it, or nothing
  // when the CSV is now inputs[index]'s.
  std::optional<std::string> Claim(std::size_t index, const ravuvur::CsvTarget& target);
  // The run of inputs[index] has ended, having claimed or not.
  void Ended(std::size_t index) noexcept;

 private:
  struct IdentityHash {
    std::size_t operator()(const ravuvur::FileIdentity& id) const noexcept {
      return std::hash<std::uint64_t>()(id.inode * 0x9E3779B97F4A7C15u ^ id.device);
    }
  };
  void PassTurn(std::size_t index) noexcept;  // with mutex_ held

  const std::vector<std::string>& inputs_;
  std::mutex mutex_;
  std::condition_variable turn_;
  std::vector<bool> passed_;  // claimed or ended
  std::size_t next_ = 0;      // the first input that has not yet passed
  std::unordered_map<std::string, std::uint32_t> byPlace_;  // folder and name
  std::unordered_map<ravuvur::FileIdentity, std::uint32_t, IdentityHash> byFile_;
};

}  // namespace dta2csv
