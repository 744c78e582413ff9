#include <gtest/gtest.h>

#include <clocale>
#include <regex>

#include "core/ravuvur.h"
#include "core/text.h"

namespace ravuvur {
namespace {

TEST(ProgressLogTest, LinesAreTimeSpaceMessageInOrder) {
  int calls = 0;
  ProgressLog log(
      [&calls]() -> std::string_view { return ++calls == 1 ? "09:00:00" : "09:00:01"; });
  LogMessage(log, msg::k000Starting);
  LogMessage(log, msg::k002Header);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.Line(0), "09:00:00 000 Iniciando a conversão");
  EXPECT_EQ(log.Line(1), "09:00:01 002 Cabecalho");
  EXPECT_EQ(log.Text(), "09:00:00 000 Iniciando a conversão\n09:00:01 002 Cabecalho\n");
  ClearLog(log);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(log.Text(), "");
}

TEST(ProgressLogTest, PassingLogHandsOnWholeLinesAndKeepsNone) {
  std::string passed;
  bool wholeLines = true;
  ProgressLog log([]() -> std::string_view { return "09:00:00"; },
                  [&](std::string_view lines) {
                    wholeLines = wholeLines && lines.back() == '\n';
                    passed += lines;
                  });
  for (int i = 0; i < 5000; ++i) LogMessage(log, "007 " + std::to_string(i) + " de 05000");
  EXPECT_FALSE(passed.empty()) << "long before the end, lines are on their way";
  EXPECT_LT(log.Text().size(), std::size_t{128} * 1024) << "and not held";
  log.Flush();
  EXPECT_TRUE(wholeLines);
  EXPECT_EQ(std::count(passed.begin(), passed.end(), '\n'), 5000);
  EXPECT_EQ(passed.substr(passed.size() - 27), "09:00:00 007 4999 de 05000\n");
  EXPECT_EQ(log.size(), 5000u);
}

TEST(ProgressLogTest, LineFarLongerThanTheFirstBufferIsKeptWhole) {
  // A 3 KB path of bytes that are not UTF-8, each shown as four.
  const std::string shown = ShownInLog(std::string(3000, '\xff'));
  ASSERT_EQ(shown.size(), 3u + 4u * 3000u);
  const std::string line = "09:00:00 " + std::string(msg::k001Opening) + shown;
  std::string passed;
  ProgressLog keeping([]() -> std::string_view { return "09:00:00"; });
  ProgressLog passing([]() -> std::string_view { return "09:00:00"; },
                      [&passed](std::string_view lines) { passed += lines; });
  for (ProgressLog* log : {&keeping, &passing}) {
    LogMessage(*log, msg::k000Starting);
    LogMessage(*log, msg::k001Opening, shown);
    log->Flush();
  }
  EXPECT_EQ(keeping.Line(1), line);
  EXPECT_EQ(passed, "09:00:00 000 Iniciando a conversão\n" + line + "\n");
}

#if !defined(_WIN32)
// On Windows the user's locale, not the C library's, gives the format
// (tests/windows/local_time_test.cpp).
TEST(ProgressLogTest, LocaleTimeUnderTheCLocaleIsTwentyFourHour) {
  std::setlocale(LC_ALL, "C");
  ProgressLog log;
  LogMessage(log, "x");
  EXPECT_TRUE(
      std::regex_match(std::string(log.Line(0)), std::regex(R"([0-2]\d:[0-5]\d:[0-6]\d x)")))
      << log.Line(0);
}
#endif

TEST(CatalogueTest, StatisticsLiteralsLineUpAtTwentyOneCharacters) {
  for (const std::string_view literal :
       {msg::k009Created, msg::k013Departures, msg::k014Arrivals, msg::k015Crossings,
        msg::k016Conditions, msg::k017TotalRecords, msg::k018TotalMovements, msg::k019TouchAndGo,
        msg::k020TotalDepArr}) {
    EXPECT_EQ(CharacterCount(literal), 21u) << literal;
  }
}

TEST(CatalogueTest, EveryLiteralStartsWithItsCode) {
  const std::string_view literals[] = {msg::k000Starting,
                                       msg::k001Opening,
                                       msg::k002Header,
                                       msg::k003Station,
                                       msg::k004Movement,
                                       msg::k005RecordCount,
                                       msg::k006Processing,
                                       msg::k007Record,
                                       msg::k008Success,
                                       msg::k009Created,
                                       msg::k010NoFile,
                                       msg::k011NotConverted,
                                       msg::k012Output,
                                       msg::k013Departures,
                                       msg::k014Arrivals,
                                       msg::k015Crossings,
                                       msg::k016Conditions,
                                       msg::k017TotalRecords,
                                       msg::k018TotalMovements,
                                       msg::k019TouchAndGo,
                                       msg::k020TotalDepArr,
                                       msg::k021CannotOpenInput,
                                       msg::k022CannotDeriveOutput,
                                       msg::k023CannotCreateOutput,
                                       msg::k024OutputIsInput,
                                       msg::k025CannotWriteOutput,
                                       msg::k026CountOutOfRange,
                                       msg::k027EarlyEnd,
                                       msg::k028CannotReadInput};
  int code = 0;
  for (const std::string_view literal : literals) {
    char expected[5];
    std::snprintf(expected, sizeof expected, "%03d ", code++);
    EXPECT_EQ(literal.substr(0, 4), expected);
  }
}

}  // namespace
}  // namespace ravuvur
