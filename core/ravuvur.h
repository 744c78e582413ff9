#pragma once

// RAVUVUR, the engine's code module: the record decoder and the progress
// log, and the state a conversion run leaves behind.

#include "core/field_at.h"      // IWYU pragma: export
#include "core/messages.h"      // IWYU pragma: export
#include "core/movement.h"      // IWYU pragma: export
#include "core/progress_log.h"  // IWYU pragma: export

namespace ravuvur {

// Everything the module keeps from one run to the next: the log, the header
// and current record of the file last converted, and its tallies. The
// window owns one; each test makes its own, so nothing leaks between them.
struct ModuleState {
  ProgressLog log;
  FileHeader header;
  MovementRecord record;
  MovementTallies tallies;

  ModuleState() = default;
  explicit ModuleState(TimeTextSource timeText) : log(std::move(timeText)) {}
  // A module whose log passes its lines to `sink` instead of keeping them.
  ModuleState(TimeTextSource timeText, LogSink sink) : log(std::move(timeText), std::move(sink)) {}
};

}  // namespace ravuvur
