// orvacct pwd --csv-column: one column of a CSV export rewritten, every other cell as it was.
// Cipher texts are known answers of tests/data/vectors/passwords.tsv.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_folder.h"

namespace orv::testing {
namespace {

const std::string kAbcd = "C11E6A583229034D46E186A5BA641877";                                   // "abcd" under OrvKey
const std::string kAbcde = "30CC09C5BE78F16AEE0020CE6C194263EEF4884A47E8EE3C";                   // "abcde" under OrvKey
const std::string kQuoted = "6BD432B03C4D1732E27C73A0B47BF6922E9A796A3D6E58D8709A9454468AB53F";  // 'quoted' "password" under k

struct CsvCase {
  const char* what;
  std::string arguments;
  std::string input;
  int exitCode;
  std::string out;
  std::string err;
};

void expectCase(const CsvCase& c) {
  const TempFolder folder;
  writeFile(folder / "in.csv", c.input);
  const auto run = runToolApart(c.arguments + " < '" + (folder / "in.csv").string() + "'");
  EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err;
  EXPECT_EQ(run.out, c.out) << c.what;
  EXPECT_EQ(run.err, c.err) << c.what;
}

TEST(ToolCsvColumn, OneColumnIsReplacedAndEveryOtherCellStaysAsItWas) {
  const std::vector<CsvCase> cases = {
      {"a named column under a header row, CR LF, quoted cells holding commas, quotes and line breaks",
       "pwd decrypt --key OrvKey --csv-column Password",
       "User,Password,Note\r\n"
       "\"Smith, Ann\"," + kAbcd + ",\"said \"\"hi\"\"\r\nand left\"\r\n"
       "bob,\"" + kAbcde + "\",\r\n",
       0,
       "User,Password,Note\r\n"
       "\"Smith, Ann\",abcd,\"said \"\"hi\"\"\r\nand left\"\r\n"
       "bob,\"abcde\",\r\n",
       ""},
      {"a numbered column, LF, no header, the last record without its line end",
       "pwd decrypt --key OrvKey --csv-column 3", "1,x," + kAbcd + "\n2,y,\n3,\"z\"," + kAbcde, 0,
       "1,x,abcd\n2,y,\n3,\"z\",abcde", ""},
      {"a password holding quotes is quoted as CSV wants", "pwd decrypt --key k --csv-column 1",
       kQuoted + ",after\n", 0, "\"'quoted' \"\"password\"\"\",after\n", ""},
      {"cells passed through stay as they came, even where they look like formulas or hold a stray quote",
       "pwd decrypt --key OrvKey --csv-column 2",
       "+44 20 7946 0000," + kAbcd + ",-,c\"d,@home,\"=SUM(A1)\"\n", 0,
       "+44 20 7946 0000,abcd,-,c\"d,@home,\"=SUM(A1)\"\n", ""},
      {"a byte order mark is kept, and not taken as part of the first name",
       "pwd decrypt --key OrvKey --csv-column Password", "\xEF\xBB\xBFPassword,Id\r\n" + kAbcd + ",7\r\n", 0,
       "\xEF\xBB\xBFPassword,Id\r\nabcd,7\r\n", ""},
      {"cells in the ANSI code page come out in UTF-8", "pwd decrypt --key OrvKey --csv-column 2 --input-encoding ansi",
       "Gr\xFC\xDF" "e," + kAbcd + "\n", 0, "Gr\xC3\xBC\xC3\x9F" "e,abcd\n", ""},
      {"--keep-going: a failed cell left empty, a short row written as it was, each told with its line",
       "pwd decrypt --key OrvKey --csv-column 2 --keep-going",
       "a," + kAbcd + "\n\"b\nb\",0000\nc\nd,\"" + kAbcde + "\"\n", 1,
       "a,abcd\n\"b\nb\",\nc\nd,\"abcde\"\n",
       "orvacct: line 2: cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at "
       "least 32\n"
       "orvacct: line 4: no column 2 (the row has 1 cells); the row is written as it was\n"
       "orvacct: 2 of 4 items failed\n"},
      {"without --keep-going the first failure ends the run, the rows before it written",
       "pwd decrypt --key OrvKey --csv-column 2", "a," + kAbcd + "\nb,0000\nc," + kAbcd + "\n", 1, "a,abcd\n",
       "orvacct: line 2: cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at "
       "least 32\n"},
      {"a header without the column named", "pwd decrypt --key OrvKey --csv-column Pwd", "User,Password\nann,x\n", 1,
       "", "orvacct: the header row (line 1) has no column named Pwd; its columns: User, Password\n"},
      {"a quoted cell never closed", "pwd decrypt --key OrvKey --csv-column 1", kAbcd + "\n\"open,\nstill open\n", 1,
       "abcd\n", "orvacct: line 2 of standard input: a quoted cell is not closed by the end of the input\n"},
      {"text after a closing quote", "pwd decrypt --key OrvKey --csv-column 1", "\"a\"b,c\n", 1, "",
       "orvacct: line 1 of standard input: text after the closing quote of a cell; a quote inside a quoted cell is "
       "written twice (\"\")\n"},
  };
  for (const CsvCase& c : cases) expectCase(c);
}

TEST(ToolCsvColumn, EncryptedCellsDecryptToWhatWasThereAndTheRestIsUnchanged) {
  const TempFolder folder;
  const std::string input = "Name,Secret,Id\r\n\"Doe, J\",\"p,w \"\"1\"\"\",1\r\nroe,,2\r\n";
  writeFile(folder / "plain.csv", input);
  const auto sealed =
      runToolApart("pwd encrypt --key OrvKey --csv-column Secret < '" + (folder / "plain.csv").string() + "'");
  ASSERT_EQ(sealed.exitCode, 0) << sealed.err;
  // 48 and 32 hex digits for a 7-character and an empty password, quoted as the cells were: the
  // 11 bytes of "p,w ""1""" become 50, the empty cell 32.
  ASSERT_EQ(sealed.out.size(), input.size() - 11 + 50 + 32) << sealed.out;
  EXPECT_TRUE(sealed.out.starts_with("Name,Secret,Id\r\n\"Doe, J\",\"")) << sealed.out;
  writeFile(folder / "sealed.csv", sealed.out);
  const auto opened =
      runToolApart("pwd decrypt --key OrvKey --csv-column 2 < '" + (folder / "sealed.csv").string() + "'");
  EXPECT_EQ(opened.exitCode, 1);  // the header row is data when the column is given by number
  const auto byName =
      runToolApart("pwd decrypt --key OrvKey --csv-column Secret < '" + (folder / "sealed.csv").string() + "'");
  EXPECT_EQ(byName.exitCode, 0) << byName.err;
  EXPECT_EQ(byName.out, input);
}

TEST(ToolCsvColumn, CommandLinesThatCannotMeanACsvColumn) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"pwd decrypt --key k --csv-column 2 " + kAbcd,
       "orvacct: --csv-column reads CSV from standard input; give no items (see 'orvacct pwd decrypt --help')\n"},
      {"pwd decrypt --key k --csv-column 2 --output jsonl",
       "orvacct: --output excludes --csv-column (see 'orvacct pwd decrypt --help')\n"},
      {"pwd encrypt --key k --csv-column 0",
       "orvacct: --csv-column 0: columns are numbered from 1 (see 'orvacct pwd encrypt --help')\n"},
      {"pwd encrypt --key k --csv-column ''",
       "orvacct: --csv-column: give a column number (from 1) or a name in the header row (see 'orvacct pwd encrypt "
       "--help')\n"},
  };
  for (const auto& [arguments, message] : cases) {
    const auto run = runToolApart(arguments + " </dev/null");
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_EQ(run.err, message) << arguments;
  }
}

}  // namespace
}  // namespace orv::testing
