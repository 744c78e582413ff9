#pragma once

#include <string>
#include <string_view>

#include "conversion/csv_target.h"
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
//
// A program converting several files gives `claim`, which the run asks
// about its CSV before writing anything (see CsvClaim): a CSV another
// input writes gives "030 ERRO: o arquivo de saida já pertence ao arquivo
// de entrada: <that input>", the records still counted and nothing
// written. The window converts one file at a time and gives none.
bool RunConversion(ModuleState& state, std::string_view inputPath,
                   std::string* csvFailure = nullptr, const CsvClaim& claim = {});

// The most files (descriptors, handles) one run holds open at once: the
// input, the CSV's folder, the folders on the way while links to folders
// are followed (at most eight), the earlier CSV and the new file. A
// program running several at once keeps this many free for each.
constexpr int kFilesOpenPerRun = 16;

}  // namespace ravuvur
