#pragma once

#include <functional>
#include <optional>
#include <string>

#include "conversion/input_file.h"

namespace ravuvur {

// The CSV file a run is about to write, as its commit found it on disk
// once the links on the way were followed: the folder its name is in, that
// name, and the file already there, if any. Two paths that reach one CSV
// (letter case, a link, the same name twice) give the same folder and name
// or, where the CSV exists, the same file.
struct CsvTarget {
  FileIdentity folder;                   // of the folder the name is in
  std::string name;                      // upper-cased where names ignore case
  std::optional<FileIdentity> existing;  // the CSV found at that name
};

// Lets a program that converts several files refuse a CSV that one of its
// earlier inputs writes: asked by a run once it knows its CSV and before it
// makes any file, it answers with that earlier input (the run then refuses
// with 030 and writes nothing) or with nothing (the CSV is the run's).
using CsvClaim = std::function<std::optional<std::string>(const CsvTarget&)>;

}  // namespace ravuvur
