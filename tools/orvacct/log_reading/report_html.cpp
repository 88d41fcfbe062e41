// The report's page. Everything it needs is inside it; its Content-Security-Policy forbids the
// browser to fetch anything at all, so a link slipped into a log's text cannot call out either.
// Every text from the logs and the command line goes through appendHtml.
#include <algorithm>
#include <cstdio>

#include "log_reading/report.h"
#include "orvacct_version.h"

namespace orvacct::logs {
namespace {

using orv::log::RecordLine;

constexpr std::size_t kTopErrors = 100;
// A click on a bar shows this many of its errors and machines, for this many of the busiest bars.
constexpr std::size_t kBarsDetailed = 100;
constexpr std::size_t kBarListed = 10;
// A description in a bar's list is cut to this, its error's row has it whole.
constexpr std::size_t kBarDescription = 120;
// Lists longer than this are shown as their count, opening to the list.
constexpr std::size_t kListedInline = 3;

constexpr const char* kStyle = R"(
:root { color-scheme: light; --ink: #1d2330; --muted: #5b6475; --line: #dde1e8; --band: #f5f7fa; }
* { box-sizing: border-box; }
body { margin: 0 auto; max-width: 1100px; padding: 24px; font: 14px/1.45 system-ui, "Segoe UI", Roboto, "DejaVu Sans", sans-serif; color: var(--ink); }
h1 { font-size: 24px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 28px 0 8px; }
h4 { font-size: 13px; margin: 10px 0 4px; color: var(--muted); }
.period, .note, .scope, footer { color: var(--muted); }
.empty { font-weight: 600; }
.totals { display: flex; flex-wrap: wrap; gap: 10px; margin: 16px 0 0; padding: 0; list-style: none; }
.totals li { background: var(--band); border: 1px solid var(--line); border-radius: 6px; padding: 8px 14px; }
.totals b { display: block; font-size: 20px; }
.chart { width: 100%; height: auto; display: block; }
.chart .grid { stroke: var(--line); }
.chart .tick { stroke: #a9b0bc; }
.chart .axis { font-size: 11px; fill: var(--muted); }
.small { width: 640px; max-width: 100%; height: auto; display: block; }
.small rect { fill: #4e79a7; }
.small rect.busiest { fill: #e15759; }
.small .axis-line { stroke: #a9b0bc; }
.small .axis { font-size: 11px; fill: var(--muted); }
.small .busiest { fill: var(--ink); }
.chart g.bar { cursor: pointer; outline: none; }
.chart .hit { fill: transparent; }
.chart g.bar:hover .hit, .chart g.bar:focus .hit { fill: #eef1f5; }
.chart g.bar.chosen .hit { fill: #dde3ec; }
section.day { border: 1px solid var(--line); border-radius: 6px; padding: 4px 14px 10px; margin-top: 8px; }
section.day h3 { font-size: 15px; margin: 8px 0 4px; }
section.day ol { margin: 0; padding-left: 22px; }
.notread { border-left: 4px solid #e15759; background: #fdf3f3; padding: 6px 14px; margin: 14px 0 0; }
.notread ul { margin: 4px 0 0; padding-left: 18px; }
.legend { display: flex; flex-wrap: wrap; gap: 4px 16px; list-style: none; padding: 0; margin: 6px 0 0 56px; }
.legend span { display: inline-block; width: 11px; height: 11px; border-radius: 2px; margin-right: 6px; vertical-align: -1px; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: 5px 8px; border-bottom: 1px solid var(--line); vertical-align: top; }
th { background: var(--band); cursor: pointer; user-select: none; white-space: nowrap; }
th:hover { background: #e9edf3; }
th[aria-sort=ascending]::after { content: " \25B2"; font-size: 10px; }
th[aria-sort=descending]::after { content: " \25BC"; font-size: 10px; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
td.d { white-space: pre-line; }
td small { color: var(--muted); display: block; }
summary { cursor: pointer; }
details.drill > summary { white-space: pre-line; }
details.drill[open] > summary { font-weight: 600; }
/* An error's drill-down is a row of its own under the error's, across the whole table, shown
   while the error's description is open. */
#errors tr.drill { display: none; }
#errors tbody:has(details.drill[open]) tr.drill, #errors tbody.open tr.drill { display: table-row; }
#errors tr.drill > td { background: #fbfcfd; padding: 4px 16px 14px; }
.lists { display: flex; flex-wrap: wrap; gap: 4px 24px; }
.lists ul, ol.recent { margin: 0; padding-left: 18px; }
ol.recent li { margin-bottom: 6px; }
ol.recent pre { white-space: pre-wrap; margin: 2px 0; font: inherit; }
ol.recent code, ul.damaged code { color: var(--muted); }
footer { margin-top: 28px; font-size: 12px; }
)";

// A click on a heading sorts its table by that column; again, the other way. Numbers start
// with the largest, text with A.
constexpr const char* kScript = R"(
document.querySelectorAll("table.sortable").forEach(function (table) {
  var headings = table.tHead.rows[0].cells;
  Array.prototype.forEach.call(headings, function (heading, column) {
    heading.tabIndex = 0;
    function sort() {
      var numeric = heading.classList.contains("n");
      var current = heading.getAttribute("aria-sort");
      var ascending = current ? current === "descending" : !numeric;
      // A table of several bodies (an error and its drill-down each) sorts its bodies.
      var several = table.tBodies.length > 1;
      var body = several ? table : table.tBodies[0];
      var rows = Array.prototype.slice.call(several ? table.tBodies : body.rows);
      function value(row) {
        var cell = (several ? row.rows[0] : row).cells[column];
        return cell.hasAttribute("data-v") ? cell.getAttribute("data-v") : cell.textContent;
      }
      function compare(x, y) { return x < y ? -1 : x > y ? 1 : 0; }
      rows.sort(function (a, b) {
        var x = value(a), y = value(b);
        // Text without regard to case first, then with it, so equal rows keep one order.
        var order = numeric ? compare(Number(x), Number(y)) : compare(x.toLowerCase(), y.toLowerCase()) || compare(x, y);
        return ascending ? order : -order;
      });
      rows.forEach(function (row) { body.appendChild(row); });
      Array.prototype.forEach.call(headings, function (h) { h.removeAttribute("aria-sort"); });
      heading.setAttribute("aria-sort", ascending ? "ascending" : "descending");
    }
    heading.addEventListener("click", sort);
    heading.addEventListener("keydown", function (event) {
      if (event.key === "Enter" || event.key === " ") { event.preventDefault(); sort(); }
    });
  });
});
// For browsers without :has(), the open drill-down's body says so itself.
document.querySelectorAll("details.drill").forEach(function (drill) {
  drill.addEventListener("toggle", function () { drill.closest("tbody").classList.toggle("open", drill.open); });
});
// A click on a bar of the chart shows its day's top errors and machines below the chart.
var chart = document.querySelector("svg.chart");
if (chart) {
  var show = function (bar) {
    document.querySelectorAll("section.day").forEach(function (day) {
      day.hidden = day.getAttribute("data-bar") !== bar.getAttribute("data-bar");
    });
    chart.querySelectorAll("g.bar").forEach(function (g) { g.classList.toggle("chosen", g === bar); });
    document.getElementById("dayhint").hidden = true;
  };
  chart.addEventListener("click", function (event) {
    var bar = event.target.closest("g.bar");
    if (bar) show(bar);
  });
  chart.addEventListener("keydown", function (event) {
    var bar = event.target.closest("g.bar");
    if (bar && (event.key === "Enter" || event.key === " ")) { event.preventDefault(); show(bar); }
  });
}
)";

std::string html(std::string_view utf8) {
  std::string out;
  appendHtml(out, utf8);
  return out;
}

std::string recordText(std::string_view ansi, bool cut, const orv::text::CodePage* codePage) {
  std::string text;
  appendRecordText(text, ansi, cut, codePage);
  return text;
}

std::string seenCell(const Seen& seen, bool first) {
  if (seen.count == 0) return "<td data-v=\"\">&mdash;</td>";
  std::string text = momentText(first ? seen.first : seen.last);
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), 'T', ' ');
  return "<td data-v=\"" + text + "\">" + shown + "</td>";
}

std::string numberCell(std::uint64_t value) {
  return "<td class=\"n\" data-v=\"" + std::to_string(value) + "\">" + countText(value) + "</td>";
}

std::string countCell(std::size_t count, bool more) {
  return "<td class=\"n\" data-v=\"" + std::to_string(count) + "\">" + (more ? "more than " : "") +
         countText(count) + "</td>";
}

// Names with counts, the largest first; and how many there are ("16+" when more were seen than
// counted).
struct Listed {
  std::vector<std::pair<std::string, std::uint64_t>> items;
  bool more = false;
  std::string count() const { return countText(items.size()) + (more ? "+" : ""); }
};

Listed listed(const Tally& tally) {
  Listed list;
  for (const auto& entry : tally.entries()) list.items.emplace_back(entry.key, entry.count);
  std::sort(list.items.begin(), list.items.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  list.more = tally.estimated();
  return list;
}

// A list as one cell: a few names in a line, or more as their count opening to the list.
std::string listCell(const std::vector<std::string>& names, bool more, const char* what) {
  std::string cell = "<td>";
  const auto inline_ = [&] {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (i > 0) cell += ", ";
      appendHtml(cell, names[i]);
    }
  };
  if (names.size() <= kListedInline && !more) {
    inline_();
  } else {
    cell += "<details><summary>" + countText(names.size()) + (more ? "+ " : " ") + what + "</summary>";
    inline_();
    cell += "</details>";
  }
  return cell + "</td>";
}

std::vector<std::string> versionsOf(const Tally& versions) {
  std::vector<std::string> names;
  for (const auto& entry : versions.entries()) names.push_back(entry.key);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return versionLess(a, b); });
  return names;
}

std::vector<std::string> namesOf(const Tally& tally) {
  std::vector<std::string> names;
  for (const auto& entry : tally.entries()) names.push_back(entry.key);
  std::sort(names.begin(), names.end());
  return names;
}

std::string hexOf(std::int32_t number) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(number)));
  return hex;
}

void appendTally(std::string& out, const char* heading, const Tally& tally) {
  const Listed list = listed(tally);
  out += "<section><h4>" + std::string(heading) + " (" + list.count() + ")</h4><ul>";
  for (const auto& [name, count] : list.items) {
    out += "<li>";
    // Places are a module and a procedure.
    if (const auto split = name.find('\0'); split != std::string::npos) {
      appendHtml(out, name.substr(0, split));
      out += " &middot; ";
      appendHtml(out, name.substr(split + 1));
    } else {
      appendHtml(out, name);
    }
    out += " <b>" + countText(count) + "</b></li>";
  }
  out += "</ul></section>";
}

void appendRecord(std::string& out, const RecentRecord& record) {
  std::string when = momentText(record.moment);
  std::replace(when.begin(), when.end(), 'T', ' ');
  const auto cut = [&](RecordLine line) { return (record.cutLines >> orv::log::indexOf(line) & 1) != 0; };
  out += "<li><b>" + when + "</b> " + html(record.machine) + " &middot; " + html(record.app) + " &middot; " +
         html(recordText(record.module, cut(RecordLine::Module), record.codePage)) + " &middot; " +
         html(recordText(record.procedure, cut(RecordLine::Procedure), record.codePage)) + "<pre>" +
         html(recordText(record.description, cut(RecordLine::Description), record.codePage)) + "</pre><code>" +
         html(record.file) + ":" + std::to_string(record.line) + "</code></li>";
}

// The records of the error's busiest day, and how many more it had: the spike's own records.
void appendBusiestDay(std::string& out, std::int32_t number, const ErrorFigures& error) {
  const DayRecords* day = busiestDay(error);
  if (day == nullptr) return;
  const auto found = error.perDay.find(day->day);
  const std::uint64_t records = found == error.perDay.end() ? 0 : found->second;
  out += "<h4 class=\"busiest\">Records of its busiest day, " + dateText(day->day) + " (" + countText(records) +
         (records == 1 ? " record" : " records") + ")</h4><ol class=\"recent busiest\">";
  for (const RecentRecord& record : day->records) appendRecord(out, record);
  out += "</ol>";
  if (records > day->records.size()) {
    // Negative numbers in hex, which the command line cannot take for an option.
    out += "<p class=\"note more\">and " + countText(records - day->records.size()) +
           " more that day, counted; <code>orvacct logs export --since " + dateText(day->day) + " --until " +
           dateText(day->day) + " --number " + (number < 0 ? hexOf(number) : std::to_string(number)) +
           "</code> gives them all.</p>";
  }
}

// What the number's row opens to: where it happens, its bars over the period, its busiest day's
// records, its latest records.
void appendDrillDown(std::string& out, std::int32_t number, const ErrorFigures& error, const ChartPeriod& period) {
  out += "<div class=\"lists\">";
  appendTally(out, "Modules and procedures", error.places);
  appendTally(out, "Machines", error.machines);
  appendTally(out, "Applications", error.apps);
  appendTally(out, "Versions", error.versions);
  out += "</div><h4>Records over the period</h4>";
  appendSmallChart(out, error.perDay, period);
  appendBusiestDay(out, number, error);
  out += "<h4>Latest records</h4><ol class=\"recent latest\">";
  for (const RecentRecord& record : error.recent) appendRecord(out, record);
  out += "</ol>";
}

void appendTotals(std::string& out, const ReportData& data) {
  const auto item = [&out](std::uint64_t value, const char* what, bool more = false) {
    out += "<li><b>" + countText(value) + (more ? "+" : "") + "</b>" + what + "</li>";
  };
  out += "<ul class=\"totals\">";
  item(data.records.count, "records");
  item(data.damaged, "damaged records");
  item(data.apps.entries().size(), "applications", data.apps.estimated());
  item(data.machines.entries().size(), "machines", data.machines.estimated());
  item(data.errors.entries().size(), "error numbers", data.errors.estimated());
  item(data.files, "files");
  item(data.folders, "folders");
  out += "</ul>\n";
}

template <class Payload>
std::vector<const typename HeavyHitters<Payload>::Entry*> largestFirst(const HeavyHitters<Payload>& table,
                                                                        bool byNumber) {
  std::vector<const typename HeavyHitters<Payload>::Entry*> rows;
  for (const auto& entry : table.entries()) rows.push_back(&entry);
  std::sort(rows.begin(), rows.end(), [byNumber](const auto* a, const auto* b) {
    if (a->count != b->count) return a->count > b->count;
    return byNumber ? numberOf(a->key) < numberOf(b->key) : a->key < b->key;
  });
  return rows;
}

// How far the figures of the rows shown may be off: the largest count any of them inherited.
template <class Entry>
std::string largestOvercount(const std::vector<const Entry*>& rows) {
  std::uint64_t overcount = 0;
  for (const Entry* row : rows) overcount = std::max(overcount, row->overcount);
  return countText(overcount);
}

void appendEstimateNote(std::string& out, bool estimated, const char* what, std::size_t counted,
                        const std::string& howFarOff) {
  if (!estimated) return;
  out += "<p class=\"note\">More " + std::string(what) + " than the " + countText(counted) +
         " counted one by one: " + howFarOff + ", and the largest are always among them.</p>\n";
}

void appendErrors(std::string& out, const ReportData& data, const ChartPeriod& period) {
  auto errors = largestFirst(data.errors, true);
  const std::size_t counted = errors.size();
  if (errors.size() > kTopErrors) errors.resize(kTopErrors);
  appendEstimateNote(out, data.errors.estimated(), "error numbers", ReportData::kErrorsCounted,
                     "the counts of this table are estimates, each at most " + largestOvercount(errors) + " too high");
  if (counted > kTopErrors) {
    out += "<p class=\"note\">The " + countText(kTopErrors) + " most frequent of " + countText(counted) +
           (data.errors.estimated() ? "+" : "") + " error numbers.</p>\n";
  }
  out +=
      "<table class=\"sortable\" id=\"errors\"><thead><tr><th class=\"n\">Number</th><th>Description</th>"
      "<th class=\"n\" aria-sort=\"descending\">Count</th><th>Applications</th><th>Versions</th>"
      "<th>First seen</th><th>Last seen</th></tr></thead>\n";
  for (const auto* entry : errors) {
    const std::int32_t number = numberOf(entry->key);
    const ErrorFigures& error = entry->payload;
    out += "<tbody><tr class=\"error\" id=\"error" + std::to_string(number) + "\"><td class=\"n\" data-v=\"" +
           std::to_string(number) + "\">" + std::to_string(number);
    // Negative numbers are HRESULTs, which people look up in hex.
    if (number < 0) out += "<small>" + hexOf(number) + "</small>";
    const MostFrequent::Text& usual = error.descriptions.top();
    const std::string description = html(recordText(usual.bytes, usual.cut, usual.codePage));
    out += "</td><td class=\"d\" data-v=\"" + description + "\"><details class=\"drill\"><summary>" +
           (description.empty() ? "<i>(no description)</i>" : description) + "</summary></details></td>" +
           numberCell(entry->count) + listCell(namesOf(error.apps), error.apps.estimated(), "applications") +
           listCell(versionsOf(error.versions), error.versions.estimated(), "versions") +
           seenCell(error.records, true) + seenCell(error.records, false) + "</tr>\n<tr class=\"drill\"><td colspan=\"7\">";
    appendDrillDown(out, number, error, period);
    out += "</td></tr></tbody>\n";
  }
  out += "</table>\n";
}

void appendPlaces(std::string& out, const HeavyHitters<PlaceFigures>& places, bool machines) {
  const auto rows = largestFirst(places, false);
  // A row's figures are those read since it was last counted on its own: they may be too low.
  appendEstimateNote(out, places.estimated(), machines ? "machines" : "applications", ReportData::kPlacesCounted,
                     "the figures of this table may be too low, its records each by at most " + largestOvercount(rows));
  if (machines) {
    out +=
        "<table class=\"sortable\" id=\"machines\"><thead><tr><th>Machine</th>"
        "<th class=\"n\" aria-sort=\"descending\">Records</th><th class=\"n\">Damaged</th>"
        "<th class=\"n\">Applications</th><th class=\"n\">Error numbers</th><th class=\"n\">Files</th>"
        "<th>First seen</th><th>Last seen</th></tr></thead><tbody>\n";
  } else {
    out +=
        "<table class=\"sortable\" id=\"apps\"><thead><tr><th>Application</th>"
        "<th class=\"n\" aria-sort=\"descending\">Records</th><th class=\"n\">Damaged</th>"
        "<th class=\"n\">Error numbers</th><th>Versions</th><th class=\"n\">Machines</th><th class=\"n\">Folders</th>"
        "<th class=\"n\">Files</th><th>First seen</th><th>Last seen</th></tr></thead><tbody>\n";
  }
  for (const auto* entry : rows) {
    const PlaceFigures& place = entry->payload;
    out += "<tr><td>" + html(entry->key) + "</td>" + numberCell(place.records.count) + numberCell(place.damaged);
    if (machines) {
      out += countCell(place.others.count(), place.others.more()) +
             countCell(place.numbers.count(), place.numbers.more()) + numberCell(place.files);
    } else {
      out += countCell(place.numbers.count(), place.numbers.more()) +
             listCell(versionsOf(place.versions), place.versions.estimated(), "versions") +
             countCell(place.others.count(), place.others.more()) + numberCell(place.folders) +
             numberCell(place.files);
    }
    out += seenCell(place.records, true) + seenCell(place.records, false) + "</tr>\n";
  }
  out += "</tbody></table>\n";
}

void appendDamaged(std::string& out, const ReportData& data) {
  if (data.damaged == 0) {
    out += "<p class=\"note\">None.</p>\n";
    return;
  }
  out += "<ul class=\"damaged\">";
  for (const DamagedRecord& damaged : data.damagedListed) {
    out += "<li><code>" + html(damaged.file) + ":" + std::to_string(damaged.line) + "</code> " + html(damaged.what) +
           "</li>";
  }
  out += "</ul>\n";
  if (data.damaged > data.damagedListed.size()) {
    out += "<p class=\"note\">and " + countText(data.damaged - data.damagedListed.size()) +
           " more: every one is told on standard error as FILE:LINE.</p>\n";
  }
}

// What a click on each bar shows, each hidden until then.
void appendDays(std::string& out, const ReportData& data, const ChartPeriod& period) {
  if (period.empty()) return;
  std::unordered_map<std::int32_t, const ErrorFigures*> errors;
  for (const auto& entry : data.errors.entries()) errors.emplace(numberOf(entry.key), &entry.payload);
  out += "<p class=\"note\" id=\"dayhint\">A click on a bar shows its top errors and machines here.</p>\n";
  for (const BarFigures& bar : barFigures(data, period, kBarsDetailed, kBarListed)) {
    if (bar.records == 0) continue;
    out += "<section class=\"day\" data-bar=\"" + std::to_string(bar.bar) + "\" hidden><h3>" + period.label(bar.bar) +
           ": " + countText(bar.records) + (bar.records == 1 ? " record" : " records") + "</h3>";
    if (!bar.detailed) {
      out += "<p class=\"note\">Only the " + countText(kBarsDetailed) +
             " busiest are detailed; <code>--since</code> and <code>--until</code> make a report of this one.</p>"
             "</section>\n";
      continue;
    }
    out += "<div class=\"lists\"><section><h4>Top errors</h4><ol>";
    for (const auto& [number, count] : bar.errors) {
      out += "<li>" + std::to_string(number) + " ";
      if (const auto found = errors.find(number); found != errors.end()) {
        const MostFrequent::Text& usual = found->second->descriptions.top();
        std::string text = recordText(usual.bytes, usual.cut, usual.codePage);
        if (text.size() > kBarDescription) text = std::string(utf8Prefix(text, kBarDescription)) + "\u2026";
        out += html(text);
      }
      out += " <b>" + countText(count) + "</b></li>";
    }
    out += "</ol>";
    if (bar.moreErrors > 0) out += "<p class=\"note\">and " + countText(bar.moreErrors) + " more error numbers</p>";
    out += "</section><section><h4>Machines</h4><ol>";
    for (const auto& [machine, count] : bar.machines) out += "<li>" + html(machine) + " <b>" + countText(count) + "</b></li>";
    out += "</ol>";
    if (bar.moreMachines > 0) out += "<p class=\"note\">and " + countText(bar.moreMachines) + " more machines</p>";
    out += "</section></div></section>\n";
  }
}

// Everything under the roots that was not read, as standard error names it, so a page passed
// on never hides a skipped file.
void appendNotRead(std::string& out, const ReportData& data) {
  if (data.notRead == 0) return;
  out += "<div class=\"notread\" id=\"notread\"><b>Not read, or not to the end: " + countText(data.notRead) +
         (data.notRead == 1 ? " file or folder" : " files or folders") + "</b><ul>";
  for (const std::string& what : data.notReadListed) out += "<li>" + html(what) + "</li>";
  out += "</ul>";
  if (data.notRead > data.notReadListed.size()) {
    out += "<p>and " + countText(data.notRead - data.notReadListed.size()) +
           " more: every one is told on standard error.</p>";
  }
  out += "</div>\n";
}

void appendScope(std::string& out, const ReportScope& scope, const ScanCounts& counts) {
  out += "<p class=\"scope\" id=\"scope\">Read from ";
  for (std::size_t i = 0; i < scope.roots.size(); ++i) {
    if (i > 0) out += ", ";
    out += "<code>" + html(scope.roots[i].path) + "</code>";
    if (scope.roots[i].codePage) out += " (code page " + html(scope.roots[i].codePage->name()) + ")";
  }
  out += "; ";
  if (scope.filters.empty()) {
    out += "no filters";
  } else {
    out += "filters:";
    for (const std::string& filter : scope.filters) out += " <code>" + html(filter) + "</code>";
  }
  out += "; made " + html(scope.madeAt) + " by orvacct " ORVACCT_VERSION_TEXT ".</p>\n";
  if (counts.recordsKept == 0 && !scope.filters.empty()) {
    out += "<p class=\"empty\" id=\"nomatch\">No record matches the filters: " + countText(counts.recordsRead) +
           " records were read in " + countText(counts.filesRead) +
           (counts.filesRead == 1 ? " file" : " files") + ".</p>\n";
  }
}

}  // namespace

std::string reportHtml(const ReportData& data, const ReportScope& scope, const ScanCounts& counts) {
  std::string period = "no records";
  if (data.records.count > 0) {
    const int days = data.records.last.days - data.records.first.days + 1;
    period = dateText(data.records.first.days) + " to " + dateText(data.records.last.days) + " (" +
             countText(static_cast<std::uint64_t>(days)) + (days == 1 ? " day)" : " days)");
  }
  const ChartPeriod chart = chartPeriod(data.perDay, scope.since, scope.until);
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
      "script-src 'unsafe-inline'\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Error logs, " +
      period + "</title>\n<style>" + kStyle + "</style></head>\n<body>\n<h1>Error logs</h1>\n<p class=\"period\">" +
      period + "</p>\n";
  appendScope(out, scope, counts);
  appendNotRead(out, data);
  appendTotals(out, data);
  out += "<h2>Records per day</h2>\n";
  appendChart(out, data, chart);
  appendDays(out, data, chart);
  out += "<h2>Top errors</h2>\n<p class=\"note\">A description opens to where its error happens, its records over "
         "the period, the records of its busiest day and its latest records.</p>\n";
  appendErrors(out, data, chart);
  out += "<h2>Applications</h2>\n";
  appendPlaces(out, data.apps, false);
  out += "<h2>Machines</h2>\n";
  appendPlaces(out, data.machines, true);
  out += "<h2>Damaged records</h2>\n";
  appendDamaged(out, data);
  out += "<footer>orvacct " ORVACCT_VERSION_TEXT ". Damaged records are counted, not exported.</footer>\n<script>";
  out += kScript;
  out += "</script>\n</body></html>\n";
  return out;
}

std::string reportPage(const ReportScope& scope, const Filters& filters, const ScanSettings& settings,
                       ScanCounts& counts) {
  const ReportData data = gatherReport(scope.roots, filters, counts, settings);
  return reportHtml(data, scope, counts);
}

}  // namespace orvacct::logs
