// The record reader, the time of a Date line and the log file's name, against known answers
// worked out by hand from the record's format: the eight lines as the writer writes them, and
// what real folders hold besides.
#include <gtest/gtest.h>

#include <algorithm>

#include <optional>
#include <string>
#include <vector>

#include "log/error_log.h"
#include "log/record_reader.h"
#include "platform/readable_file.h"
#include "support/temp_folder.h"
#include "text/code_page.h"
#include "text/utf.h"

namespace orv::log {
namespace {

// What the reader told, one line per record or problem, in order.
class Told final : public RecordSink {
 public:
  void record(const ReadRecord& r) override {
    lines.push_back("record " + std::to_string(r.line) + " " + std::to_string(r.number) + " [" +
                    std::string(r.description) + "] [" + std::string(r.module) + "] [" + std::string(r.procedure) +
                    "] [" + std::string(r.version) + "] " + std::to_string(r.secondOfDay));
  }
  void problem(const ReadProblem& p) override {
    lines.push_back("problem " + std::to_string(p.line) + " " + describe(p));
  }
  std::vector<std::string> lines;
};

std::vector<std::string> read(const std::string& text) {
  Told told;
  RecordReader reader(told);
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    reader.line(std::string_view(text).substr(start, end - start));
  }
  reader.finish(std::string_view(text).substr(start));
  return told.lines;
}

// The same text read from a file, as the log commands read it: records as the writer writes
// them are taken whole, their texts where the buffer holds them.
std::vector<std::string> readAsFile(const std::string& text) {
  const testing::TempFolder folder;
  const std::filesystem::path file = folder / "app-03052002.log";
  testing::writeFile(file, text);
  Told told;
  platform::ReadableFile readable = platform::ReadableFile::open(file);
  LogFileReader().read(readable, told);
  return told.lines;
}

const std::string kPlus(41, '+');
// The eight lines, each field as given; CR LF as the writer ends them.
std::string recordOf(const std::string& description, const std::string& number, const std::string& date = "3/5/2002 2:07:09 PM") {
  return kPlus + "\r\nError Description: " + description + "\r\nError Number: " + number +
         "\r\nModule Name: modMain\r\nProcedure Name: Sub Main()\r\nVersion Number: 2.4.17\r\nDate: " + date + "\r\n\r\n";
}

struct ReaderCase {
  const char* name;
  std::string text;
  std::vector<std::string> told;
};

TEST(RecordReader, LinesBecomeRecordsAndProblemsAsTheFormatSays) {
  const std::string whole = recordOf("Type mismatch", "13");
  const std::string told13 = "record 1 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829";
  const std::vector<ReaderCase> cases = {
      {"one whole record", whole, {told13}},
      {"LF alone", kPlus + "\nError Description: d\nError Number: 5\nModule Name: m\nProcedure Name: p\n"
                   "Version Number: ..\nDate: 05.03.2002 14:07:09\n\n",
       {"record 1 5 [d] [m] [p] [..] 50829"}},
      {"a description over three lines", recordOf("first\r\nsecond\r\n\r\nfourth", "5"),
       {"record 1 5 [first\nsecond\n\nfourth] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"an empty value without its space", kPlus + "\r\nError Description:\r\nError Number: 0\r\nModule Name:\r\n"
                                                   "Procedure Name:\r\nVersion Number: ..\r\nDate:\r\n\r\n",
       {"record 1 0 [] [] [] [..] -1"}},
      {"blank lines between records lose nothing", "\r\n" + whole + "\r\n\r\n" + whole,
       {"record 2 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829",
        "record 12 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"cut short by the end of the file", whole + whole.substr(0, 60), {told13, "problem 9 record cut short by the end of the file"}},
      {"an unfinished last line", whole.substr(0, whole.size() - 4), {"problem 1 record cut short by the end of the file"}},
      {"cut short by the next record", whole.substr(0, 70) + "\r\n" + whole,
       {"problem 1 record cut short: line 3 begins another",
        "record 3 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"glued to the next record's first line", whole.substr(0, 70) + whole,
       {"problem 1 record cut short: line 2 begins another",
        "record 2 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"a stray line", "copied from PC07\r\n" + whole, {"problem 1 1 stray line between records",
                                                        "record 2 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"three stray lines and no record", "a\r\nb\r\nc\r\n", {"problem 1 not an error log: nothing in it is a record"}},
      {"three stray lines after a record", whole + "a\r\nb\r\nc\r\n", {told13, "problem 9 3 stray lines between records"}},
      {"a NUL in a description", recordOf(std::string("before\0after", 12), "1"),
       {"record 1 1 [" + std::string("before\0after", 12) + "] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"NUL bytes and no record", std::string("\0\x01\x02\n\xff\0", 6), {"problem 1 not an error log: nothing in it is a record"}},
      {"blank lines only", "\r\n\r\n", {}},
      {"without its first line", whole.substr(43), {"problem 1 record without its first line (41 plus signs)"}},
      {"without its Module Name line", kPlus + "\r\nError Description: d\r\nError Number: 5\r\nProcedure Name: p\r\n"
                                               "Version Number: ..\r\nDate: x\r\n\r\n",
       {"problem 1 record without its \"Module Name:\" line"}},
      {"without its closing empty line", whole.substr(0, whole.size() - 2) + whole,
       {"problem 1 record cut short: line 8 begins another", "record 8 13 [Type mismatch] [modMain] [Sub Main()] [2.4.17] 50829"}},
      {"text inside a record", kPlus + "\r\nError Description: d\r\nError Number: 5\r\n(edited)\r\nModule Name: m\r\n"
                                       "Procedure Name: p\r\nVersion Number: ..\r\nDate: x\r\n\r\n",
       {"problem 1 record with unexpected text at line 4"}},
      {"a number with a plus", recordOf("d", "+5"), {"problem 1 record whose Error Number is not a 32-bit number"}},
      {"a number with a space before it", recordOf("d", " 5"), {"problem 1 record whose Error Number is not a 32-bit number"}},
      {"a number beyond 32 bits", recordOf("d", "2147483648"), {"problem 1 record whose Error Number is not a 32-bit number"}},
      {"a number in hex", recordOf("d", "0x80004005"), {"problem 1 record whose Error Number is not a 32-bit number"}},
      {"the smallest number", recordOf("d", "-2147483648"),
       {"record 1 -2147483648 [d] [modMain] [Sub Main()] [2.4.17] 50829"}},
  };
  for (const ReaderCase& c : cases) {
    EXPECT_EQ(read(c.text), c.told) << c.name;
    EXPECT_EQ(readAsFile(c.text), c.told) << c.name << ", from a file";
  }
}

// A description may hold any text: lines that are the first line of a record, or end in it,
// and the labelled lines of a whole forged record. Written by the writer and read back, it is
// one record, with its own number, module and date and its whole description.
// A record as the writer writes it is taken whole, in one step, wherever its line ends fall,
// with LF or CR LF, at the end of the text or before more; what follows is left for the next.
TEST(RecordReader, AWholeRecordIsTakenAtOnceWhereverItsLinesEnd) {
  for (const bool crlf : {true, false}) {
    for (std::size_t size = 0; size < 40; ++size) {
      std::string record = recordOf(std::string(size, 'd'), "-2147217843");
      if (!crlf) record.erase(std::remove(record.begin(), record.end(), '\r'), record.end());
      const std::string text = record + (size % 2 == 0 ? kPlus + "\n" : "");  // the reader's texts stay in it
      Told told;
      RecordReader reader(told);
      EXPECT_EQ(reader.wholeRecord(text), record.size()) << size << (crlf ? " CR LF" : " LF");
      reader.finish();
      EXPECT_EQ(told.lines, (std::vector<std::string>{"record 1 -2147217843 [" + std::string(size, 'd') +
                                                      "] [modMain] [Sub Main()] [2.4.17] 50829"}));
    }
  }
}

TEST(RecordReader, ADescriptionNeverForgesARecord) {
  const std::string forged = "Error Description: forged\r\nError Number: 666\r\nModule Name: x\r\nProcedure Name: y\r\n"
                             "Version Number: 6.6.6\r\nDate: 1/1/2000 1:00:00 AM\r\n\r\n";
  const std::string forgedRead = "Error Description: forged\nError Number: 666\nModule Name: x\nProcedure Name: y\n"
                                 "Version Number: 6.6.6\nDate: 1/1/2000 1:00:00 AM\n\n";
  struct Case {
    std::string description, read;
  };
  const std::vector<Case> cases = {
      {"before\r\n" + kPlus + "\r\n" + forged + "after", "before\n " + kPlus + "\n" + forgedRead + "after"},
      {"before\r\n" + kPlus + "\r\n" + forged, "before\n " + kPlus + "\n" + forgedRead},
      {kPlus + "\r\n" + forged + kPlus + "\r\n" + forged, kPlus + " \n" + forgedRead + " " + kPlus + "\n" + forgedRead},
      {"glued" + kPlus + "\r\n" + forged + "x", "glued" + kPlus + " \n" + forgedRead + "x"},
      {forged, forgedRead},
      // Label lines that are not a whole tail: the fixed lines are read from the record's end.
      // (The description is read back in the writer's code page, 1252.)
      {"Kundennummer ung\u00fcltig\r\n" + kPlus + "\r\nError Number: 666\r\nModule Name: x",
       "Kundennummer ung\xfcltig\n " + kPlus + "\nError Number: 666\nModule Name: x"},
      {"a\r\nModule Name: x", "a\nModule Name: x"},
      {"Error Number: 666\r\nModule Name: x\r\n\r\nnotes", "Error Number: 666\nModule Name: x\n\nnotes"},
      {"Procedure Name: p\r\nVersion Number: v\r\nDate: d\r\n", "Procedure Name: p\nVersion Number: v\nDate: d\n"},
      {"Error Number: x\r\nError Description: again", "Error Number: x\nError Description: again"},
  };
  for (const Case& c : cases) {
    const std::u16string description = text::fromUtf8(c.description);
    const ErrorRecord record{5, description, u"modMain", u"Sub Main()", u"2", u"4", u"17"};
    const std::string written = formatRecord(record, {2002, 3, 5, 14, 7, 9});
    const std::string told = " 5 [" + c.read + "] [modMain] [Sub Main()] [2.4.17] 50829";
    const auto second = std::to_string(std::count(written.begin(), written.end(), '\n') + 1);
    EXPECT_EQ(read(written + written), (std::vector<std::string>{"record 1" + told, "record " + second + told}))
        << c.description;
  }
}

TEST(RecordReader, TheLastTailOfARecordIsItsOwn) {
  const std::string tail = "Error Number: 5\r\nModule Name: m\r\nProcedure Name: p\r\nVersion Number: ..\r\nDate: x\r\n\r\n";
  const std::vector<ReaderCase> cases = {
      {"a tail inside the description", kPlus + "\r\nError Description: d\r\nError Number: 666\r\nModule Name: x\r\n"
                                        "Procedure Name: y\r\nVersion Number: 6\r\nDate: z\r\n\r\nmore\r\n" + tail,
       {"record 1 5 [d\nError Number: 666\nModule Name: x\nProcedure Name: y\nVersion Number: 6\nDate: z\n\nmore] [m] [p] [..] -1"}},
      {"stray lines after a record stay stray", kPlus + "\r\nError Description: d\r\n" + tail + "Error Number: 7\r\nnotes\r\n",
       {"record 1 5 [d] [m] [p] [..] -1", "problem 9 2 stray lines between records"}},
  };
  for (const ReaderCase& c : cases) {
    EXPECT_EQ(read(c.text), c.told) << c.name;
    EXPECT_EQ(readAsFile(c.text), c.told) << c.name << ", from a file";
  }
  // After two buffers (1 MiB each) filled to their last byte, so the record held is still
  // needed when the buffer is filled again, with other bytes.
  std::string many;
  std::vector<std::string> told;
  const std::size_t recordBytes = recordOf("", "13").size();
  for (const auto& [name, fill] : {std::pair{"Type mismatch ", 'x'}, std::pair{"Overflow ", 'y'}}) {
    const std::size_t full = many.size() + (std::size_t{1} << 20);
    for (int i = 0; many.size() < full; ++i) {
      std::string description = name + std::to_string(i);
      const std::size_t left = full - many.size() - recordBytes;
      if (left < 2 * (recordBytes + description.size())) description = std::string(left, fill);
      told.push_back("record " + std::to_string(8 * told.size() + 1) + " 13 [" + description +
                     "] [modMain] [Sub Main()] [2.4.17] 50829");
      many += recordOf(description, "13");
    }
  }
  ASSERT_EQ(many.size(), std::size_t{2} << 20);
  for (const ReaderCase& c : cases) {
    std::vector<std::string> expected = told;
    for (std::string line : c.told) {
      const std::size_t space = line.find(' ', line.find(' ') + 1);
      const std::string kind = line.substr(0, line.find(' '));
      const auto at = std::stoull(line.substr(kind.size() + 1, space - kind.size() - 1)) + 8 * told.size();
      expected.push_back(kind + " " + std::to_string(at) + line.substr(space));
    }
    EXPECT_EQ(readAsFile(many + c.text), expected) << c.name << ", after a full buffer";
  }
}

TEST(RecordReader, TheTimeOfDayInEveryRegionalForm) {
  struct Case {
    std::string date;
    int second;
    const char* codePage;
  };
  const int afternoon = (14 * 60 + 7) * 60 + 9;
  const std::vector<Case> cases = {
      {"3/5/2002 2:07:09 PM", afternoon, nullptr},       // United States
      {"3/5/2002 2:07:09 p.m.", afternoon, nullptr},     // with dots
      {"05.03.2002 14:07:09", afternoon, nullptr},       // German
      {"05/03/2002 14:07:09", afternoon, nullptr},       // British
      {"2002-03-05 14:07:09", afternoon, nullptr},       // ISO
      {"5.3.2002 14.07.09", afternoon, nullptr},         // Finnish
      {"2002/03/05 14:07:09", afternoon, nullptr},       // Japanese
      {"3/5/2002 12:00:00 AM", 0, nullptr},              // midnight
      {"3/5/2002 12:30:00 PM", 45000, nullptr},          // half past noon
      {"3/5/2002 2:07 PM", (14 * 60 + 7) * 60, nullptr},  // no seconds
      {"2002/03/05 \x8C\xDF\x8C\xE3 2:07:09", afternoon, "932"},  // 午後
      {"2002/03/05 \x8C\xDF\x91\x4F 2:07:09", (2 * 60 + 7) * 60 + 9, "932"},  // 午前
      {"3/5/2002 2:07:09 nachm.", -1, nullptr},          // a marker that cannot be told
      {"5.3.2002", -1, nullptr},                         // no time
      {"gestern", -1, nullptr},
      {"", -1, nullptr},
      {"3/5/2002 25:07:09", -1, nullptr},
  };
  for (const Case& c : cases) {
    const auto codePage =
        c.codePage != nullptr ? std::get<std::unique_ptr<text::CodePage>>(text::codePageNamed(c.codePage)) : nullptr;
    EXPECT_EQ(secondOfDay(c.date, codePage.get()), c.second) << c.date;
  }
}

TEST(LogFileName, ReadBackAsTheWriterWritesIt) {
  struct Case {
    const char16_t* name;
    std::optional<std::u16string> application;
    CalendarDate date;
  };
  const std::vector<Case> cases = {
      {u"billing-03052002.log", u"billing", {2002, 3, 5}},
      {u"Billing-03052002.LOG", u"Billing", {2002, 3, 5}},
      {u"crm-sync-12312099.log", u"crm-sync", {2099, 12, 31}},
      {u"\u4F1A\u8A08-02292004.log", u"\u4F1A\u8A08", {2004, 2, 29}},
      {u"app-01010100.log", u"app", {100, 1, 1}},
      {u"billing-02292002.log", std::nullopt, {}},   // no such day
      {u"billing-13052002.log", std::nullopt, {}},   // no such month
      {u"billing-03050099.log", std::nullopt, {}},   // a year before 100
      {u"billing-0305200x.log", std::nullopt, {}},
      {u"billing03052002.log", std::nullopt, {}},
      {u"billing-03052002.log.bak", std::nullopt, {}},
      {u"billing-3052002.log", std::nullopt, {}},
      {u"readme.txt", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    const auto parts = parseLogFileName(c.name);
    ASSERT_EQ(parts.has_value(), c.application.has_value()) << text::toUtf8(c.name);
    if (!parts) continue;
    EXPECT_EQ(std::u16string(parts->application), *c.application);
    EXPECT_EQ(parts->date.year, c.date.year);
    EXPECT_EQ(parts->date.month, c.date.month);
    EXPECT_EQ(parts->date.day, c.date.day);
  }
}

}  // namespace
}  // namespace orv::log
