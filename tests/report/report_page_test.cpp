// The report's page: self-contained, its tables the CSV files' rows, its
// charts one bar per value, and every text from a file escaped.

#include <gtest/gtest.h>

#include "report/report_page.h"
#include "report/summary.h"
#include "tests/report/independent_count.h"
#include "tests/report/tally_helpers.h"

namespace {

using report::Tally;
using ziz_test::CountAll;
using ziz_test::CsvRows;
using ziz_test::On;
using ziz_test::Record;
using ziz_test::StringSink;

std::string Page(const Tally& tally, const report::PageFacts& facts = {}) {
  StringSink sink;
  report::WritePage(tally, report::Summarize(tally), facts, sink);
  return sink.text;
}

std::size_t Occurrences(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// What a browser shows of a cell: its text with the five references read.
std::string Unescaped(std::string_view html) {
  std::string text;
  for (std::size_t at = 0; at < html.size();) {
    bool replaced = false;
    for (const auto& [reference, c] : {std::pair<std::string_view, char>{"&amp;", '&'},
                                       {"&lt;", '<'},
                                       {"&gt;", '>'},
                                       {"&quot;", '"'},
                                       {"&#39;", '\''}}) {
      if (html.substr(at, reference.size()) == reference) {
        text += c;
        at += reference.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) text += html[at++];
  }
  return text;
}

// The rows of the body of the table with id `id`, cell by cell; a cell
// holds text only and ends where the next tag begins.
CsvRows TableRows(const std::string& page, std::string_view id) {
  CsvRows rows;
  const std::size_t table = page.find("<table id=\"" + std::string(id) + "\"");
  const std::size_t body = page.find("<tbody>", table);
  const std::size_t end = page.find("</tbody>", body);
  if (table == std::string::npos || end == std::string::npos) return rows;
  for (std::size_t tag = page.find('<', body + 1); tag < end; tag = page.find('<', tag + 1)) {
    if (page.compare(tag, 3, "<tr") == 0) rows.emplace_back();
    if (page.compare(tag, 3, "<td") != 0) continue;
    const std::size_t open = page.find('>', tag) + 1;
    rows.back().push_back(
        Unescaped(std::string_view(page).substr(open, page.find('<', open) - open)));
  }
  return rows;
}

CsvRows WithoutHeader(CsvRows rows) {
  rows.erase(rows.begin());
  return rows;
}

// The part of the page that draws the chart with id `id`.
std::string Chart(const std::string& page, std::string_view id) {
  const std::size_t start = page.find("aria-labelledby=\"" + std::string(id) + "-t");
  const std::size_t end = page.find("</svg>", start);
  return start == std::string::npos ? "" : page.substr(start, end - start);
}

struct Rect {
  std::string cssClass;
  double y = 0;
  double height = 0;
};

// The bars of a chart, in the order drawn.
std::vector<Rect> Rects(const std::string& chart) {
  std::vector<Rect> rects;
  const auto value = [&chart](std::size_t from, std::string_view attribute) {
    const std::size_t at = chart.find(" " + std::string(attribute) + "=\"", from);
    return chart.substr(at + attribute.size() + 3,
                        chart.find('"', at + attribute.size() + 3) - at - attribute.size() - 3);
  };
  for (std::size_t at = chart.find("<rect"); at != std::string::npos;
       at = chart.find("<rect", at + 1)) {
    rects.push_back(
        {value(at, "class"), std::stod(value(at, "y")), std::stod(value(at, "height"))});
  }
  return rects;
}

// Two stations, a day without movements between two days, an unreadable
// date and an unreadable time.
Tally Sample() {
  Tally tally;
  CountAll(tally, {On(ziz_test::Departure("SBKP", "0705"), "SBJD", "010326"),
                   On(ziz_test::Arrival("SBMT", "0742"), "SBJD", "010326"),
                   On(ziz_test::Arrival("SBMT", "1830"), "SBJD", "030326"),
                   On(ziz_test::TouchAndGo(), "SBJD", "030326"),
                   On(ziz_test::Departure("SBKP", "2400"), "SBKP", "030326"),
                   On(ziz_test::Condition(), "SBKP", "280226")});
  return tally;
}

TEST(ReportPageTest, TablesHoldTheRowsOfTheCsvFiles) {
  const Tally tally = Sample();
  const std::string page = Page(tally);
  StringSink daily, hourly;
  report::WriteDailyCsv(tally, daily);
  report::WriteHourlyCsv(tally, hourly);
  EXPECT_EQ(TableRows(page, "tabela-total-diario"), WithoutHeader(ziz_test::CsvRowsOf(daily.text)));
  EXPECT_EQ(TableRows(page, "tabela-mov-por-hora"),
            WithoutHeader(ziz_test::CsvRowsOf(hourly.text)));
}

TEST(ReportPageTest, IsOneFileThatNeedsNoOtherAndNoScript) {
  const std::string page = Page(Sample());
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n<html lang=\"pt-BR\">")) << page.substr(0, 60);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  for (const char* reference : {"src=", "href=", "url(", "@import", "<script", "<link", "<img",
                                "<iframe", "<object", "<embed"}) {
    EXPECT_EQ(page.find(reference), std::string::npos) << reference;
  }
}

TEST(ReportPageTest, HasTwoChartsEachWithATitleAndADescription) {
  const std::string page = Page(Sample());
  EXPECT_EQ(Occurrences(page, "<svg"), 2u);
  for (const char* id : {"grafico-hora", "grafico-dia"}) {
    const std::string chart = Chart(page, id);
    EXPECT_NE(chart.find("<title id=\"" + std::string(id) + "-t\">"), std::string::npos) << id;
    EXPECT_NE(chart.find("<desc id=\"" + std::string(id) + "-d\">"), std::string::npos) << id;
  }
}

TEST(ReportPageTest, HourChartStacksOneBarPerHourWithDeparturesAndArrivals) {
  // Hours 07 (a departure and an arrival) and 18 (an arrival); the
  // departure at 24:00 has no hour.
  const std::string chart = Chart(Page(Sample()), "grafico-hora");
  EXPECT_EQ(Occurrences(chart, "<rect class=\"partida\""), 1u);
  EXPECT_EQ(Occurrences(chart, "<rect class=\"chegada\""), 2u);
  EXPECT_NE(chart.find("<title>07h: 1 partida</title>"), std::string::npos);
  EXPECT_NE(chart.find("<title>18h: 1 chegada</title>"), std::string::npos);
  // At 07 the arrival sits on the departure; each is as tall as the lone
  // arrival at 18.
  const std::vector<Rect> bars = Rects(chart);
  ASSERT_EQ(bars.size(), 3u);
  const Rect& departure07 = bars[0];
  const Rect& arrival07 = bars[1];
  const Rect& arrival18 = bars[2];
  EXPECT_EQ(departure07.cssClass + arrival07.cssClass + arrival18.cssClass,
            "partidachegadachegada");
  EXPECT_DOUBLE_EQ(arrival07.y + arrival07.height, departure07.y);
  EXPECT_DOUBLE_EQ(departure07.height, arrival18.height);
  EXPECT_DOUBLE_EQ(arrival07.height, arrival18.height);
}

TEST(ReportPageTest, DayChartDrawsTheWholePeriodAllStationsSummed) {
  // 28/02 (a condition only), 01/03 (2 movements), 02/03 (none), 03/03 (3).
  const std::string chart = Chart(Page(Sample()), "grafico-dia");
  EXPECT_EQ(Occurrences(chart, "<rect"), 2u);
  EXPECT_NE(chart.find("<title>01/03/2026: 2 movimentos</title>"), std::string::npos);
  EXPECT_NE(chart.find("<title>03/03/2026: 3 movimentos</title>"), std::string::npos);
  EXPECT_NE(chart.find("4 dias"), std::string::npos) << "the days counted in its description";
}

TEST(ReportPageTest, SummaryStatesPeriodTotalBusiestDayAndHourAndUnreadableRows) {
  Tally tally = Sample();
  ziz_test::Record noDate = ziz_test::Departure();
  noDate.date = "321226";
  CountAll(tally,
           std::vector<Record>(1200, On(ziz_test::Arrival("SBMT", "1830"), "SBJD", "020326")));
  CountAll(tally, {noDate});
  const std::string page = Page(tally);
  for (const char* text :
       {"28/02/2026 a 03/03/2026", "<dt>Total de movimentos</dt><dd>1.206",
        "<dt>Dia mais movimentado</dt><dd>02/03/2026 <small>(1.200 movimentos)",
        "<dt>Hora mais movimentada</dt><dd>18:00–18:59 <small>(1.201 partidas e chegadas)",
        "1 registro com data ilegível", "1 partida ou chegada com hora ilegível"}) {
    EXPECT_NE(page.find(text), std::string::npos) << text;
  }
}

// A period of one day is that day; three digits take no dot; none is
// plural.
TEST(ReportPageTest, OneDayOfAHundredAndTwentyMovementsReadsAsWritten) {
  Tally tally;
  CountAll(tally, std::vector<Record>(120, On(ziz_test::Departure(), "SBJD", "010326")));
  const std::string page = Page(tally);
  for (const char* text :
       {"<dt>Período</dt><dd>01/03/2026</dd>", "<dt>Total de movimentos</dt><dd>120 <small>",
        "0 registros com data ilegível"}) {
    EXPECT_NE(page.find(text), std::string::npos) << text;
  }
}

TEST(ReportPageTest, EveryTextFromAFileIsEscaped) {
  Tally tally;
  CountAll(tally, {On(ziz_test::Departure(), "<scr", "010326"),
                   On(ziz_test::Departure(), "A\x01\"B", "010326"),
                   On(ziz_test::Departure(), "S\xE9&", "010326")});
  report::PageFacts facts;
  facts.filesNotCounted.push_back({"<img src=x onerror=alert(1)>.DAT", "021 ERRO <b>"});
  const std::string page = Page(tally, facts);
  for (const char* markup : {"<scr", "<img", "<b>", "\x01"}) {
    EXPECT_EQ(page.find(markup), std::string::npos) << markup;
  }
  // A control byte shows as the log shows it; Windows-1252 text as UTF-8.
  for (const char* shown :
       {"&lt;scr", "&#39;A&#39;$&#39;\\001&#39;&#39;&quot;B&#39;", "S\xC3\xA9&amp;",
        "&lt;img src=x onerror=alert(1)&gt;.DAT", "021 ERRO &lt;b&gt;"}) {
    EXPECT_NE(page.find(shown), std::string::npos) << shown;
  }
}

}  // namespace
