#include <gtest/gtest.h>

#include <optional>

#include "conversion/run_conversion.h"
#include "core/text.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Arrival;
using ziz_test::Codes;
using ziz_test::Condition;
using ziz_test::Crossing;
using ziz_test::Departure;
using ziz_test::Messages;
using ziz_test::MovementFile;
using ziz_test::Record;
using ziz_test::TouchAndGo;
using Strings = std::vector<std::string>;

class RunConversionTest : public ::testing::Test {
 protected:
  // Writes `bytes` as mov.dat in the scratch folder and converts it.
  bool Convert(std::string_view bytes, const std::string& name = "mov.dat") {
    ziz_test::WriteFile(dir / name, bytes);
    return RunConversion(state, dir / name);
  }
  std::string Csv(const std::string& name = "MOV.CSV") const {
    return ziz_test::ReadFile(dir / name);
  }
  Strings Log() const { return Messages(state.log); }

  ziz_test::TempDir dir;
  ModuleState state = ziz_test::FixedClockState();
};

TEST_F(RunConversionTest, NarratesEveryStepOfAThreeRecordRun) {
  ASSERT_TRUE(
      Convert(MovementFile("00003", {Departure(), TouchAndGo(), Departure("SBGR", "1200")})));
  const std::string in = dir / "mov.dat";
  EXPECT_EQ(Log(), (Strings{
                       "000 Iniciando a conversão",
                       "001 Abrindo arquivo.....: " + UpperCase(in),
                       "012 Arquivo de saida CSV: " + dir / "MOV.CSV",
                       "002 Cabecalho",
                       "003 Estacao: SBJD",
                       "004 Movimento: " + in,
                       "005 Qtd. Registros: 00003",
                       "006 Processando Registros",
                       "007 1 de 00003",
                       "007 2 de 00003",
                       "007 3 de 00003",
                       "008 Fim de Conversão bem sucedido",
                       "009 Criado o Arquivo " + dir / "MOV.CSV",
                       "013 Partidas.......: 2",
                       "014 Chegadas.......: 0",
                       "015 Través.........: 0",
                       "019 Toque/Arremetid: 1",
                       "016 Cond.Aeroporto.: 0",
                       "018 Total Movimento: 3",
                       "020 Total DEP/ARR..: 2",
                       "017 Total Registros: 00003",
                   }));
  EXPECT_EQ(state.log.Line(0), "12:00:00 000 Iniciando a conversão");
  EXPECT_EQ(Csv(),
            "\"06/12/2026\",\"07:05\",\"DEP\",\"PRJGA  \",\"SBJD\",\"SBKP\",\"C172\",\"V\",\"01\","
            "\"18\",\"AER1\"\r\n"
            "\"06/12/2026\",\"12:00\",\"DEP\",\"PRJGA  \",\"SBJD\",\"SBGR\",\"C172\",\"V\",\"01\","
            "\"18\",\"AER1\"\r\n");
}

TEST_F(RunConversionTest, CountsEveryKindAndWritesRowsInRecordOrder) {
  std::vector<Record> records(5, TouchAndGo());
  records.push_back(Arrival("SBMT", "0900"));
  records.insert(records.end(), 4, Condition());
  records.push_back(Departure("SBKP", "0800"));
  records.push_back(Crossing());
  records.push_back(Departure("SBGR", "1000"));
  records.push_back(Arrival("SBRP", "1100"));
  records.push_back(Departure("SBSP", "1200"));
  ASSERT_TRUE(Convert(MovementFile("00015", records)));

  EXPECT_EQ(state.log.size(), 15u + 18u);
  const Strings log = Log();
  EXPECT_EQ(Strings(log.end() - 8, log.end()),
            (Strings{"013 Partidas.......: 3", "014 Chegadas.......: 2", "015 Través.........: 1",
                     "019 Toque/Arremetid: 5", "016 Cond.Aeroporto.: 4", "018 Total Movimento: 11",
                     "020 Total DEP/ARR..: 5", "017 Total Registros: 00015"}));
  const std::string csv = Csv();
  std::string times;
  for (std::size_t at = 0; (at = csv.find("\",\"", at)) != std::string::npos;
       at = csv.find('\n', at)) {
    times += csv.substr(at + 3, 5) + csv.substr(at + 11, 3) + " ";
  }
  EXPECT_EQ(times, "09:00ARR 08:00DEP 10:00DEP 11:00ARR 12:00DEP ");
}

TEST_F(RunConversionTest, EmptyPathLogsThreeLinesAndTouchesNothing) {
  EXPECT_FALSE(RunConversion(state, ""));
  EXPECT_EQ(Log(), (Strings{"000 Iniciando a conversão", "010 ARQUIVO DTA NÃO INFORMADO",
                            "011 CONVERSÃO NÃO REALIZADA"}));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(RunConversionTest, LogsRecordNumbersWithTheCountTextAsWritten) {
  std::vector<Record> records(12, Departure());
  ASSERT_TRUE(Convert(MovementFile("00012", records)));
  EXPECT_EQ(Log()[8 + 6], "007 7 de 00012");
}

TEST_F(RunConversionTest, BlankCountProcessesNothingAndShowsTheSpaces) {
  ASSERT_TRUE(Convert(MovementFile("     ", {Departure()})));
  const Strings log = Log();
  EXPECT_EQ(log[6], "005 Qtd. Registros:      ");
  EXPECT_EQ(log.back(), "017 Total Registros:      ");
  EXPECT_EQ(log.size(), 18u);
  EXPECT_EQ(Csv(), "");  // an empty CSV is still written
}

TEST_F(RunConversionTest, ZeroOrNegativeCountWritesAnEmptyCsv) {
  for (const char* count : {"00000", "   -3"}) {
    ASSERT_TRUE(Convert(MovementFile(count, {Departure(), Arrival()})));
    EXPECT_EQ(Csv(), "") << count;
    EXPECT_EQ(state.log.size(), 18u) << count;
    EXPECT_EQ(state.tallies.totalMovements, 0);
  }
}

TEST_F(RunConversionTest, ConvertsOnlyTheAnnouncedRecords) {
  ASSERT_TRUE(Convert(MovementFile("00001", {Departure(), Arrival(), Arrival()})));
  EXPECT_EQ(state.tallies.departures, 1);
  EXPECT_EQ(state.tallies.arrivals, 0);
  EXPECT_EQ(Csv().find("ARR"), std::string::npos);
}

TEST_F(RunConversionTest, SecondRunStartsAfreshAndReplacesTheCsv) {
  ASSERT_TRUE(Convert(MovementFile("00002", {Departure(), Departure()})));
  ASSERT_TRUE(Convert(MovementFile("00001", {Arrival()})));
  EXPECT_EQ(state.tallies.departures, 0);
  EXPECT_EQ(state.tallies.arrivals, 1);
  EXPECT_EQ(state.log.size(), 19u);
  EXPECT_EQ(Csv().find("DEP"), std::string::npos);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

TEST_F(RunConversionTest, FewerLinesThanAnnouncedWarnsAndKeepsTheRowsRead) {
  ASSERT_TRUE(Convert(MovementFile("00004", {Departure(), Arrival()})));
  const Strings log = Log();
  EXPECT_EQ(log[10], "027 AVISO: fim do arquivo antes do registro 3 de 00004");
  EXPECT_EQ(log[11], "008 Fim de Conversão bem sucedido");
  EXPECT_EQ(log.size(), 2u + 1u + 18u);
  EXPECT_EQ(state.tallies.totalDepArr, 2);  // the last line is not counted again
  EXPECT_NE(Csv().find("ARR"), std::string::npos);
}

TEST_F(RunConversionTest, HeaderOnlyFileWarnsAtTheFirstRecord) {
  ASSERT_TRUE(Convert(ziz_test::Header("00003") + "\r\n"));
  EXPECT_EQ(Codes(state.log),
            (Strings{"000", "001", "012", "002", "003", "004", "005", "006", "027", "008", "009",
                     "013", "014", "015", "019", "016", "018", "020", "017"}));
  EXPECT_EQ(Csv(), "");
}

TEST_F(RunConversionTest, EmptyInputConvertsToAnEmptyCsv) {
  ASSERT_TRUE(Convert(""));
  EXPECT_EQ(Log()[4], "003 Estacao: ");
  EXPECT_EQ(Csv(), "");
}

TEST_F(RunConversionTest, LargestCountRunsTheLoopToTheEnd) {
  std::string file = ziz_test::Header("32767") + "\r\n";
  const std::string line = Departure().Line() + "\r\n";
  for (int k = 0; k < 32767; ++k) file += line;
  ASSERT_TRUE(Convert(file));
  EXPECT_EQ(state.log.size(), 32767u + 18u);
  EXPECT_EQ(Log()[8 + 32766], "007 32767 de 32767");
  EXPECT_EQ(state.tallies.departures, 32767);
  EXPECT_EQ(state.tallies.totalMovements, 32767);
}

TEST_F(RunConversionTest, AcceptsLineFeedOnlyFiles) {
  std::string file =
      ziz_test::Header("00002") + "\n" + Departure().Line() + "\n" + Arrival().Line();
  ASSERT_TRUE(Convert(file));
  EXPECT_EQ(state.tallies.totalDepArr, 2);
}

TEST_F(RunConversionTest, HeaderTextReachesTheLogAsUtf8AndTheCsvAsWindowsBytes) {
  Record r = Departure();
  r.station = "S\xC3O ";  // SÃO in Windows-1252
  std::string file = ziz_test::Header("00001", "S\xC3O ") + "\r\n" + r.Line() + "\r\n";
  ASSERT_TRUE(Convert(file));
  EXPECT_EQ(Log()[4], "003 Estacao: SÃO ");
  EXPECT_NE(Csv().find("\"S\xC3O \""), std::string::npos);
}

TEST_F(RunConversionTest, UpperCasesTheInputForTheLogButOnlyTheNameForTheCsv) {
  ziz_test::WriteFile(dir / "Mov0612.dta", MovementFile("00000", {}));
  ASSERT_TRUE(RunConversion(state, dir / "Mov0612.dta"));
  const Strings log = Log();
  EXPECT_EQ(log[1], "001 Abrindo arquivo.....: " + UpperCase(dir / "Mov0612.dta"));
  EXPECT_EQ(log[5], "004 Movimento: " + dir / "Mov0612.dta");
  EXPECT_EQ(log[2], "012 Arquivo de saida CSV: " + dir / "MOV0612.CSV");
  EXPECT_TRUE(ziz_test::Exists(dir / "MOV0612.CSV"));
}

// A program converting several files (dta2csv) is asked about each run's
// CSV and may refuse it: the run then says whose it is and writes nothing.
TEST_F(RunConversionTest, CsvOfAnotherInputIsRefusedWith030) {
  ziz_test::WriteFile(dir / "MOV.CSV", ziz_test::kEarlierCsv);
  ziz_test::WriteFile(dir / "mov.dat", MovementFile("00002", {Departure(), Arrival()}));
  const CsvClaim another = [](const CsvTarget&) { return std::optional<std::string>("o\n.dat"); };
  EXPECT_FALSE(RunConversion(state, dir / "mov.dat", nullptr, another));
  EXPECT_EQ(Codes(state.log),
            (Strings{"000", "001", "012", "030", "002", "003", "004", "005", "006", "007",
                     "007", "011", "013", "014", "015", "019", "016", "018", "020", "017"}));
  EXPECT_EQ(Log()[3],
            "030 ERRO: o arquivo de saida já pertence ao arquivo de entrada: 'o'$'\\n''.dat'");
  EXPECT_EQ(state.tallies.totalDepArr, 2) << "the records are still counted";
  EXPECT_EQ(Csv(), ziz_test::kEarlierCsv);
  EXPECT_EQ(dir.Entries(), (Strings{"MOV.CSV", "mov.dat"}));
}

// What the claim is told: one target for every path that reaches one CSV,
// another for a CSV elsewhere, and the CSV itself once it exists.
TEST_F(RunConversionTest, PathsToOneCsvGiveOneTarget) {
  ziz_test::MakeFolder(dir / "sub");
  for (const char* name : {"mov.dat", "sub/mov.dat"}) {
    ziz_test::WriteFile(dir / name, MovementFile("00001", {Departure()}));
  }
  std::vector<CsvTarget> seen;
  const CsvClaim record = [&](const CsvTarget& target) {
    seen.push_back(target);
    return std::optional<std::string>();
  };
  for (const char* path : {"mov.dat", "sub/../mov.dat", "sub/mov.dat"}) {
    EXPECT_TRUE(RunConversion(state, dir / path, nullptr, record)) << path;
  }
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[1].folder, seen[0].folder);
  EXPECT_EQ(seen[1].name, seen[0].name);
  EXPECT_EQ(seen[2].name, seen[0].name);
  EXPECT_NE(seen[2].folder, seen[0].folder);
  EXPECT_FALSE(seen[0].existing) << "no CSV before the first run";
  EXPECT_TRUE(seen[1].existing) << "the first run's CSV";
}

}  // namespace
}  // namespace ravuvur
