' Hands error records to OrvAcctMan's LogErrors, so a check can read back logs that the DLL itself
' wrote. Argument 0: a UTF-16 file of records, one a line, fields separated by tabs: application
' folder, application name, number, description (\n for a line break), module, procedure, and
' major, minor, revision ("-" for the three left out). Ends with "N passed, 0 failed", N the
' records handed over (cscript itself exits 0 even when a script dies).
Option Explicit

Dim fso, stream, o, fields, description, count
Set fso = CreateObject("Scripting.FileSystemObject")
Set stream = fso.OpenTextFile(WScript.Arguments(0), 1, False, -1)
Set o = CreateObject("OrvAcctMan.clsOrvAcctMan")
count = 0
Do Until stream.AtEndOfStream
  fields = Split(stream.ReadLine, vbTab)
  description = Replace(fields(3), "\n", vbCrLf)
  If fields(6) = "-" Then
    o.LogErrors fields(0), fields(1), CLng(fields(2)), description, fields(4), fields(5)
  Else
    o.LogErrors fields(0), fields(1), CLng(fields(2)), description, fields(4), fields(5), fields(6), fields(7), fields(8)
  End If
  count = count + 1
Loop
stream.Close
Set o = Nothing
WScript.Echo count & " passed, 0 failed"
