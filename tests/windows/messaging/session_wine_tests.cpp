// Create_Session, Close_Session and CheckState through COM, early bound and by DISPID, against
// the stand-ins for Outlook, CDO and the current-user object: the calls each server saw and
// their order, the warning box read and answered on this thread, the reports in the
// component's own log, and no stand-in object alive once the session is gone.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "com_fixtures.h"
#include "messaging_standins/standin_protocol.h"

namespace orv::testing {
namespace {

using Lines = std::vector<std::string>;

std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// Steers the stand-ins through the environment and reads their journal.
class StandIns {
 public:
  StandIns() : module_(LoadLibraryW(ORVACCT_STANDINS_PATH)) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    journal_ = std::filesystem::path(folder) / ("standins-" + std::to_string(GetCurrentProcessId()) + ".txt");
    std::filesystem::remove(journal_);
    SetEnvironmentVariableW(standins::kJournalVariable, journal_.c_str());
    steer(L"");
  }
  ~StandIns() {
    SetEnvironmentVariableW(standins::kJournalVariable, nullptr);
    SetEnvironmentVariableW(standins::kSteeringVariable, nullptr);
    std::error_code ignored;
    std::filesystem::remove(journal_, ignored);
    FreeLibrary(module_);
  }
  StandIns(const StandIns&) = delete;
  StandIns& operator=(const StandIns&) = delete;

  void steer(const wchar_t* steering) { SetEnvironmentVariableW(standins::kSteeringVariable, steering); }

  // Journal lines since the last look, all or those of one kind ("call", "create", ...),
  // without the kind word.
  Lines take(const std::string& kind = {}) {
    std::istringstream all(readText(journal_));
    Lines lines;
    std::size_t number = 0;
    for (std::string line; std::getline(all, line); ++number) {
      if (number < seen_) continue;
      if (kind.empty())
        lines.push_back(line);
      else if (line.rfind(kind + " ", 0) == 0)
        lines.push_back(line.substr(kind.size() + 1));
    }
    seen_ = number;
    return lines;
  }
  Lines everything() const {
    std::istringstream all(readText(journal_));
    Lines lines;
    for (std::string line; std::getline(all, line);) lines.push_back(line);
    return lines;
  }
  Lines unexpected() const {
    Lines lines;
    for (const std::string& line : everything())
      if (line.rfind("unexpected", 0) == 0) lines.push_back(line);
    return lines;
  }
  LONG alive() const {
    using Alive = LONG(STDAPICALLTYPE*)();
    const auto count = reinterpret_cast<Alive>(reinterpret_cast<void*>(GetProcAddress(module_, "StandInsAlive")));
    return count != nullptr ? count() : -1;
  }

 private:
  HMODULE module_;  // pinned, so its count outlives COM's own loads
  std::filesystem::path journal_;
  std::size_t seen_ = 0;
};

// Every dialog this thread activates is read and answered with OK, through a WH_CBT hook.
class MessageBoxWatcher {
 public:
  struct Box {
    std::wstring title, text;
    bool exclamationIcon = false;
    std::vector<std::wstring> buttons;
  };

  MessageBoxWatcher() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &onEvent, nullptr, GetCurrentThreadId());
  }
  ~MessageBoxWatcher() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  std::vector<Box> boxes;

 private:
  static std::wstring textOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
  }
  static BOOL CALLBACK readControl(HWND control, LPARAM target) {
    Box& box = *reinterpret_cast<Box*>(target);
    wchar_t type[32] = {};
    GetClassNameW(control, type, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(type, L"Button") == 0) box.buttons.push_back(textOf(control));
    if (lstrcmpiW(type, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
      box.exclamationIcon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)) ==
                            LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
    if (GetDlgCtrlID(control) == 0xFFFF) box.text = textOf(control);
    return TRUE;
  }
  static LRESULT CALLBACK onEvent(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t type[32] = {};
    if (code == HCBT_ACTIVATE && current_ != nullptr && GetClassNameW(window, type, 32) &&
        lstrcmpW(type, L"#32770") == 0) {
      Box box;
      box.title = textOf(window);
      EnumChildWindows(window, &readControl, reinterpret_cast<LPARAM>(&box));
      current_->boxes.push_back(box);
      PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline MessageBoxWatcher* current_ = nullptr;
  HHOOK hook_ = nullptr;
};

// What the component adds to its own log (beside the DLL) during a test.
class ComponentLog {
 public:
  ComponentLog()
      : file_(std::filesystem::path(ORVACCT_DLL_PATH).parent_path() / "Logs" /
              (L"orvacctman-" + todayStamp() + L".log")),
        start_(readText(file_).size()) {}
  std::string added() const { return readText(file_).substr(start_); }

 private:
  std::filesystem::path file_;
  std::size_t start_;
};

std::string record(const std::string& description, long number, const std::string& procedure) {
  return "Error Description: " + description + "\r\nError Number: " + std::to_string(number) +
         "\r\nModule Name: clsOrvAcctMan\r\nProcedure Name: " + procedure + "\r\n";
}

const std::string kCreate = "Create_Session() As Boolean";
const std::string kCheck = "CheckState() As Boolean";

const Lines kOpening{"Application.GetNamespace(VT_BSTR \"MAPI\") slot 19",
                     "Session.Logon(VT_DISPATCH NameSpace, VT_BSTR \"\", VT_BOOL False, VT_BOOL False) METHOD",
                     "CurrentUser.Name() slot 19"};
const Lines kClosing{"NameSpace.Logoff() slot 21", "Session.Logoff() METHOD"};

Lines operator+(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class SessionThroughCom : public ObjectTest {
 protected:
  void TearDown() override {
    ObjectTest::TearDown();  // the instance ends: its session is closed
    EXPECT_EQ(0, standIns.alive());
    EXPECT_EQ(Lines{}, standIns.unexpected());  // no other slot, no late binding to Outlook, no Quit
  }

  bool createSession() {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(S_OK, object_->Create_Session(&result));
    return result == VARIANT_TRUE;
  }
  bool checkStateByDispid() {
    Variant result;
    EXPECT_EQ(S_OK, invoke(dispatch_.Get(), dispid::CheckState, {}, result.get()));
    EXPECT_EQ(VT_BOOL, (*result).vt);
    return (*result).boolVal == VARIANT_TRUE;
  }

  StandIns standIns;
  ComponentLog log;
};

TEST_F(SessionThroughCom, OpensKeepsAndClosesInOrderWithoutQuittingOutlook) {
  EXPECT_TRUE(createSession());
  EXPECT_EQ(standIns.take("call"), kOpening);
  EXPECT_TRUE(createSession());
  EXPECT_EQ(standIns.take("call"), Lines{"CurrentUser.Name() slot 19"});
  EXPECT_EQ(4, standIns.alive());
  EXPECT_EQ(S_OK, object_->Close_Session());
  EXPECT_EQ(standIns.take("call"), kClosing);
  EXPECT_EQ(0, standIns.alive());
  EXPECT_EQ(S_OK, invoke(dispatch_.Get(), dispid::Close_Session, {}));
  EXPECT_EQ(standIns.take(), Lines{});
  EXPECT_EQ("", log.added());
}

TEST_F(SessionThroughCom, CheckStateReadsFlagsThenStoreAndEndsClosed) {
  standIns.steer(L"flags=1;storeOffline=true");
  EXPECT_TRUE(checkStateByDispid());
  // Item and Value by name: the stand-ins draw their DISPIDs anew in every process.
  const Lines reading{"Session.GetDefaultFolder(VT_I2 5) METHOD",
                      "Folder.Fields() METHOD|PROPERTYGET",
                      "Fields.GetIDsOfNames(\"Item\")",
                      "Fields.Item(VT_I4 0x663D0003) METHOD|PROPERTYGET",
                      "Field.GetIDsOfNames(\"Value\")",
                      "Field.Value() METHOD|PROPERTYGET",
                      "Session.InfoStores(VT_BSTR \"Public Folders\") METHOD|PROPERTYGET",
                      "InfoStore.Fields() METHOD|PROPERTYGET",
                      "Fields.GetIDsOfNames(\"Item\")",
                      "Fields.Item(VT_I4 0x6632000B) METHOD|PROPERTYGET",
                      "Field.GetIDsOfNames(\"Value\")",
                      "Field.Value() METHOD|PROPERTYGET"};
  EXPECT_EQ(standIns.take("call"), kOpening + reading + kClosing);
  EXPECT_EQ(0, standIns.alive());
  standIns.steer(L"storeOffline=false");
  EXPECT_FALSE(checkStateByDispid());
  EXPECT_EQ("", log.added());
}

TEST_F(SessionThroughCom, FlagsOtherThanOneLeaveTheStoreUnread) {
  for (const wchar_t* flags : {L"flags=0", L"flags=2", L"flags=3", L"flags=257"}) {
    standIns.steer(flags);
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_EQ(S_OK, object_->CheckState(&result));
    EXPECT_EQ(VARIANT_FALSE, result);
    const Lines calls = standIns.take("call");
    EXPECT_EQ(calls.end(), std::find(calls.begin(), calls.end(),
                                     "Session.InfoStores(VT_BSTR \"Public Folders\") METHOD|PROPERTYGET"));
    EXPECT_EQ(calls.back(), "Session.Logoff() METHOD");
  }
}

TEST_F(SessionThroughCom, AFailedNameLookUpFailsItsReadWithItsResult) {
  // The failed read of the flags still consults the store, whose read fails alike; no member is
  // invoked after a failed look-up, and nothing proves the folders offline.
  struct Case {
    const wchar_t* steering;
    std::string lookUp, member;
  };
  for (const Case& lookUpFails :
       {Case{L"fail=Fields.GetIDsOfNames", "Fields.GetIDsOfNames(\"Item\")", "Fields.Item("},
        Case{L"fail=Field.GetIDsOfNames", "Field.GetIDsOfNames(\"Value\")", "Field.Value("}}) {
    standIns.steer(lookUpFails.steering);
    EXPECT_FALSE(checkStateByDispid());
    const Lines calls = standIns.take("call");
    EXPECT_EQ(2, std::count(calls.begin(), calls.end(), lookUpFails.lookUp));
    EXPECT_EQ(calls.end(), std::find_if(calls.begin(), calls.end(), [&](const std::string& call) {
                return call.rfind(lookUpFails.member, 0) == 0;
              }));
    EXPECT_EQ(calls.back(), "Session.Logoff() METHOD");
  }
  // DISP_E_UNKNOWNNAME, with the system's text (none under Wine); identical records in a row
  // are written once.
  const std::string added = log.added();
  EXPECT_EQ(1u, occurrences(added, "Error Number: -2147352570\r\nModule Name: clsOrvAcctMan\r\nProcedure Name: " +
                                       kCheck + "\r\n"))
      << added;
  EXPECT_EQ(1u, occurrences(added, "Error Number: ")) << added;
}

TEST_F(SessionThroughCom, ServerErrorsReachTheLogAndNeverMakeTrue) {
  standIns.steer(L"fail=GetNamespace");  // through IErrorInfo
  EXPECT_TRUE(createSession());
  EXPECT_EQ(standIns.take("call")[1],
            "Session.Logon(VT_DISPATCH Nothing, VT_BSTR \"\", VT_BOOL False, VT_BOOL False) METHOD");
  EXPECT_EQ(S_OK, object_->Close_Session());
  EXPECT_NE(std::string::npos, log.added().find(record("Stand-in failure: GetNamespace", -2147220991, kCreate)));

  standIns.steer(L"fail=Name");
  EXPECT_FALSE(createSession());
  EXPECT_NE(std::string::npos, log.added().find(record("Stand-in failure: Name", -2147220989, kCreate)));

  standIns.steer(L"publicFolders=missing");  // through EXCEPINFO; the store then cannot be read
  EXPECT_FALSE(checkStateByDispid());
  EXPECT_NE(std::string::npos, log.added().find(record("Stand-in failure: InfoStores", -2147221233, kCheck) +
                                                "Version Number: 1.0.1\r\n"));
  EXPECT_NE(std::string::npos, log.added().find(record("Object variable or With block variable not set", 91, kCheck)));

  standIns.steer(L"fail=Application.create,NameSpace.Logoff,Session.Logoff");  // HRESULT alone
  EXPECT_TRUE(createSession());
  EXPECT_EQ(S_OK, object_->Close_Session());
  const std::string added = log.added();
  EXPECT_NE(std::string::npos, added.find("Error Number: -2146959355\r\nModule Name: clsOrvAcctMan\r\n"
                                          "Procedure Name: Create_Session() As Boolean"))
      << added;
  EXPECT_NE(std::string::npos, added.find(record("Stand-in failure: Session.Logoff", -2147219963, "Close_Session")));
  EXPECT_EQ(0, standIns.alive());
}

TEST_F(SessionThroughCom, NoSessionShowsTheWarningOnceAndKeepsTheObjects) {
  standIns.steer(L"fail=Logon");
  MessageBoxWatcher watcher;
  VARIANT_BOOL result = VARIANT_TRUE;
  EXPECT_EQ(S_OK, object_->CheckState(&result));
  EXPECT_EQ(VARIANT_FALSE, result);
  ASSERT_EQ(1u, watcher.boxes.size());
  EXPECT_EQ(L"OUTLOOK SESSION FAILED", watcher.boxes[0].title);
  EXPECT_EQ(L"Outlook session could not be made.", watcher.boxes[0].text);
  EXPECT_TRUE(watcher.boxes[0].exclamationIcon);
  EXPECT_EQ(std::vector<std::wstring>{L"OK"}, watcher.boxes[0].buttons);
  EXPECT_EQ(standIns.take("call"), kOpening);  // nothing read, nothing logged off
  EXPECT_EQ(4, standIns.alive());
  const std::string added = log.added();
  EXPECT_NE(std::string::npos, added.find(record("Stand-in failure: Logon", -2147221231, kCreate)));
  EXPECT_EQ(std::string::npos, added.find(kCheck));  // the box is no error
}

TEST_F(SessionThroughCom, OutsideAnInteractiveWindowStationTheWarningIsReported) {
  const HWINSTA interactive = GetProcessWindowStation();
  const HWINSTA hidden = CreateWindowStationW(L"orvacct-hidden", 0, WINSTA_ALL_ACCESS, nullptr);
  ASSERT_NE(nullptr, hidden);
  ASSERT_TRUE(SetProcessWindowStation(hidden));
  standIns.steer(L"fail=Logon");
  MessageBoxWatcher watcher;
  VARIANT_BOOL result = VARIANT_TRUE;
  EXPECT_EQ(S_OK, object_->CheckState(&result));
  SetProcessWindowStation(interactive);
  CloseWindowStation(hidden);
  EXPECT_EQ(VARIANT_FALSE, result);
  EXPECT_TRUE(watcher.boxes.empty());
  EXPECT_NE(std::string::npos,
            log.added().find(record("Message not shown (the window station is not interactive): OUTLOOK SESSION "
                                    "FAILED: Outlook session could not be made.",
                                    -2147023437, kCheck)));
}

#ifdef ORVACCT_TOOL_PATH
// The tool's output (stdout and stderr together) and exit code; it inherits the steering.
std::pair<std::string, DWORD> runTool(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {"no pipe", 99};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" ORVACCT_TOOL_PATH L"\" " + arguments;
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(writeEnd);
  // A minute at the most: a tool that waits for someone to answer a box never ends by itself.
  DWORD exitCode = 99;
  if (started && WaitForSingleObject(process.hProcess, 60000) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 98);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  std::string output;
  char buffer[4096];
  DWORD read = 0;
  while (started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) output.append(buffer, read);
  CloseHandle(readEnd);
  if (started) {
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
  return {output, exitCode};
}

TEST_F(SessionThroughCom, TheToolOpensAndClosesASession) {
  EXPECT_EQ(runTool(L"session open"), std::make_pair(std::string("True\n"), DWORD{0}));
  EXPECT_EQ(standIns.take("call"), kOpening + kClosing);
  standIns.steer(L"fail=Logon");
  EXPECT_EQ(runTool(L"session open"),
            std::make_pair(std::string("orvacct: error -2147221231: Stand-in failure: Logon (in Create_Session() As "
                                       "Boolean)\norvacct: no messaging session could be made\n"),
                           DWORD{1}));
}

// For scripts: no box that nobody can answer, the state in the exit code and one line; a
// messaging system that is not installed said in words.
TEST_F(SessionThroughCom, TheToolChecksTheStateWithoutABox) {
  standIns.steer(L"flags=1;storeOffline=true");
  EXPECT_EQ(runTool(L"session check"), std::make_pair(std::string("True\n"), DWORD{0}));
  standIns.steer(L"flags=0");
  EXPECT_EQ(runTool(L"session check"), std::make_pair(std::string("False\n"), DWORD{3}));
  standIns.steer(L"fail=Logon");
  EXPECT_EQ(runTool(L"session check"),
            std::make_pair(std::string("orvacct: error -2147221231: Stand-in failure: Logon (in Create_Session() As "
                                       "Boolean)\norvacct: no messaging session could be made\n"),
                           DWORD{1}));
  standIns.steer(L"fail=Session.create");
  const auto notInstalled =
      std::make_pair(std::string("orvacct: no messaging session could be made: no MAPI profile / Outlook is not "
                                 "installed\n"),
                     DWORD{1});
  EXPECT_EQ(runTool(L"session check"), notInstalled);
  EXPECT_EQ(runTool(L"session open"), notInstalled);
  standIns.take();
}
#endif

}  // namespace
}  // namespace orv::testing
