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

' Messaging and About box: not available yet; they answer and do nothing.
Check "Create_Session", o.Create_Session(), False
Check "CheckState", o.CheckState, False
o.Close_Session
o.ShowAbout
o.ShowAbout "VbsApp", "1.0"
Check "ShowAbout returns", True, True

Set o = Nothing
WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
