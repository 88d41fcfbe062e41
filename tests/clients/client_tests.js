// JScript client of OrvAcctMan.clsOrvAcctMan: every wired method with literals, variables and
// omitted optional arguments. Argument 0: a scratch folder. Ends with "N passed, N failed" and
// quits with the failure count (cscript itself exits 0 even when a script dies).
var passed = 0, failed = 0;

function check(name, actual, expected) {
  if (actual === expected) {
    passed++;
  } else {
    failed++;
    WScript.Echo("FAIL " + name + ": got [" + actual + "], expected [" + expected + "]");
  }
}

function pad(n) { return (n < 10 ? "0" : "") + n; }
function today() {
  var now = new Date();
  return pad(now.getMonth() + 1) + pad(now.getDate()) + now.getFullYear();
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
function readLog(folder, appName) {
  var path = folder + "\\Logs\\" + appName.toLowerCase() + "-" + today() + ".log";
  return fso.FileExists(path) ? fso.OpenTextFile(path, 1).ReadAll() : "";
}

var work = WScript.Arguments(0);
var o = new ActiveXObject("OrvAcctMan.clsOrvAcctMan");

// DeTick
check("DeTick literal", o.DeTick("O'Brien's"), "O''Brien''s");
check("DeTick empty", o.DeTick(""), "");
var ticked = "it's";
check("DeTick variable", o.DeTick(ticked), "it''s");
check("DeTick leaves its argument", ticked, "it's");
check("DeTick number", o.DeTick(1234), "1234");

// CreateGUID
var first = o.CreateGUID(), second = o.CreateGUID();
check("CreateGUID form", /^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$/.test(first), true);
check("CreateGUID new each time", first !== second, true);

// LogErrors, with and without the optional version parts
o.LogErrors(work, "JsApp", -2147467259, "Unspecified error", "modMain", "main()", "2", "0", "9");
var record = readLog(work, "JsApp");
check("LogErrors record", record.indexOf("Error Description: Unspecified error\r\nError Number: -2147467259\r\n" +
      "Module Name: modMain\r\nProcedure Name: main()\r\nVersion Number: 2.0.9\r\nDate: ") >= 0, true);
o.LogErrors(work, "JsHresult", 0x80004005, "Unsigned spelling", "modMain", "main()");
check("LogErrors HRESULT written signed", readLog(work, "JsHresult").indexOf("Error Number: -2147467259\r\n") >= 0, true);
o.LogErrors(work, "JsOmitted", 7, "Seven", "modSeven", "seven()");
check("LogErrors omitted versions", readLog(work, "JsOmitted").indexOf("Version Number: ..\r\n") >= 0, true);

// PurgeLogs
fso.CreateTextFile(work + "\\Logs\\jsapp-01012020.log").Close();
o.PurgeLogs(work, "JsApp");
check("PurgeLogs old file", fso.FileExists(work + "\\Logs\\jsapp-01012020.log"), false);
check("PurgeLogs today's file", fso.FileExists(work + "\\Logs\\jsapp-" + today() + ".log"), true);

// Password methods: they invert each other. JScript passes values, so nothing is written back.
var cipher = o.EnCrypt_Pwd("secret", "k3y");
check("EnCrypt_Pwd length", cipher.length, 48);
check("DeCrypt_Pwd", o.DeCrypt_Pwd(cipher, "k3y"), "secret");
check("DeCrypt_Pwd leaves a value alone", cipher.length, 48);
check("Passwords with an empty key", o.DeCrypt_Pwd(o.EnCrypt_Pwd("p", ""), ""), "p");

// Registry methods under HKEY_CURRENT_USER, written as JScript writes it (a number above a
// Long's range); the omitted Default is empty text or 0.
var hive = 0x80000001, regPath = "Software\\OrvAcctManJs";
o.Reg_CreateKey(hive, regPath);
o.Reg_SaveSettingString(hive, regPath, "Text", "from jscript");
check("Reg_GetSettingString", o.Reg_GetSettingString(hive, regPath, "Text"), "from jscript");
check("Reg_GetSettingString omitted default", o.Reg_GetSettingString(hive, regPath, "Missing"), "");
o.Reg_SaveSettingDWord(hive, regPath, "Number", 123456);
check("Reg_GetSettingDWord", o.Reg_GetSettingDWord(hive, regPath, "Number"), 123456);
check("Reg_GetSettingDWord omitted default", o.Reg_GetSettingDWord(hive, regPath, "Missing"), 0);
o.Reg_DeleteKey(hive, regPath);
check("Reg_DeleteKey", o.Reg_GetSettingString(hive, regPath, "Text", "gone"), "gone");

// The messaging session has a client of its own (messaging.vbs). ShowAbout answers.
o.ShowAbout();
o.ShowAbout("JsApp", "1.0");

o = null;
WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed);
