' VBScript client of Create_Session, Close_Session and CheckState against the messaging
' stand-ins, late bound as scripts call. Arguments: a scratch folder, the folder of the
' stand-ins' steering and journal files, the box answerer, the component's folder. Ends with
' "N passed, N failed" and quits with the failure count.
Option Explicit

Dim passed : passed = 0
Dim failed : failed = 0
Dim fso : Set fso = CreateObject("Scripting.FileSystemObject")
Dim shell : Set shell = CreateObject("WScript.Shell")
Dim work : work = WScript.Arguments(0)
Dim standIns : standIns = WScript.Arguments(1)
Dim answerer : answerer = WScript.Arguments(2)
Dim componentFolder : componentFolder = WScript.Arguments(3)
Dim journal : journal = standIns & "\journal.txt"
Dim seen : seen = 0

Sub Check(name, actual, expected)
  If actual = expected Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
  End If
End Sub

Function ReadText(path)
  If fso.FileExists(path) Then ReadText = fso.OpenTextFile(path, 1).ReadAll Else ReadText = ""
End Function

' The stand-ins read this file at every call.
Sub Steer(text)
  fso.CreateTextFile(standIns & "\steering.txt", True).Write text
End Sub

' The calls journalled since the last look, each followed by "|".
Function TakeCalls()
  Dim lines, i
  lines = Split(ReadText(journal), vbLf)
  TakeCalls = ""
  For i = seen To UBound(lines) - 1
    If Left(lines(i), 5) = "call " Then TakeCalls = TakeCalls & Mid(lines(i), 6) & "|"
  Next
  seen = UBound(lines)
End Function

Function ComponentLog()
  ComponentLog = ReadText(componentFolder & "\Logs\orvacctman-" & Right("0" & Month(Now), 2) & _
                          Right("0" & Day(Now), 2) & Year(Now) & ".log")
End Function

If fso.FileExists(journal) Then fso.DeleteFile journal
Dim logBefore : logBefore = Len(ComponentLog())
Steer ""
Dim o : Set o = CreateObject("OrvAcctMan.clsOrvAcctMan")

' Open, keep, close: the namespace is logged off before the CDO session.
Check "Create_Session", o.Create_Session(), True
Check "opening calls", TakeCalls(), "Application.GetNamespace(VT_BSTR ""MAPI"") slot 19|" & _
  "Session.Logon(VT_DISPATCH NameSpace, VT_BSTR """", VT_BOOL False, VT_BOOL False) METHOD|CurrentUser.Name() slot 19|"
Check "Create_Session again", o.Create_Session, True
Check "an open session is kept", TakeCalls(), "CurrentUser.Name() slot 19|"
o.Close_Session
Check "closing calls", TakeCalls(), "NameSpace.Logoff() slot 21|Session.Logoff() METHOD|"

' CheckState: the contacts folder by the 16-bit 5, its flags, then the public store.
Steer "flags=1" & vbCrLf & "storeOffline=true"
Check "CheckState", o.CheckState(), True
Dim calls : calls = TakeCalls()
Check "contacts folder", InStr(calls, "|Session.GetDefaultFolder(VT_I2 5) METHOD|") > 0, True
Check "public store", InStr(calls, "|Session.InfoStores(VT_BSTR ""Public Folders"") METHOD|PROPERTYGET|") > 0, True
Check "ends closed", Right(calls, 25), "|Session.Logoff() METHOD|"
Check "flags read by name", InStr(calls, "|Folder.Fields() METHOD|PROPERTYGET|Fields.GetIDsOfNames(""Item"")|" & _
  "Fields.Item(VT_I4 0x663D0003) METHOD|PROPERTYGET|Field.GetIDsOfNames(""Value"")|Field.Value() METHOD|PROPERTYGET|") > 0, True
Steer "storeOffline=false"
Check "CheckState with the store online", o.CheckState, False
Check "store read by name", InStr(TakeCalls(), "|Fields.GetIDsOfNames(""Item"")|Fields.Item(VT_I4 0x6632000B)") > 0, True
Steer "flags=257"
Check "CheckState with flags 257", o.CheckState, False
Check "store not consulted", InStr(TakeCalls(), "InfoStores"), 0

' No session: the warning, read and answered by another process.
Steer "fail=Logon"
Dim answer : answer = work & "\box.txt"
shell.Run """" & answerer & """ """ & answer & """ 60", 0, False
Check "CheckState without a session", o.CheckState(), False
Check "the warning", ReadText(answer), "OUTLOOK SESSION FAILED|Outlook session could not be made.|OK" & vbCrLf

' The end of the instance closes the session and leaves no stand-in alive.
Set o = Nothing
Dim lines : lines = Split(ReadText(journal), vbLf)
Check "last journal line", lines(UBound(lines) - 1), "release Session alive=0"
Check "nothing unexpected", InStr(ReadText(journal), "unexpected"), 0
Check "Logon failure in the component's log", InStr(Mid(ComponentLog(), logBefore + 1), _
  "Error Description: Stand-in failure: Logon" & vbCrLf & "Error Number: -2147221231" & vbCrLf & _
  "Module Name: clsOrvAcctMan" & vbCrLf & "Procedure Name: Create_Session() As Boolean" & vbCrLf) > 0, True

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
