' VBScript client of the nine Reg_ methods, late bound as scripts call, with every write also
' read by WScript.Shell, which goes to the registry on its own. Ends with "N passed, N failed"
' and quits with the failure count (cscript itself exits 0 even when a script dies).
Option Explicit

Const HkeyCurrentUser = &H80000001
Const Base = "Software\OrvAcctManTests\VBScript"

Dim passed : passed = 0
Dim failed : failed = 0
Dim component : Set component = CreateObject("OrvAcctMan.clsOrvAcctMan")
Dim shell : Set shell = CreateObject("WScript.Shell")

Sub Check(ok, what)
  If ok Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL " & what
  End If
End Sub

Function ShellRead(name)
  ShellRead = shell.RegRead("HKCU\" & Base & "\" & name)
End Function

' Text
component.Reg_SaveSettingString HkeyCurrentUser, Base, "Text", "hello, world"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Text", "none") = "hello, world", "string read back"
' Stored without a NUL, so Wine's shell reads one character too many; the text itself must be there.
Check Left(ShellRead("Text"), 12) = "hello, world", "string as the shell reads it: [" & ShellRead("Text") & "]"
component.Reg_SaveSettingString HkeyCurrentUser, Base, "Empty", ""
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Empty", "none") = "", "empty string is not the default"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Missing", "none") = "none", "missing string gives Default"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Missing") = "", "omitted Default is empty text"

' DWORD
component.Reg_SaveSettingDWord HkeyCurrentUser, Base, "Number", -1
Check component.Reg_GetSettingDWord(HkeyCurrentUser, Base, "Number", 5) = -1, "DWORD -1 read back"
Dim number : number = ShellRead("Number")
Check number = -1 Or number = 4294967295, "DWORD as the shell reads it: " & number
component.Reg_SaveSettingDWord HkeyCurrentUser, Base, "Pattern", &H12345678
Check ShellRead("Pattern") = &H12345678, "DWORD byte order"
Check component.Reg_GetSettingDWord(HkeyCurrentUser, Base, "Missing", 77) = 77, "missing DWORD gives Default"
Check component.Reg_GetSettingDWord(HkeyCurrentUser, Base, "Missing") = 0, "omitted DWORD Default is 0"

' Binary: one byte per character, NULs kept
Dim data : data = "A" & Chr(0) & Chr(255) & Chr(13)
component.Reg_SaveSettingBinary HkeyCurrentUser, Base, "Blob", data
Check component.Reg_GetSettingBinary(HkeyCurrentUser, Base, "Blob") = data, "binary read back"
Dim bytes : bytes = ShellRead("Blob")
Check UBound(bytes) = 3, "binary length as the shell reads it"
If UBound(bytes) = 3 Then
  Check bytes(0) = 65 And bytes(1) = 0 And bytes(2) = 255 And bytes(3) = 13, "binary bytes as the shell reads them"
End If
Check component.Reg_GetSettingBinary(HkeyCurrentUser, Base, "Missing") = "", "missing binary gives empty text"

' Written by another program: REG_SZ with its NUL, REG_EXPAND_SZ
shell.RegWrite "HKCU\" & Base & "\Other", "abc", "REG_SZ"
shell.RegWrite "HKCU\" & Base & "\Expand", "%TEMP%", "REG_EXPAND_SZ"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Other", "d") = "abc", "foreign REG_SZ without its NUL"
Check component.Reg_GetSettingBinary(HkeyCurrentUser, Base, "Other") = "abc" & Chr(0), "foreign REG_SZ as binary"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base, "Expand", "d") = "d", "REG_EXPAND_SZ gives Default"

' Keys and values
component.Reg_CreateKey HkeyCurrentUser, Base & "\A\B"
component.Reg_DeleteKey HkeyCurrentUser, Base & "\A"
component.Reg_SaveSettingString HkeyCurrentUser, Base & "\A", "Probe", "x"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base & "\A", "Probe", "gone") = "x", "key with subkeys stays"
component.Reg_DeleteValue HkeyCurrentUser, Base & "\A", "Probe"
Check component.Reg_GetSettingString(HkeyCurrentUser, Base & "\A", "Probe", "gone") = "gone", "value deleted"

' Clean up, deepest first
component.Reg_DeleteKey HkeyCurrentUser, Base & "\A\B"
component.Reg_DeleteKey HkeyCurrentUser, Base & "\A"
component.Reg_DeleteKey HkeyCurrentUser, Base
component.Reg_DeleteKey HkeyCurrentUser, "Software\OrvAcctManTests"

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
