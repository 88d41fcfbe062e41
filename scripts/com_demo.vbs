' Shows what each wired method of OrvAcctMan.clsOrvAcctMan answers. Argument 0: a folder for logs.
Option Explicit
Dim o, work, fso, logFile, ticked
work = WScript.Arguments(0)
Set fso = CreateObject("Scripting.FileSystemObject")
Set o = CreateObject("OrvAcctMan.clsOrvAcctMan")

WScript.Echo "CreateGUID()            = " & o.CreateGUID()
ticked = "O'Brien's"
WScript.Echo "DeTick(""" & ticked & """)   = " & o.DeTick(ticked)

o.LogErrors work, "DemoApp", -2147467259, "Unspecified error", "modDemo", "Main()", "2", "4", "17"
logFile = work & "\Logs\demoapp-" & Right("0" & Month(Now), 2) & Right("0" & Day(Now), 2) & Year(Now) & ".log"
WScript.Echo "LogErrors wrote " & logFile & ":"
WScript.Echo fso.OpenTextFile(logFile, 1).ReadAll

fso.CreateTextFile(work & "\Logs\demoapp-01012020.log").Close
o.PurgeLogs work, "DemoApp"
WScript.Echo "PurgeLogs: demoapp-01012020.log still there? " & fso.FileExists(work & "\Logs\demoapp-01012020.log") & _
  "; today's file still there? " & fso.FileExists(logFile)

Dim cipher, pwd
cipher = o.EnCrypt_Pwd("secret", "k3y")
WScript.Echo "EnCrypt_Pwd(""secret"", ""k3y"") = " & cipher
pwd = cipher
WScript.Echo "DeCrypt_Pwd(cipher, ""k3y"") = " & o.DeCrypt_Pwd(pwd, "k3y") & _
  " (and the caller's sPwd now holds " & Len(pwd) & " decoded characters)"

Const HKCU = &H80000001
o.Reg_SaveSettingString HKCU, "Software\OrvAcctManDemo", "Greeting", "hello"
o.Reg_SaveSettingDWord HKCU, "Software\OrvAcctManDemo", "Count", 42
WScript.Echo "Reg_GetSettingString    = " & o.Reg_GetSettingString(HKCU, "Software\OrvAcctManDemo", "Greeting")
WScript.Echo "Reg_GetSettingDWord     = " & o.Reg_GetSettingDWord(HKCU, "Software\OrvAcctManDemo", "Count")
WScript.Echo "Reg_GetSettingString of a missing value, default ""none"" = " & _
  o.Reg_GetSettingString(HKCU, "Software\OrvAcctManDemo", "Missing", "none")
o.Reg_DeleteKey HKCU, "Software\OrvAcctManDemo"

WScript.Echo "Create_Session()        = " & o.Create_Session() & " (no Outlook under Wine: the failures go to the component's log)"
o.Close_Session
o.ShowAbout "DemoApp", "2.4"
WScript.Echo "ShowAbout: returns at once; the box is modeless (no display here, so the failure to show it goes to the component's log)"
