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
       "pwd decrypt --key OrvKey --csv-column 3 --no-header", "1,x," + kAbcd + "\n2,y,\n3,\"z\"," + kAbcde, 0,
       "1,x,abcd\n2,y,\n3,\"z\",abcde", ""},
      {"a password holding quotes is quoted as CSV wants", "pwd decrypt --key k --csv-column 1 --no-header",
       kQuoted + ",after\n", 0, "\"'quoted' \"\"password\"\"\",after\n", ""},
      {"cells passed through stay as they came, even where they look like formulas or hold a stray quote",
       "pwd decrypt --key OrvKey --csv-column 2 --no-header",
       "+44 20 7946 0000," + kAbcd + ",-,c\"d,@home,\"=SUM(A1)\"\n", 0,
       "+44 20 7946 0000,abcd,-,c\"d,@home,\"=SUM(A1)\"\n", ""},
      {"a byte order mark is kept, and not taken as part of the first name",
       "pwd decrypt --key OrvKey --csv-column Password", "\xEF\xBB\xBFPassword,Id\r\n" + kAbcd + ",7\r\n", 0,
       "\xEF\xBB\xBFPassword,Id\r\nabcd,7\r\n", ""},
      {"cells in the ANSI code page come out in UTF-8", "pwd decrypt --key OrvKey --csv-column 2 --no-header --input-encoding ansi",
       "Gr\xFC\xDF" "e," + kAbcd + "\n", 0, "Gr\xC3\xBC\xC3\x9F" "e,abcd\n", ""},
      {"--keep-going: a failed cell left empty, a short row written as it was, each told with its line",
       "pwd decrypt --key OrvKey --csv-column 2 --no-header --keep-going",
       "a," + kAbcd + "\n\"b\nb\",0000\nc\nd,\"" + kAbcde + "\"\n", 1,
       "a,abcd\n\"b\nb\",\nc\nd,\"abcde\"\n",
       "orvacct: line 2: cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at "
       "least 32\n"
       "orvacct: line 4: no column 2 (the row has 1 cell); the row is written as it was\n"
       "orvacct: 2 of 4 items failed\n"},
      {"without --keep-going the first failure ends the run, the rows before it written",
       "pwd decrypt --key OrvKey --csv-column 2 --no-header", "a," + kAbcd + "\nb,0000\nc," + kAbcd + "\n", 1, "a,abcd\n",
       "orvacct: line 2: cipher text too short or cut (4 hex digits); cipher text has a multiple of 16 hex digits, at "
       "least 32\n"},
      {"a header without the column named", "pwd decrypt --key OrvKey --csv-column Pwd", "User,Password\nann,x\n", 1,
       "", "orvacct: the header row (line 1) has no column named Pwd; its columns: User, Password\n"},
      {"a quoted cell never closed", "pwd decrypt --key OrvKey --csv-column 1 --no-header", kAbcd + "\n\"open,\nstill open\n", 1,
       "abcd\n", "orvacct: line 2 of standard input: a quoted cell is not closed by the end of the input\n"},
      {"text after a closing quote", "pwd decrypt --key OrvKey --csv-column 1", "\"a\"b,c\n", 1, "",
       "orvacct: line 1 of standard input: text after the closing quote of a cell; a quote inside a quoted cell is "
       "written twice (\"\")\n"},
  };
  for (const CsvCase& c : cases) expectCase(c);
}

TEST(ToolCsvColumn, TheFirstRowIsAHeaderUnlessToldOtherwiseAndCellsOfAnySizeStream) {
  // A pass-through cell larger than any buffer, quotes and line breaks inside.
  std::string big = "\"";
  for (int i = 0; i < 30000; ++i) big += "a \"\"b\"\",\r\n";
  big += "\"";
  // 1 MiB is the longest password: its cipher text (1048592 bytes) has 2097184 hex digits.
  const std::string tooLongCipher(2097185, 'A'), tooLongPassword(1048577, 'x');
  const std::vector<CsvCase> cases = {
      {"by number, the header row is written back as it came", "pwd decrypt --key OrvKey --csv-column 2",
       "User,Password\r\nann," + kAbcd + "\r\n", 0, "User,Password\r\nann,abcd\r\n", ""},
      {"no header row where a column is named", "pwd decrypt --key OrvKey --csv-column Password", "", 1, "",
       "orvacct: standard input holds no header row, so it has no column named Password\n"},
      {"a name needs the header row", "pwd decrypt --key OrvKey --csv-column Password --no-header", "a\n", 2, "",
       "orvacct: --no-header: a column named Password is found in the header row; give the column's number instead "
       "(see 'orvacct pwd decrypt --help')\n"},
      {"a short row without --keep-going ends the run, and is not written",
       "pwd decrypt --key OrvKey --csv-column 2 --no-header", "a," + kAbcd + "\nc\nd," + kAbcd + "\n", 1, "a,abcd\n",
       "orvacct: line 2: no column 2 (the row has 1 cell)\n"},
      {"a large cell passes through whole", "pwd decrypt --key OrvKey --csv-column 2 --no-header",
       big + "," + kAbcd + "," + big + "\n", 0, big + ",abcd," + big + "\n", ""},
      {"cipher text longer than that of any password is refused, and left empty with --keep-going",
       "pwd decrypt --key OrvKey --csv-column 2 --no-header --keep-going",
       "a,\"" + tooLongCipher + "\",z\nb," + kAbcd + "\n", 1, "a,\"\",z\nb,abcd\n",
       "orvacct: line 1: the cipher text is longer than 2097184 hex digits, that of the longest password pwd takes "
       "(1048576 bytes)\norvacct: 1 of 2 items failed\n"},
      {"a password longer than any is refused", "pwd encrypt --key k --csv-column 1 --no-header",
       tooLongPassword + "\n", 1, "", "orvacct: line 1: the password is longer than 1048576 bytes, the longest pwd takes\n"},
  };
  for (const CsvCase& c : cases) expectCase(c);
}

// Without standard input there is no CSV, empty or not: the destination stays as it was.
TEST(ToolCsvColumn, NoStandardInputIsAFailureAndTheDestinationStays) {
  const TempFolder folder;
  writeFile(folder / "users.csv", "kept");
  const std::string destination = " --output-file '" + (folder / "users.csv").string() + "' --overwrite";
  for (const std::string& command :
       {"pwd rekey --key a --new-key b --csv-column P" + destination, "pwd decrypt --key k --csv-column 2" + destination,
        std::string("pwd decrypt --key k --csv-column 2")}) {
    const auto run = runToolApart(command + " <&-");
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.err, "orvacct: cannot read standard input\n") << command;
    EXPECT_EQ(readFile(folder / "users.csv"), "kept") << command;
  }
}

// --input-file may be the --output-file: the file is rewritten in place.
TEST(ToolCsvColumn, AFileIsRewrittenInPlaceThroughInputFile) {
  const TempFolder folder;
  const std::string users = (folder / "users.csv").string();
  writeFile(users, "User,Password\r\nann," + kAbcd + "\r\n");
  const auto run = runToolApart("pwd decrypt --key OrvKey --csv-column Password --input-file '" + users +
                                "' --output-file '" + users + "' --overwrite");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(readFile(users), "User,Password\r\nann,abcd\r\n");
  const auto missing = runToolApart("pwd decrypt --key OrvKey --input-file '" + (folder / "none").string() + "'");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "orvacct: cannot read " + (folder / "none").string() + ": No such file or directory\n");
}

// `pwd COMMAND` over CSV written to a file of the folder first.
SeparateToolRun runOnCsv(const TempFolder& folder, const std::string& command, const std::string& csv) {
  writeFile(folder / "input.csv", csv);
  return runToolApart(command + " --input-file '" + (folder / "input.csv").string() + "'");
}

// The tool's CSV is data read back, not a sheet: a password that a spreadsheet would take for a
// formula comes back as it was, in every direction.
TEST(ToolCsvColumn, PasswordsThatLookLikeFormulasComeBackExactly) {
  const TempFolder folder;
  const std::string plain = "Id,Password\r\n1,=1+1\r\n2,+44\r\n3,-secret\r\n4,@home\r\n5,\ttab\r\n6,\"\rcr\"\r\n";
  const auto sealed = runOnCsv(folder, "pwd encrypt --key k --csv-column Password", plain);
  ASSERT_EQ(sealed.exitCode, 0) << sealed.err;
  const auto opened = runOnCsv(folder, "pwd decrypt --key k --csv-column Password", sealed.out);
  EXPECT_EQ(opened.exitCode, 0) << opened.err;
  EXPECT_EQ(opened.out, plain);
  // One cipher text a line, and back as CSV: quoted, and nothing added.
  const auto one = runToolApart("pwd encrypt --key k =1+1");
  ASSERT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(runToolApart("pwd decrypt --key k --output csv " + one.out.substr(0, one.out.size() - 1)).out,
            "\"=1+1\"\n");
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
  // By number too, the header row is written back as it came.
  EXPECT_EQ(opened.exitCode, 0) << opened.err;
  EXPECT_EQ(opened.out, input);
  const auto byName =
      runToolApart("pwd decrypt --key OrvKey --csv-column Secret < '" + (folder / "sealed.csv").string() + "'");
  EXPECT_EQ(byName.exitCode, 0) << byName.err;
  EXPECT_EQ(byName.out, input);
}

TEST(ToolCsvColumn, CommandLinesThatCannotMeanACsvColumn) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"pwd decrypt --key k --csv-column 2 " + kAbcd,
       "orvacct: --csv-column reads CSV from standard input or --input-file; give no items (see 'orvacct pwd decrypt "
       "--help')\n"},
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
