' OrvAcctMan from VBScript: creates the component by its ProgID and calls some of its methods,
' checking each answer. Run it with the cscript of the bitness you registered (on 64-bit
' Windows %SystemRoot%\SysWOW64\cscript.exe uses the x86 DLL, %SystemRoot%\System32\cscript.exe
' the x64 one):
'     cscript //nologo OrvAcctManSample.vbs
' It ends with "OrvAcctMan sample: N passed, N failed" and exits with the number failed.
Option Explicit

' The type library's HKeyHive values are not known to scripts: declared here, as README.txt gives them.
Const HkeyClassesRToot = &H80000000
Const HkeyCurrentUser = &H80000001
Const HkeyLocalMachine = &H80000002
Const HkeyUsers = &H80000003
Const HkeyCurrentConfig = &H80000005

Dim account
On Error Resume Next
Set account = CreateObject("OrvAcctMan.clsOrvAcctMan")
If Err.Number <> 0 Then
  WScript.Echo "OrvAcctMan.clsOrvAcctMan cannot be created (error " & Hex(Err.Number) & "): register it " & _
    "with register.cmd, and run the cscript of the bitness you registered."
  WScript.Quit 100
End If
On Error GoTo 0

Dim passed, failed
passed = 0
failed = 0

Sub Check(what, ok, shown)
  If ok Then
    passed = passed + 1
    WScript.Echo "ok    " & what & ": " & shown
  Else
    failed = failed + 1
    WScript.Echo "FAIL  " & what & ": " & shown
  End If
End Sub

' Passwords to hexadecimal cipher text and back. DeCrypt_Pwd writes the decoded bytes back into
' its first argument; the parentheses around it hand over a copy.
Dim cipherText, password
cipherText = account.EnCrypt_Pwd("s3cret", "application key")
Check "EnCrypt_Pwd", Len(cipherText) = 48, cipherText
password = account.DeCrypt_Pwd((cipherText), "application key")
Check "DeCrypt_Pwd", password = "s3cret", password

' Helpers: apostrophes doubled for SQL text, a new GUID.
Dim quoted, guid
quoted = account.DeTick("O'Brien")
Check "DeTick", quoted = "O''Brien", quoted
guid = account.CreateGUID()
Check "CreateGUID", Len(guid) = 38 And Left(guid, 1) = "{", guid

' Settings in the current user's registry.
Const samplePath = "Software\OrvAcctMan\Sample"
Dim greeting, count
account.Reg_SaveSettingString HkeyCurrentUser, samplePath, "Greeting", "Hello"
greeting = account.Reg_GetSettingString(HkeyCurrentUser, samplePath, "Greeting", "(none)")
Check "Reg_GetSettingString", greeting = "Hello", greeting
account.Reg_SaveSettingDWord HkeyCurrentUser, samplePath, "Count", 42
count = account.Reg_GetSettingDWord(HkeyCurrentUser, samplePath, "Count", 0)
Check "Reg_GetSettingDWord", count = 42, count
account.Reg_DeleteKey HkeyCurrentUser, samplePath
greeting = account.Reg_GetSettingString(HkeyCurrentUser, samplePath, "Greeting", "(none)")
Check "Reg_DeleteKey", greeting = "(none)", greeting

' An error record in the daily log of an application folder, then the folder is removed.
Dim fso, folder, logFile, file
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.BuildPath(fso.GetSpecialFolder(2), fso.GetTempName())
fso.CreateFolder folder
account.LogErrors folder, "SampleApp", 5, "Invalid procedure call", "OrvAcctManSample.vbs", "Main", "1", "0", "1"
logFile = ""
If fso.FolderExists(fso.BuildPath(folder, "Logs")) Then
  For Each file In fso.GetFolder(fso.BuildPath(folder, "Logs")).Files
    logFile = file.Name
  Next
End If
Check "LogErrors", Left(logFile, 10) = "sampleapp-" And Right(logFile, 4) = ".log", logFile
fso.DeleteFolder folder, True

WScript.Echo "OrvAcctMan sample: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
