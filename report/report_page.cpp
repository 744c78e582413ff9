#include "report/report_page.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/text.h"

namespace report {
namespace {

constexpr std::string_view kMonths[12] = {"jan", "fev", "mar", "abr", "mai", "jun",
                                          "jul", "ago", "set", "out", "nov", "dez"};

// The page is made in pieces and handed to the sink in blocks.
class Page {
 public:
  explicit Page(ByteSink& out) : out_(out) {}
  ~Page() { Flush(); }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  Page& operator<<(std::string_view markup) {
    bytes_ += markup;
    if (bytes_.size() >= kBlock) Flush();
    return *this;
  }
  Page& operator<<(std::int64_t number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return *this << std::string_view(digits, static_cast<std::size_t>(result.ptr - digits));
  }
  Page& operator<<(int number) { return *this << static_cast<std::int64_t>(number); }
  // A coordinate of a chart, to a tenth.
  Page& operator<<(double value) {
    char digits[32];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
    if (text.ends_with(".0")) text.remove_suffix(2);
    return *this << text;
  }
  // Text from anywhere but this file: escaped.
  Page& Text(std::string_view utf8) { return *this << HtmlEscaped(utf8); }

  void Flush() {
    out_.Write(bytes_);
    bytes_.clear();
  }

 private:
  static constexpr std::size_t kBlock = std::size_t{64} * 1024;
  ByteSink& out_;
  std::string bytes_;
};

// 1234567 as "1.234.567", as Portuguese writes it.
std::string Grouped(std::int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ".");
  return value < 0 ? "-" + digits : digits;
}

std::string Plural(std::int64_t count, std::string_view one, std::string_view many) {
  return Grouped(count) + " " + std::string(count == 1 ? one : many);
}

std::string PeriodText(const Summary& s) {
  if (s.firstDay == kUnreadableDate) return "sem datas legíveis";
  if (s.firstDay == s.lastDay) return DateText(s.firstDay);
  return DateText(s.firstDay) + " a " + DateText(s.lastDay);
}

std::string StationsText(const Summary& s) {
  std::string text;
  for (const std::string& station : s.stations) {
    if (!text.empty()) text += ", ";
    text += station.empty() ? std::string("(sem código)") : ShownStation(station);
  }
  return text;
}

// The largest value an axis shows and the step between its lines: 1, 2 or
// 5 times a power of ten, at most five steps.
struct Axis {
  std::int64_t top = 1;
  std::int64_t step = 1;
};

Axis AxisFor(std::int64_t largest) {
  Axis axis;
  for (std::int64_t power = 1;; power *= 10) {
    for (const std::int64_t factor : {1, 2, 5}) {
      const std::int64_t step = factor * power;
      if (largest <= step * 5) {
        axis.step = step;
        axis.top = std::max<std::int64_t>(1, (largest + step - 1) / step) * step;
        return axis;
      }
    }
  }
}

// The frame both charts share: the value axis with its lines and labels,
// and the two axis titles.
struct Frame {
  double width, height, left, right, top, bottom;
  Axis axis;

  double PlotWidth() const { return width - left - right; }
  double PlotHeight() const { return height - top - bottom; }
  double Baseline() const { return height - bottom; }
  double Y(std::int64_t value) const {
    return Baseline() - static_cast<double>(value) / static_cast<double>(axis.top) * PlotHeight();
  }
  double Height(std::int64_t value) const { return Baseline() - Y(value); }
};

// Room on the left for the longest value label, at about 11 units a
// digit (the size of the labels on a phone's narrow screen).
double LeftFor(const Axis& axis) {
  return 32.0 + 11.0 * static_cast<double>(Grouped(axis.top).size());
}

void OpenChart(Page& page, const Frame& f, std::string_view id, std::string_view cssClass,
               std::string_view title, std::string_view description) {
  page << "<svg class=\"" << cssClass << "\" viewBox=\"0 0 " << f.width << " " << f.height
       << "\" role=\"img\" aria-labelledby=\"" << id << "-t " << id << "-d\">\n<title id=\"" << id
       << "-t\">";
  page.Text(title) << "</title>\n<desc id=\"" << id << "-d\">";
  page.Text(description) << "</desc>\n";
  for (std::int64_t value = 0; value <= f.axis.top; value += f.axis.step) {
    const double y = f.Y(value);
    page << "<line class=\"grade\" x1=\"" << f.left << "\" x2=\"" << f.width - f.right << "\" y1=\""
         << y << "\" y2=\"" << y << "\"/><text class=\"valor\" x=\"" << f.left - 6 << "\" y=\"" << y
         << "\" dy=\".32em\">" << Grouped(value) << "</text>\n";
  }
  page << "<line class=\"eixo\" x1=\"" << f.left << "\" x2=\"" << f.width - f.right << "\" y1=\""
       << f.Baseline() << "\" y2=\"" << f.Baseline() << "\"/>\n";
  page << "<text class=\"titulo-eixo\" transform=\"rotate(-90)\" x=\""
       << -(f.top + f.PlotHeight() / 2) << "\" y=\"14\">Movimentos</text>\n";
}

void Bar(Page& page, std::string_view cssClass, double x, double y, double width, double height,
         std::string_view tooltip) {
  page << "<rect class=\"" << cssClass << "\" x=\"" << x << "\" y=\"" << y << "\" width=\"" << width
       << "\" height=\"" << height << "\"><title>" << tooltip << "</title></rect>\n";
}

void HourChart(Page& page, const Summary& s) {
  std::int64_t largest = 0;
  for (const DepArr& hour : s.byHour) largest = std::max(largest, hour.Total());
  Frame f{560, 300, 0, 8, 12, 46, AxisFor(largest)};
  f.left = LeftFor(f.axis);
  std::string description =
      "Barras empilhadas, uma por hora do dia de 00 a 23: partidas embaixo, chegadas em cima, "
      "somadas em todo o período (" +
      PeriodText(s) + ") e em todas as estações.";
  if (s.busiestHour != kUnreadableHour) {
    description += " A hora mais movimentada é " + HourText(s.busiestHour) + "h, com " +
                   Plural(s.busiestHourMovements, "partida ou chegada.", "partidas e chegadas.");
  }
  OpenChart(page, f, "grafico-hora", "grafico-hora", "Partidas e chegadas por hora do dia",
            description);
  const double band = f.PlotWidth() / kHours;
  const double barWidth = band * 0.7;
  for (int hour = 0; hour < kHours; ++hour) {
    const DepArr& counts = s.byHour[static_cast<std::size_t>(hour)];
    const double x = f.left + band * hour + (band - barWidth) / 2;
    const std::string hourText = HourText(hour) + "h: ";
    if (counts.departures > 0) {
      Bar(page, "partida", x, f.Y(counts.departures), barWidth, f.Height(counts.departures),
          hourText + Plural(counts.departures, "partida", "partidas"));
    }
    if (counts.arrivals > 0) {
      Bar(page, "chegada", x, f.Y(counts.Total()), barWidth, f.Height(counts.arrivals),
          hourText + Plural(counts.arrivals, "chegada", "chegadas"));
    }
    // On a narrow screen every other hour is labelled (see the style sheet).
    page << "<text class=\"rotulo" << (hour % 2 == 1 ? " impar" : "") << "\" x=\""
         << f.left + band * hour + band / 2 << "\" y=\"" << f.Baseline() + 18 << "\">"
         << HourText(hour) << "</text>\n";
  }
  page << "<text class=\"titulo-eixo\" x=\"" << f.left + f.PlotWidth() / 2 << "\" y=\""
       << f.height - 6 << "\">Hora do dia</text>\n</svg>\n";
}

// Where the daily chart puts its labels: every day, every few days, or
// at the first of every month (or every few months) for longer periods.
bool IsLabelled(DayKey day, std::size_t index, std::size_t days) {
  if (days <= 62) return index % ((days + 15) / 16) == 0;
  const std::size_t months = days / 30;
  const int every = months <= 14 ? 1 : months <= 28 ? 2 : months <= 42 ? 3 : months <= 84 ? 6 : 12;
  return DayOfMonth(day) == 1 && (MonthOf(day) - 1) % every == 0;
}

std::string DayLabel(DayKey day, std::size_t days) {
  const std::string date = DateText(day);
  if (days <= 62) return date.substr(0, 5);  // dd/mm
  return std::string(kMonths[MonthOf(day) - 1]) + "/" + date.substr(8, 2);
}

void DayChart(Page& page, const Summary& s) {
  const std::size_t days = s.movementsByDay.size();
  std::int64_t largest = 0;
  for (const std::int64_t total : s.movementsByDay) largest = std::max(largest, total);
  Frame f{960, 280, 0, 12, 12, 46, AxisFor(largest)};
  f.left = LeftFor(f.axis);
  std::string description = "Barras, uma por dia";
  if (days > 0) {
    description += ", " + Plural(static_cast<std::int64_t>(days), "dia", "dias") + " de " +
                   PeriodText(s) +
                   ": o total de movimentos de cada dia (partidas, chegadas, través e "
                   "toques ou arremetidas), somado em todas as estações.";
  } else {
    description += ": nenhum registro tem data legível.";
  }
  if (s.busiestDay != kUnreadableDate) {
    description += " O dia mais movimentado é " + DateText(s.busiestDay) + ", com " +
                   Plural(s.busiestDayMovements, "movimento.", "movimentos.");
  }
  OpenChart(page, f, "grafico-dia", "grafico-dia", "Total de movimentos por dia", description);
  const double band = days > 0 ? f.PlotWidth() / static_cast<double>(days) : f.PlotWidth();
  const double barWidth = std::min(48.0, band < 3 ? band * 0.85 : band * 0.75);
  for (std::size_t index = 0; index < days; ++index) {
    const DayKey day = DayAfter(s.firstDay, static_cast<int>(index));
    const double start = f.left + band * static_cast<double>(index);
    const std::int64_t total = s.movementsByDay[index];
    if (total > 0) {
      Bar(page, "total", start + (band - barWidth) / 2, f.Y(total), barWidth, f.Height(total),
          DateText(day) + ": " + Plural(total, "movimento", "movimentos"));
    }
    if (IsLabelled(day, index, days)) {
      const double middle = days <= 62 ? start + band / 2 : start;
      page << "<line class=\"eixo\" x1=\"" << middle << "\" x2=\"" << middle << "\" y1=\""
           << f.Baseline() << "\" y2=\"" << f.Baseline() + 4 << "\"/><text class=\"rotulo\" x=\""
           << middle << "\" y=\"" << f.Baseline() + 17 << "\">" << DayLabel(day, days)
           << "</text>\n";
    }
  }
  page << "<text class=\"titulo-eixo\" x=\"" << f.left + f.PlotWidth() / 2 << "\" y=\""
       << f.height - 6 << "\">Dia</text>\n</svg>\n";
}

void SummaryItem(Page& page, std::string_view term, std::string_view value,
                 std::string_view detail = {}) {
  page << "<div><dt>" << term << "</dt><dd>";
  page.Text(value);
  if (!detail.empty()) page << " <small>" << detail << "</small>";
  page << "</dd></div>\n";
}

void SummarySection(Page& page, const Summary& s, const PageFacts& facts) {
  page << "<section aria-labelledby=\"resumo\"><h2 id=\"resumo\">Resumo</h2>\n<dl "
          "class=\"resumo\">\n";
  const std::int64_t periodDays = static_cast<std::int64_t>(s.movementsByDay.size());
  SummaryItem(page, "Período", PeriodText(s),
              periodDays > 1 ? "(" + Plural(periodDays, "dia", "dias") + ")" : "");
  SummaryItem(page, s.stations.size() == 1 ? "Estação" : "Estações",
              s.stations.empty() ? "nenhuma" : StationsText(s));
  SummaryItem(page, "Total de movimentos", Grouped(s.totalMovements),
              "(" + Grouped(s.totalDepArr) + " partidas e chegadas)");
  if (s.busiestDay != kUnreadableDate) {
    SummaryItem(page, "Dia mais movimentado", DateText(s.busiestDay),
                "(" + Plural(s.busiestDayMovements, "movimento", "movimentos") + ")");
  } else {
    SummaryItem(page, "Dia mais movimentado", "—");
  }
  if (s.busiestHour != kUnreadableHour) {
    SummaryItem(
        page, "Hora mais movimentada",
        HourText(s.busiestHour) + ":00–" + HourText(s.busiestHour) + ":59",
        "(" + Plural(s.busiestHourMovements, "partida ou chegada", "partidas e chegadas") + ")");
  } else {
    SummaryItem(page, "Hora mais movimentada", "—");
  }
  SummaryItem(page, "Registros lidos", Grouped(s.records),
              "(" + Plural(facts.filesCounted, "arquivo", "arquivos") + ")");
  page << "</dl>\n";

  // Nothing is dropped silently: what could not be placed says where it is.
  page << "<p class=\"nota\" id=\"ilegiveis\">";
  page << Plural(s.recordsWithUnreadableDate, "registro", "registros")
       << " com data ilegível (nas linhas sem Data) e "
       << Plural(s.movementsWithUnreadableHour, "partida ou chegada", "partidas e chegadas")
       << " com hora ilegível (nas linhas sem Hora).</p>\n";
  if (!facts.filesNotCounted.empty()) {
    page << "<div class=\"aviso\" role=\"note\"><p><strong>"
         << Plural(static_cast<std::int64_t>(facts.filesNotCounted.size()), "arquivo não foi lido",
                   "arquivos não foram lidos")
         << "</strong> e não entram nas contas:</p>\n<ul>\n";
    for (const FileNote& note : facts.filesNotCounted) {
      page << "<li><code>";
      page.Text(note.shownName) << "</code>: ";
      page.Text(note.message) << "</li>\n";
    }
    page << "</ul></div>\n";
  }
  page << "</section>\n";
}

void ChartSections(Page& page, const Summary& s) {
  page << "<section aria-labelledby=\"por-hora\"><h2 id=\"por-hora\">Movimentos por hora do "
          "dia</h2>\n<figure>\n<ul class=\"legenda\"><li><span class=\"cor partida\"></span>"
          "Partidas</li><li><span class=\"cor chegada\"></span>Chegadas</li></ul>\n";
  HourChart(page, s);
  page << "<figcaption>Partidas e chegadas de cada hora do dia, somadas em todo o período e em "
          "todas as estações (horas legíveis, linhas da tabela MOV POR HORA).</figcaption>\n"
          "</figure></section>\n";
  page << "<section aria-labelledby=\"por-dia\"><h2 id=\"por-dia\">Movimentos por dia</h2>\n"
          "<figure>\n<div class=\"rolagem\">\n";
  DayChart(page, s);
  page << "</div>\n<figcaption>Total de movimentos de cada dia do período, soma de todas as "
          "estações (Total Movimento da tabela TOTAL DIARIO; os registros sem data legível "
          "ficam de fora do gráfico).</figcaption>\n</figure></section>\n";
}

// The rows of the tables leave out the end tags of their cells, as HTML
// allows: a year of stations has millions of them. Each row's end tag
// stays, so the line end after it is no cell's text.
//
// A cell that is empty in the CSV is empty here too; the style sheet marks
// it so that a reader sees why.
void TextCell(Page& page, std::string_view text, std::string_view emptyClass) {
  if (text.empty()) {
    page << "<td class=\"" << emptyClass << "\">";
  } else {
    page << "<td>";
    page.Text(text);
  }
}

void NumberCells(Page& page, std::initializer_list<std::int64_t> values) {
  for (const std::int64_t value : values) page << "<td>" << value;
}

void DailyTable(Page& page, const Tally& tally) {
  page << "<section aria-labelledby=\"total-diario\"><h2 id=\"total-diario\">TOTAL DIARIO</h2>\n"
          "<p class=\"nota\">Uma linha por estação e dia, como em TOTAL-DIARIO.CSV.</p>\n"
          "<div class=\"rolagem\"><table id=\"tabela-total-diario\" class=\"diario\">\n"
          "<thead><tr><th scope=\"col\">Estacao</th><th scope=\"col\">Data</th>"
          "<th scope=\"col\">Partidas</th><th scope=\"col\">Chegadas</th>"
          "<th scope=\"col\">Través</th><th scope=\"col\">Cond.Aeroporto</th>"
          "<th scope=\"col\">Toque/Arremetid</th><th scope=\"col\">Total Movimento</th>"
          "<th scope=\"col\">Total DEP/ARR</th></tr></thead>\n<tbody>\n";
  const std::string* previous = nullptr;
  for (const auto& [key, c] : tally.Days()) {
    page << (previous != nullptr && *previous != key.station ? "<tr class=\"outra\">" : "<tr>");
    previous = &key.station;
    TextCell(page, ShownStation(key.station), "sem-codigo");
    TextCell(page, DateText(key.day), "sem-data");
    NumberCells(page, {c.departures, c.arrivals, c.crossings, c.conditions, c.touchAndGo,
                       c.TotalMovements(), c.TotalDepArr()});
    page << "</tr>\n";
  }
  page << "</tbody></table></div></section>\n";
}

void HourlyTable(Page& page, const Tally& tally) {
  std::int64_t rows = 0;
  for (const auto& entry : tally.Days()) {
    ForEachHourRow(entry.second, [&rows](int, const DepArr&) { ++rows; });
  }
  page << "<section aria-labelledby=\"mov-por-hora\"><h2 id=\"mov-por-hora\">MOV POR HORA</h2>\n"
          "<p class=\"nota\">Partidas e chegadas de cada hora, 24 linhas por estação e dia, como "
          "em MOV-POR-HORA.CSV.</p>\n<details><summary>Mostrar as "
       << Plural(rows, "linha", "linhas")
       << "</summary>\n<div class=\"rolagem\"><table id=\"tabela-mov-por-hora\" class=\"hora\">\n"
          "<thead><tr><th scope=\"col\">Estacao</th><th scope=\"col\">Data</th>"
          "<th scope=\"col\">Hora</th><th scope=\"col\">Partidas</th>"
          "<th scope=\"col\">Chegadas</th><th scope=\"col\">Total DEP/ARR</th></tr></thead>\n"
          "<tbody>\n";
  for (const auto& [key, counts] : tally.Days()) {
    const std::string station = ShownStation(key.station);
    const std::string date = DateText(key.day);
    ForEachHourRow(counts, [&](int hour, const DepArr& c) {
      page << (hour == 0 ? "<tr class=\"outra\">" : "<tr>");
      TextCell(page, station, "sem-codigo");
      TextCell(page, date, "sem-data");
      TextCell(page, HourText(hour), "sem-hora");
      NumberCells(page, {c.departures, c.arrivals, c.Total()});
      page << "</tr>\n";
    });
  }
  page << "</tbody></table></div></details></section>\n";
}

// Few colours, safe for colour-blind readers (blue and orange); tables
// scroll sideways on a narrow screen rather than squeeze.
constexpr std::string_view kStyle = R"(<style>
:root{--tinta:#1c2733;--fraco:#56626f;--linha:#d9dfe6;--fundo:#f3f5f8;--cartao:#fff;
--partida:#0a6eb4;--chegada:#e49b0f;--total:#2f7d74}
*{box-sizing:border-box}
body{margin:0;background:var(--fundo);color:var(--tinta);
font:16px/1.5 system-ui,"Segoe UI",Roboto,"Liberation Sans",Arial,sans-serif}
header,main,footer{max-width:1120px;margin:0 auto;padding:0 20px}
header{padding-top:28px}
h1{font-size:1.75rem;line-height:1.2;margin:0 0 6px}
.sub{margin:0;color:var(--fraco)}
h2{font-size:1.25rem;margin:0 0 12px}
section{background:var(--cartao);border:1px solid var(--linha);border-radius:10px;
padding:20px;margin:20px 0}
.resumo{display:grid;grid-template-columns:repeat(auto-fit,minmax(280px,1fr));gap:12px;margin:0}
.resumo div{background:var(--fundo);border-left:4px solid var(--partida);border-radius:4px;
padding:8px 12px}
dt{font-size:.875rem;color:var(--fraco)}
dd{margin:0;font-size:1.3rem;font-weight:600;font-variant-numeric:tabular-nums;
overflow-wrap:anywhere}
dd small{display:block;font-size:.85rem;font-weight:400;color:var(--fraco)}
.nota{color:var(--fraco);margin:12px 0 0}
.aviso{margin-top:12px;padding:8px 14px;border-left:4px solid #c0392b;background:#fdf0ee}
.aviso p{margin:4px 0}
code{overflow-wrap:anywhere}
figure{margin:0}
figcaption{color:var(--fraco);font-size:.9rem;margin-top:8px}
svg{display:block;width:100%;height:auto}
.grafico-hora{max-width:720px}
.grafico-dia{min-width:680px}
svg text{fill:var(--fraco);font-size:11px}
svg .valor{text-anchor:end}
svg .rotulo{text-anchor:middle;font-size:10px}
.grafico-dia text{font-size:13px}
.grafico-dia .rotulo{font-size:12px}
svg .titulo-eixo{text-anchor:middle;fill:var(--tinta)}
.grade{stroke:#e4e8ed}
.eixo{stroke:#7d8894}
.partida{fill:var(--partida);background:var(--partida)}
.chegada{fill:var(--chegada);background:var(--chegada)}
.total{fill:var(--total)}
.legenda{list-style:none;display:flex;gap:20px;margin:0 0 6px;padding:0}
.cor{display:inline-block;width:14px;height:14px;border-radius:3px;margin-right:6px;
vertical-align:-2px}
.rolagem{overflow-x:auto}
table{border-collapse:collapse;font-size:.9rem;font-variant-numeric:tabular-nums;
white-space:nowrap}
th,td{padding:5px 10px;border-bottom:1px solid var(--linha);text-align:right}
thead th{white-space:normal;vertical-align:bottom}
th:nth-child(-n+2),td:nth-child(-n+2){text-align:left}
.hora td:nth-child(3),.hora th:nth-child(3){text-align:center}
thead th{background:var(--fundo);font-weight:600}
tbody tr:hover{background:#eef4fa}
tr.outra td{border-top:2px solid #b8c2cc}
.sem-data::after{content:"data ilegível";font-style:italic;color:#a03b2c}
.sem-hora::after{content:"ilegível";font-style:italic;color:#a03b2c}
.sem-codigo::after{content:"sem código";font-style:italic;color:#a03b2c}
summary{cursor:pointer;color:var(--partida);font-weight:600;margin-bottom:8px}
footer{color:var(--fraco);font-size:.875rem;padding-bottom:28px}
@media (max-width:600px){
header,main,footer{padding:0 10px}
header{padding-top:16px}
h1{font-size:1.4rem}
section{padding:14px;margin:14px 0}
.resumo{grid-template-columns:1fr 1fr;gap:8px}
dd{font-size:1.1rem}
th,td{padding:4px 8px}
.grafico-hora text{font-size:18px}
.grafico-hora .rotulo{font-size:17px}
.grafico-dia text{font-size:16px}
.grafico-dia .rotulo{font-size:15px}
svg .impar{display:none}
}
</style>
)";

}  // namespace

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string ShownStation(std::string_view station) {
  return ravuvur::ShownInLog(ravuvur::Windows1252ToUtf8(station));
}

void WritePage(const Tally& tally, const Summary& summary, const PageFacts& facts, ByteSink& out) {
  Page page(out);
  page << "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
          "<title>Relatório de movimentos, ";
  page.Text(PeriodText(summary))
      << "</title>\n"
      << kStyle << "</head>\n<body>\n<header>\n"
      << "<h1>Relatório de movimentos</h1>\n<p class=\"sub\">TOTAL DIARIO e MOV POR HORA · ";
  page.Text(PeriodText(summary)) << "</p>\n</header>\n<main>\n";
  SummarySection(page, summary, facts);
  ChartSections(page, summary);
  DailyTable(page, tally);
  HourlyTable(page, tally);
  page << "</main>\n<footer>Os mesmos números estão em TOTAL-DIARIO.CSV e MOV-POR-HORA.CSV, "
          "na pasta desta página. Feito por dta2csv 0.9.</footer>\n</body>\n</html>\n";
}

}  // namespace report
