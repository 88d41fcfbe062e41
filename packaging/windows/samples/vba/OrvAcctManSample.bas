Attribute VB_Name = "OrvAcctManSample"
' OrvAcctMan from VBA, early bound through its type library.
'   1. Register OrvAcctMan.dll (register.cmd, or register.cmd /user) with the DLL of Office's
'      bitness: the x86 one for 32-bit Office, the x64 one for 64-bit Office (register.cmd
'      registers both on 64-bit Windows).
'   2. In the VBA editor: Tools > References > tick "OrvAcctMan" (OrvAcctMan.dll).
'   3. File > Import File... this module, then run OrvAcctManSample (F5). The results appear in
'      the Immediate window (Ctrl+G).
Option Explicit

Public Sub OrvAcctManSample()
    Dim account As OrvAcctMan.clsOrvAcctMan
    Set account = New OrvAcctMan.clsOrvAcctMan

    ' Passwords to hexadecimal cipher text and back. The arguments are ByRef, and DeCrypt_Pwd
    ' writes the decoded bytes back into its first one: hand it a copy.
    Dim key As String, cipherText As String, stored As String
    key = "application key"
    cipherText = account.EnCrypt_Pwd("s3cret", key)
    Debug.Print "EnCrypt_Pwd:          "; cipherText
    stored = cipherText
    Debug.Print "DeCrypt_Pwd:          "; account.DeCrypt_Pwd(stored, key)

    ' Helpers: apostrophes doubled for SQL text, a new GUID.
    Debug.Print "DeTick:               "; account.DeTick("O'Brien")
    Debug.Print "CreateGUID:           "; account.CreateGUID()

    ' Settings in the current user's registry, with the type library's HKeyHive names.
    Const samplePath As String = "Software\OrvAcctMan\Sample"
    account.Reg_SaveSettingString HkeyCurrentUser, samplePath, "Greeting", "Hello"
    account.Reg_SaveSettingDWord HkeyCurrentUser, samplePath, "Count", 42
    Debug.Print "Reg_GetSettingString: "; account.Reg_GetSettingString(HkeyCurrentUser, samplePath, "Greeting", "(none)")
    Debug.Print "Reg_GetSettingDWord:  "; account.Reg_GetSettingDWord(HkeyCurrentUser, samplePath, "Count", 0)
    account.Reg_DeleteKey HkeyCurrentUser, samplePath

    ' An error record in the daily log of the TEMP folder: Logs\vbasample-MMDDYYYY.log.
    account.LogErrors Environ$("TEMP"), "VbaSample", 5, "Invalid procedure call", "OrvAcctManSample", "OrvAcctManSample", "1", "0", "1"
    Debug.Print "LogErrors:            "; Environ$("TEMP") & "\Logs"

    ' The About box, with the caller's name and version.
    account.ShowAbout "VBA sample", "1.0"

    Set account = Nothing
End Sub
