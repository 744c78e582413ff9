#pragma once

#include <string>
#include <string_view>

#include "core/ravuvur.h"

namespace ravuvur {

// Converts the movement file at `inputPath` (UTF-8, relative to the working
// directory, exactly as typed) into a CSV file beside it, and narrates
// every step in `state.log`.
//
// This is all the window and the command line need: call it, then show
// state.log's lines. The run clears the log first; when it returns the log
// is complete and state.header, state.record and state.tallies hold the
// results until the next run. It never throws for bad input and never
// stops half-way: every failure becomes a numbered "ERRO" line and the run
// goes on to its closing statistics. A CSV is put in place only when it
// was written completely; otherwise an earlier CSV of the same name stays
// as it was.
//
// Returns true when the run ended with "008 Fim de Conversão bem sucedido",
// false when it ended with "011 CONVERSÃO NÃO REALIZADA". When the CSV
// could not be created, written or replaced (023, 025) and `csvFailure` is
// given, it gets the reason in the system's words, which the log's fixed
// message does not carry; otherwise it is emptied.
bool RunConversion(ModuleState& state, std::string_view inputPath,
                   std::string* csvFailure = nullptr);

}  // namespace ravuvur
