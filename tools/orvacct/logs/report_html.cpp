// The report's page. Everything it needs is inside it; its Content-Security-Policy forbids the
// browser to fetch anything at all, so a link slipped into a log's text cannot call out either.
#include <algorithm>
#include <cstdio>

#include "platform/staged_file.h"
#include "logs/report.h"
#include "orvacct_version.h"
#include "tool_output.h"

namespace orvacct::logs {
namespace {

constexpr std::size_t kTopErrors = 100;

constexpr const char* kStyle = R"(
:root { color-scheme: light; --ink: #1d2330; --muted: #5b6475; --line: #dde1e8; --band: #f5f7fa; }
* { box-sizing: border-box; }
body { margin: 0 auto; max-width: 1100px; padding: 24px; font: 14px/1.45 system-ui, "Segoe UI", Roboto, "DejaVu Sans", sans-serif; color: var(--ink); }
h1 { font-size: 24px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 28px 0 8px; }
.period, .note, footer { color: var(--muted); }
.totals { display: flex; flex-wrap: wrap; gap: 10px; margin: 16px 0 0; padding: 0; list-style: none; }
.totals li { background: var(--band); border: 1px solid var(--line); border-radius: 6px; padding: 8px 14px; }
.totals b { display: block; font-size: 20px; }
.chart { width: 100%; height: auto; display: block; }
.chart .grid { stroke: var(--line); }
.chart .axis { font-size: 11px; fill: var(--muted); }
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
      var body = table.tBodies[0];
      var rows = Array.prototype.slice.call(body.rows);
      function value(row) {
        var cell = row.cells[column];
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
)";

std::string html(std::string_view utf8) {
  std::string out;
  appendHtml(out, utf8);
  return out;
}

std::string seenCell(const Seen& seen, bool first) {
  if (seen.count == 0) return "<td data-v=\"\">&mdash;</td>";
  std::string text = momentText(first ? seen.first : seen.last);
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), 'T', ' ');
  return "<td data-v=\"" + text + "\">" + shown + "</td>";
}

std::string numberCell(std::uint64_t value) { return "<td class=\"n\">" + std::to_string(value) + "</td>"; }

// Versions in numeric order, as one cell.
std::string versionsCell(const TextSet& versions) {
  std::vector<std::string_view> sorted(versions.begin(), versions.end());
  std::sort(sorted.begin(), sorted.end(), versionLess);
  std::string cell = "<td>";
  for (const std::string_view version : sorted) {
    if (version != sorted.front()) cell += ", ";
    appendHtml(cell, utf8FromAnsi(version));
  }
  return cell + "</td>";
}

void appendTotals(std::string& out, const ReportData& data) {
  const auto item = [&out](std::uint64_t value, const char* what) {
    out += "<li><b>" + std::to_string(value) + "</b>" + what + "</li>";
  };
  out += "<ul class=\"totals\">";
  item(data.records.count, "records");
  item(data.damaged, "damaged records");
  item(data.apps.size(), "applications");
  item(data.errors.size(), "error numbers");
  item(data.files, "files");
  item(data.folders.size(), "folders");
  out += "</ul>\n";
}

void appendErrors(std::string& out, const ReportData& data) {
  std::vector<const ErrorFigures*> errors;
  for (const auto& [number, figures] : data.errors) errors.push_back(&figures);
  std::sort(errors.begin(), errors.end(), [](const ErrorFigures* a, const ErrorFigures* b) {
    return a->records.count != b->records.count ? a->records.count > b->records.count : a->number < b->number;
  });
  if (errors.size() > kTopErrors) {
    out += "<p class=\"note\">The " + std::to_string(kTopErrors) + " most frequent of " +
           std::to_string(errors.size()) + " error numbers.</p>\n";
    errors.resize(kTopErrors);
  }
  out +=
      "<table class=\"sortable\" id=\"errors\"><thead><tr><th class=\"n\">Number</th><th>Description</th>"
      "<th class=\"n\" aria-sort=\"descending\">Count</th><th>Applications</th><th>Versions</th>"
      "<th>First seen</th><th>Last seen</th></tr></thead><tbody>\n";
  for (const ErrorFigures* error : errors) {
    out += "<tr><td class=\"n\" data-v=\"" + std::to_string(error->number) + "\">" + std::to_string(error->number);
    if (error->number < 0) {
      // Negative numbers are HRESULTs, which people look up in hex.
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(error->number)));
      out += std::string("<small>") + hex + "</small>";
    }
    out += "</td><td class=\"d\">" + html(utf8FromAnsi(error->descriptions.top())) + "</td>" +
           numberCell(error->records.count) + "<td>";
    std::vector<std::string_view> names;
    for (const std::size_t app : error->apps) names.push_back(data.apps[app].name);
    std::sort(names.begin(), names.end());
    for (const std::string_view name : names) {
      if (name != names.front()) out += ", ";
      appendHtml(out, name);
    }
    out += "</td>" + versionsCell(error->versions) + seenCell(error->records, true) + seenCell(error->records, false) +
           "</tr>\n";
  }
  out += "</tbody></table>\n";
}

void appendApps(std::string& out, const ReportData& data) {
  std::vector<const AppFigures*> apps;
  for (const AppFigures& app : data.apps) apps.push_back(&app);
  std::sort(apps.begin(), apps.end(), [](const AppFigures* a, const AppFigures* b) {
    return a->records.count != b->records.count ? a->records.count > b->records.count : a->name < b->name;
  });
  out +=
      "<table class=\"sortable\" id=\"apps\"><thead><tr><th>Application</th>"
      "<th class=\"n\" aria-sort=\"descending\">Records</th><th class=\"n\">Damaged</th>"
      "<th class=\"n\">Error numbers</th><th>Versions</th><th class=\"n\">Folders</th><th class=\"n\">Files</th>"
      "<th>First seen</th><th>Last seen</th></tr></thead><tbody>\n";
  for (const AppFigures* app : apps) {
    out += "<tr><td>" + html(app->name) + "</td>" + numberCell(app->records.count) + numberCell(app->damaged) +
           numberCell(app->numbers.size()) + versionsCell(app->versions) + numberCell(app->folders.size()) +
           numberCell(app->files) + seenCell(app->records, true) + seenCell(app->records, false) + "</tr>\n";
  }
  out += "</tbody></table>\n";
}

}  // namespace

std::string reportHtml(const ReportData& data, const std::vector<std::string>& paths) {
  std::string period = "no records";
  if (data.records.count > 0) {
    const int days = data.records.last.days - data.records.first.days + 1;
    period = dateText(data.records.first.days) + " to " + dateText(data.records.last.days) + " (" +
             std::to_string(days) + (days == 1 ? " day)" : " days)");
  }
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
      "script-src 'unsafe-inline'\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Error logs, " +
      period + "</title>\n<style>" + kStyle + "</style></head>\n<body>\n<h1>Error logs</h1>\n<p class=\"period\">" +
      period + "</p>\n";
  appendTotals(out, data);
  out += "<h2>Records per day</h2>\n";
  appendChart(out, data, chartSeries(data));
  out += "<h2>Top errors</h2>\n";
  appendErrors(out, data);
  out += "<h2>Applications</h2>\n";
  appendApps(out, data);
  out += "<footer>Read from ";
  for (const std::string& path : paths) {
    if (&path != &paths.front()) out += ", ";
    out += "<code>" + html(path) + "</code>";
  }
  out += " by orvacct " ORVACCT_VERSION_TEXT ". Damaged records are counted, not shown.</footer>\n<script>";
  out += kScript;
  out += "</script>\n</body></html>\n";
  return out;
}

bool writeReport(const std::vector<std::string>& paths, const Filters& filters, const std::filesystem::path& output,
                 const std::string& outputShown) {
  bool allRead = true;
  const std::string page = reportHtml(gatherReport(paths, filters, allRead), paths);
  try {
    orv::platform::StagedFile file(output);
    file.write({reinterpret_cast<const std::uint8_t*>(page.data()), page.size()});
    // A report replaces the one it is asked to write over, so the commit cannot be refused.
    static_cast<void>(file.commit(true));
  } catch (const std::system_error& e) {
    throw ToolError("cannot write " + outputShown + ": " + e.code().message());
  }
  return allRead;
}

}  // namespace orvacct::logs
