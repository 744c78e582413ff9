// Reading the inputs of a report (which files, in which order, each once,
// counted as a conversion counts it) and writing its three files.

#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/run_conversion.h"
#include "core/text.h"
#include "report/folder_listing.h"
#include "report/report_run.h"
#include "tests/report/independent_count.h"
#include "tests/report/sample_files.h"
#include "tests/report/tally_helpers.h"
#include "tests/support/test_files.h"

namespace {

using ziz_test::Departure;
using ziz_test::MovementFile;
using ziz_test::Record;
using ziz_test::WriteFile;
using Strings = std::vector<std::string>;

class ReportRunTest : public ::testing::Test {
 protected:
  // The daily rows read so far, without the header row.
  ziz_test::CsvRows DailyRows() const {
    ziz_test::StringSink sink;
    report::WriteDailyCsv(reader.tally(), sink);
    ziz_test::CsvRows rows = ziz_test::CsvRowsOf(sink.text);
    rows.erase(rows.begin());
    return rows;
  }
  std::string In(std::string_view name) const { return report::InFolder(dir.path(), name); }

  ziz_test::TempDir dir;
  Strings notes;  // "NAME: MESSAGE", as the reader told them
  report::ReportReader reader{[this](const report::FileNote& note, bool /*counted*/) {
    notes.push_back(note.shownName + ": " + note.message);
  }};
};

const std::string kNotACount = MovementFile("99999", {Departure()});  // refused with 026

TEST_F(ReportRunTest, AFolderGivesItsMovementFilesInNameOrderIgnoringCase) {
  // Each file is refused for its count, so the notes show the order read.
  for (const char* name : {"b.dat", "C.DAT", "a.Dat", ".oculto.DAT", "notas.txt", "MOV.DATA"}) {
    WriteFile(In(name), kNotACount);
  }
  ziz_test::MakeFolder(In("sub"));
  WriteFile(report::InFolder(In("sub"), "d.DAT"), kNotACount);  // not entered
  ziz_test::MakeFolder(In("PASTA.DAT"));                        // named as a file: refused
  reader.Read(dir.path());
  const std::string refused = ": 026 ERRO: quantidade de registros fora do limite: 99999";
  EXPECT_EQ(notes, (Strings{In("a.Dat") + refused, In("b.dat") + refused, In("C.DAT") + refused,
                            In("PASTA.DAT") + ": 021 ERRO ao abrir o arquivo de entrada"}));
}

TEST_F(ReportRunTest, AFolderNamedLikeAMovementFileIsReadAsAFolderOnlyWithASeparator) {
  ziz_test::MakeFolder(In("ARQUIVO.DAT"));
  WriteFile(report::InFolder(In("ARQUIVO.DAT"), "MOV.DAT"), MovementFile("00001", {Departure()}));
  reader.Read(In("ARQUIVO.DAT"));
  EXPECT_EQ(notes, (Strings{In("ARQUIVO.DAT") + ": 021 ERRO ao abrir o arquivo de entrada"}));
  EXPECT_EQ(reader.facts().filesCounted, 0);
  reader.Read(report::InFolder(In("ARQUIVO.DAT"), ""));
  EXPECT_EQ(reader.facts().filesCounted, 1);
}

TEST_F(ReportRunTest, TheSameFileUnderAnyNameIsReadOnceAnotherLikeItIsSummed) {
  ziz_test::MakeFolder(In("arquivo"));
  const std::string file = report::InFolder(In("arquivo"), "MOV.DAT");
  WriteFile(file, MovementFile("00001", {Departure()}));
  std::filesystem::create_hard_link(std::filesystem::u8path(file),
                                    std::filesystem::u8path(In("SEGUNDO-NOME.DAT")));
  reader.Read(file);
  reader.Read(file);
  reader.Read(In("arquivo"));
  reader.Read(In("SEGUNDO-NOME.DAT"));
  EXPECT_EQ(reader.facts().filesCounted, 1);
  EXPECT_EQ(reader.inputs().size(), 1u);
  EXPECT_EQ(DailyRows()[0][2], "1");

  WriteFile(In("COPIA.DAT"), MovementFile("00001", {Departure()}));
  reader.Read(In("COPIA.DAT"));
  EXPECT_EQ(DailyRows()[0][2], "2") << "two files for one station-day are summed";
  EXPECT_TRUE(notes.empty());
}

TEST_F(ReportRunTest, AFileAConversionRefusesCountsNothingAndIsNamed) {
  WriteFile(In("BOM.DAT"), MovementFile("00001", {Departure()}));
  WriteFile(In("CONTAGEM.DAT"), MovementFile("40000", {Departure(), Departure()}));
  reader.Read(In("FALTA.DAT"));
  reader.Read(In("CONTAGEM.DAT"));
  reader.Read("");
  reader.Read(In("BOM.DAT"));
  EXPECT_EQ(notes, (Strings{In("FALTA.DAT") + ": 021 ERRO ao abrir o arquivo de entrada",
                            In("CONTAGEM.DAT") +
                                ": 026 ERRO: quantidade de registros fora do limite: 40000",
                            "'': 021 ERRO ao abrir o arquivo de entrada"}));
  EXPECT_FALSE(reader.AllCounted());
  EXPECT_EQ(reader.facts().filesNotCounted.size(), 3u);
  EXPECT_EQ(reader.facts().filesCounted, 1);
  EXPECT_EQ(DailyRows()[0][2], "1");
}

TEST_F(ReportRunTest, AShortFileCountsWhatItHoldsAndSaysSo) {
  WriteFile(In("CURTO.DAT"), MovementFile("00010", {Departure(), Departure()}));
  reader.Read(In("CURTO.DAT"));
  EXPECT_EQ(notes, (Strings{In("CURTO.DAT") +
                            ": 027 AVISO: fim do arquivo antes do registro 3 de 00010"}));
  EXPECT_TRUE(reader.AllCounted());
  EXPECT_EQ(DailyRows()[0][2], "2");
}

TEST_F(ReportRunTest, ManyFilesAreTakenInTheOrderNamedWhateverThreadReadsThem) {
  // More files than are ever read ahead, every third refused: the notes
  // and the sum show each file taken once, in order.
  Strings expected;
  for (int k = 0; k < 300; ++k) {
    const std::string name = In("F" + std::to_string(1000 + k) + ".DAT");
    if (k % 3 == 0) {
      WriteFile(name, kNotACount);
      expected.push_back(name + ": 026 ERRO: quantidade de registros fora do limite: 99999");
    } else {
      WriteFile(name, MovementFile("00001", {Departure()}));
    }
  }
  reader.Read(dir.path());
  EXPECT_EQ(notes, expected);
  EXPECT_EQ(reader.facts().filesCounted, 200);
  EXPECT_EQ(DailyRows()[0][2], "200");
}

// A file of one station's day gives one row, equal to the statistics its
// own conversion logs (013 to 020).
class DayFileTest : public ReportRunTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(DayFileTest, ItsRowEqualsItsConversionStatistics) {
  WriteFile(In("DIA.DAT"), GetParam());
  ravuvur::ModuleState state = ziz_test::FixedClockState();
  ravuvur::RunConversion(state, In("DIA.DAT"));
  std::map<std::string, std::string> logged;
  for (const std::string& message : ziz_test::Messages(state.log)) {
    logged[message.substr(0, 3)] = message.substr(message.rfind(' ') + 1);
  }
  reader.Read(In("DIA.DAT"));
  ASSERT_EQ(DailyRows().size(), 1u);
  EXPECT_EQ(DailyRows()[0],
            (Strings{"SBJD", "06/12/2026", logged["013"], logged["014"], logged["015"],
                     logged["016"], logged["019"], logged["018"], logged["020"]}));
}

Record Flagged(std::string flag = "X") {
  Record r = Departure();
  r.flag = std::move(flag);
  return r;
}

Record TabAsDestination() {
  Record r = ziz_test::Arrival();
  r.destination = "\t";  // not blank: a crossing
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    DayFiles, DayFileTest,
    ::testing::Values(MovementFile("00007", {Departure(), ziz_test::Arrival(), ziz_test::Arrival(),
                                             ziz_test::Crossing(), ziz_test::Condition(),
                                             ziz_test::TouchAndGo(), Flagged()}),
                      MovementFile("00005", {Departure(), ziz_test::Arrival()}),  // short
                      MovementFile("2.5",
                                   {Departure(), ziz_test::Arrival(), Departure()}),  // counts 2
                      MovementFile("&H01", {ziz_test::Crossing(), Departure()}),
                      MovementFile("00004", {Flagged("x"), TabAsDestination(),
                                             ziz_test::Condition(), Departure("    ", "0705")})));

// The bar, read and written in this process (dta2csv itself is in
// report_command_test.cpp): both files equal a plain count of their own,
// row by row, and every number reads as a number.
TEST_F(ReportRunTest, AnArchiveGivesWhatAnIndependentCountGives) {
  const std::string archive = In("arquivo");
  const std::string out = In("relatorio");
  ziz_test::MakeFolder(archive);
  ziz_test::MakeFolder(out);
  ziz_test::WriteSixMonths(archive);
  ziz_test::WriteOddFiles(archive);
  reader.Read(archive);
  std::string failure;
  ASSERT_TRUE(report::WriteReport(out, reader, failure)) << failure;

  Strings contents;
  for (const std::string& name : ziz_test::EntriesOf(archive)) {
    const std::string path = report::InFolder(archive, name);
    if (!report::IsFolder(path)) contents.push_back(ziz_test::ReadFile(path));
  }
  const ziz_test::ExpectedReport expected = ziz_test::CountIndependently(contents);
  const ziz_test::CsvRows daily =
      ziz_test::CsvRowsOf(ziz_test::ReadFile(report::InFolder(out, "TOTAL-DIARIO.CSV")));
  const ziz_test::CsvRows hourly =
      ziz_test::CsvRowsOf(ziz_test::ReadFile(report::InFolder(out, "MOV-POR-HORA.CSV")));
  ASSERT_EQ(daily.size(), expected.daily.size());
  for (std::size_t row = 0; row < daily.size(); ++row) {
    EXPECT_EQ(daily[row], expected.daily[row]) << "row " << row;
  }
  ASSERT_EQ(hourly.size(), expected.hourly.size());
  for (std::size_t row = 0; row < hourly.size(); ++row) {
    EXPECT_EQ(hourly[row], expected.hourly[row]) << "row " << row;
  }
  EXPECT_EQ(daily.size(), 1 + 2u * 90 + 1) << "header, two stations' 90 days, unreadable dates";
}

// What a spreadsheet needs to take every number as a number: counts of
// digits only, dates DD/MM/YYYY and hours of two digits (or empty).
TEST_F(ReportRunTest, EveryItemOfBothFilesReadsAsWhatItIs) {
  ziz_test::WriteSixMonths(dir.path());
  ziz_test::WriteOddFiles(dir.path());
  reader.Read(dir.path());
  const std::string out = In("relatorio");
  ziz_test::MakeFolder(out);
  std::string failure;
  ASSERT_TRUE(report::WriteReport(out, reader, failure)) << failure;
  const auto digits = [](const std::string& item, std::size_t size) {
    return (size == 0 || item.size() == size) && !item.empty() &&
           item.find_first_not_of("0123456789") == std::string::npos;
  };
  const auto isDate = [&](const std::string& d) {
    return d.empty() ||
           (d.size() == 10 && d[2] == '/' && d[5] == '/' && digits(d.substr(0, 2), 2) &&
            digits(d.substr(3, 2), 2) && digits(d.substr(6), 4));
  };
  std::size_t rows = 0;
  for (const char* name : {"TOTAL-DIARIO.CSV", "MOV-POR-HORA.CSV"}) {
    const ziz_test::CsvRows table =
        ziz_test::CsvRowsOf(ziz_test::ReadFile(report::InFolder(out, name)));
    const std::size_t firstCount = table[0][2] == "Hora" ? 3 : 2;
    for (std::size_t row = 1; row < table.size(); ++row, ++rows) {
      EXPECT_TRUE(isDate(table[row][1])) << name << " row " << row;
      if (firstCount == 3) {
        EXPECT_TRUE(table[row][2].empty() || digits(table[row][2], 2)) << name << " row " << row;
      }
      for (std::size_t item = firstCount; item < table[row].size(); ++item) {
        EXPECT_TRUE(digits(table[row][item], 0)) << name << " row " << row << " item " << item;
      }
    }
  }
  EXPECT_GT(rows, 4000u);
}

TEST_F(ReportRunTest, AnEarlierReportIsReplacedWholeAndNothingIsLeft) {
  for (const char* name : {"TOTAL-DIARIO.CSV", "MOV-POR-HORA.CSV", "RELATORIO.HTML"}) {
    WriteFile(In(name), ziz_test::kEarlierCsv);
  }
  WriteFile(In("MOV.DAT"), MovementFile("00001", {Departure()}));
  reader.Read(In("MOV.DAT"));
  std::string failure;
  ASSERT_TRUE(report::WriteReport(dir.path(), reader, failure)) << failure;
  EXPECT_EQ(dir.Entries(),
            (Strings{"MOV-POR-HORA.CSV", "MOV.DAT", "RELATORIO.HTML", "TOTAL-DIARIO.CSV"}));
  EXPECT_TRUE(ziz_test::ReadFile(In("TOTAL-DIARIO.CSV")).ends_with("\"1\",\"1\"\r\n"));
  EXPECT_EQ(ziz_test::CsvRowsOf(ziz_test::ReadFile(In("MOV-POR-HORA.CSV"))).size(), 25u);
  EXPECT_TRUE(ziz_test::ReadFile(In("RELATORIO.HTML")).ends_with("</html>\n"));
}

TEST_F(ReportRunTest, AReportFileThatIsAnInputLeavesEveryFileAsItWas) {
  for (const char* name : {"TOTAL-DIARIO.CSV", "MOV-POR-HORA.CSV", "RELATORIO.HTML"}) {
    WriteFile(In(name), ziz_test::kEarlierCsv);
  }
  reader.Read(In("RELATORIO.HTML"));  // read as a movement file: no records
  std::string failure;
  EXPECT_FALSE(report::WriteReport(dir.path(), reader, failure));
  EXPECT_EQ(failure, ravuvur::ShownInLog(In("RELATORIO.HTML")) + ": it is one of the inputs");
  EXPECT_EQ(dir.Entries(), (Strings{"MOV-POR-HORA.CSV", "RELATORIO.HTML", "TOTAL-DIARIO.CSV"}));
  for (const char* name : {"TOTAL-DIARIO.CSV", "MOV-POR-HORA.CSV", "RELATORIO.HTML"}) {
    EXPECT_EQ(ziz_test::ReadFile(In(name)), ziz_test::kEarlierCsv) << name;
  }
}

TEST_F(ReportRunTest, AFolderThatCannotTakeTheReportIsSaidAndGetsNothing) {
  WriteFile(In("arquivo"), "not a folder");
  for (const std::string& folder : {In("falta"), In("arquivo")}) {
    std::string failure;
    EXPECT_FALSE(report::CanWriteReport(folder, failure)) << folder;
    EXPECT_TRUE(failure.starts_with(report::InFolder(folder, "TOTAL-DIARIO.CSV") + ": "))
        << failure;
    EXPECT_FALSE(report::WriteReport(folder, reader, failure)) << folder;
  }
  EXPECT_EQ(dir.Entries(), (Strings{"arquivo"}));
}

}  // namespace
