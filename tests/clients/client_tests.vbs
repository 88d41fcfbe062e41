' VBScript client of OrvAcctMan.clsOrvAcctMan: every wired method with variables, literals and
' omitted optional arguments. Argument 0: a scratch folder. Ends with "N passed, N failed" and
' quits with the failure count (cscript itself exits 0 even when a script dies).
Option Explicit

Dim passed, failed
passed = 0
failed = 0

Sub Check(name, actual, expected)
  If actual = expected Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
  End If
End Sub

Function Today()
  Today = Right("0" & Month(Now), 2) & Right("0" & Day(Now), 2) & Year(Now)
End Function

Function ReadLog(folder, appName)
  Dim fso, path
  Set fso = CreateObject("Scripting.FileSystemObject")
  path = folder & "\Logs\" & LCase(appName) & "-" & Today() & ".log"
  If fso.FileExists(path) Then ReadLog = fso.OpenTextFile(path, 1).ReadAll Else ReadLog = ""
End Function

Function CountOf(text, part)
  CountOf = (Len(text) - Len(Replace(text, part, ""))) / Len(part)
End Function

Dim work, fso, o
work = WScript.Arguments(0)
Set fso = CreateObject("Scripting.FileSystemObject")
Set o = CreateObject("OrvAcctMan.clsOrvAcctMan")

' DeTick: literals, variables (left unchanged), numbers converted to text.
Dim ticked, number
Check "DeTick literal", o.DeTick("O'Brien's"), "O''Brien''s"
Check "DeTick empty", o.DeTick(""), ""
Check "DeTick two apostrophes", o.DeTick("''"), "''''"
ticked = "it's"
Check "DeTick variable", o.DeTick(ticked), "it''s"
Check "DeTick leaves its argument", ticked, "it's"
number = 42
Check "DeTick number", o.DeTick(number), "42"
Check "DeTick number stays a number", TypeName(number), "Integer"

' CreateGUID, with and without parentheses.
Dim first, second
first = o.CreateGUID()
second = o.CreateGUID
Check "CreateGUID length", Len(first), 38
Check "CreateGUID braces", Left(first, 1) & Right(first, 1), "{}"
Check "CreateGUID hyphens", Mid(first, 10, 1) & Mid(first, 15, 1) & Mid(first, 20, 1) & Mid(first, 25, 1), "----"
Check "CreateGUID upper case", UCase(first), first
Check "CreateGUID new each time", first <> second, True

' LogErrors: every argument, the optional ones left out, one left out in the middle.
Dim appName, errNumber, description, moduleName, procedure, record
appName = "VbsApp"
errNumber = -2147467259
description = "Unspecified error"
moduleName = "modMain"
procedure = "Main()"
o.LogErrors work, appName, errNumber, description, moduleName, procedure, "3", "1", "4"
o.LogErrors work, appName, errNumber, description, moduleName, procedure, "3", "1", "4"
record = ReadLog(work, appName)
Check "LogErrors record", InStr(record, "Error Description: Unspecified error" & vbCrLf & _
  "Error Number: -2147467259" & vbCrLf & "Module Name: modMain" & vbCrLf & "Procedure Name: Main()" & vbCrLf & _
  "Version Number: 3.1.4" & vbCrLf & "Date: ") > 0, True
Check "LogErrors repeat written once", CountOf(record, String(41, "+")), 1
Check "LogErrors leaves its arguments", appName & errNumber & description, "VbsApp-2147467259Unspecified error"
o.LogErrors work, "VbsOmitted", 5, "Five", "modFive", "Five()"
Check "LogErrors omitted versions", InStr(ReadLog(work, "VbsOmitted"), "Version Number: .." & vbCrLf) > 0, True
o.LogErrors work, "VbsMiddle", 6, "Six", "modSix", "Six()", , "7"
Check "LogErrors omitted middle", InStr(ReadLog(work, "VbsMiddle"), "Version Number: .7." & vbCrLf) > 0, True

' PurgeLogs: a file dated long ago goes, today's stays.
fso.CreateTextFile(work & "\Logs\vbsapp-01012020.log").Close
o.PurgeLogs work, appName
Check "PurgeLogs old file", fso.FileExists(work & "\Logs\vbsapp-01012020.log"), False
Check "PurgeLogs today's file", fso.FileExists(work & "\Logs\vbsapp-" & Today() & ".log"), True
o.PurgeLogs work & "\missing", appName
Check "PurgeLogs missing folder", fso.FolderExists(work & "\missing"), False

' Password methods: they invert each other; DeCrypt_Pwd writes the decoded text back into
' the caller's variable, and leaves an expression's value alone.
Dim pwd, key, cipher, cipherCopy
pwd = "secret"
key = "k3y"
cipher = o.EnCrypt_Pwd(pwd, key)
Check "EnCrypt_Pwd length", Len(cipher), 48
Check "EnCrypt_Pwd leaves its arguments", pwd & key, "secretk3y"
Check "EnCrypt_Pwd differs each time", o.EnCrypt_Pwd(pwd, key) <> cipher, True
cipherCopy = cipher
Check "DeCrypt_Pwd", o.DeCrypt_Pwd(cipherCopy, key), "secret"
Check "DeCrypt_Pwd writes sPwd back", Len(cipherCopy), Len(cipher) / 2
Check "DeCrypt_Pwd leaves sKey", key, "k3y"
Check "DeCrypt_Pwd of an expression", o.DeCrypt_Pwd(cipher & "", "k3y"), "secret"
Check "DeCrypt_Pwd lower-case hex", o.DeCrypt_Pwd(LCase(cipher), key), "secret"
Check "Passwords with an empty key", o.DeCrypt_Pwd(o.EnCrypt_Pwd("p", ""), ""), "p"
Check "Empty cipher text", o.DeCrypt_Pwd("", key), ""
' Forged under the empty key with size descriptors -1, -2 and -3: damaged data, every byte back.
Check "Negative size descriptor -1", Len(o.DeCrypt_Pwd("F155B7CFC1E56C7B926EDE28DDD74E22", "")), 16
Check "Negative size descriptor -2", Len(o.DeCrypt_Pwd("F155B7CFC1E56C7B9151766722921BDB", "")), 16
Check "Negative size descriptor -3", Len(o.DeCrypt_Pwd("F155B7CFC1E56C7B7D8B070AA7D7A3D9", "")), 16

' Registry methods under HKEY_CURRENT_USER (&H80000001): VBScript knows no enumeration names.
Dim hive, regPath, shell
hive = &H80000001
regPath = "Software\OrvAcctManVbs"
Set shell = CreateObject("WScript.Shell")
o.Reg_CreateKey hive, regPath
o.Reg_SaveSettingString hive, regPath, "Text", "from vbscript"
Check "Reg_GetSettingString", o.Reg_GetSettingString(hive, regPath, "Text"), "from vbscript"
'  Stored without a NUL, so Wine's shell reads one character too many; the text itself must be there.
Check "Reg_GetSettingString seen by the shell", Left(shell.RegRead("HKCU\" & regPath & "\Text"), 13), "from vbscript"
Check "Reg_GetSettingString default", o.Reg_GetSettingString(hive, regPath, "Missing", "fallback"), "fallback"
Check "Reg_GetSettingString omitted default", o.Reg_GetSettingString(hive, regPath, "Missing"), ""
o.Reg_SaveSettingDWord hive, regPath, "Number", -12
Check "Reg_GetSettingDWord", o.Reg_GetSettingDWord(hive, regPath, "Number"), -12
Check "Reg_GetSettingDWord omitted default", o.Reg_GetSettingDWord(hive, regPath, "Missing"), 0
Check "Reg_GetSettingDWord default", o.Reg_GetSettingDWord(hive, regPath, "Missing", 5), 5
o.Reg_SaveSettingBinary hive, regPath, "Bytes", "A" & Chr(0) & "B"
Check "Reg_GetSettingBinary", o.Reg_GetSettingBinary(hive, regPath, "Bytes"), "A" & Chr(0) & "B"
o.Reg_DeleteValue hive, regPath, "Text"
Check "Reg_DeleteValue", o.Reg_GetSettingString(hive, regPath, "Text", "gone"), "gone"
o.Reg_DeleteKey hive, regPath
Check "Reg_DeleteKey", o.Reg_GetSettingDWord(hive, regPath, "Number", 77), 77

' The messaging session has a client of its own (messaging.vbs). ShowAbout answers.
o.ShowAbout
o.ShowAbout "VbsApp", "1.0"
Check "ShowAbout returns", True, True

Set o = Nothing
WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
