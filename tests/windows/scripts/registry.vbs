' The control's registry methods against the system's registry, read back through the script
' host's own shell object. A case whose call raises an error prints nothing (the statement is
' skipped) and is counted as failed at the end.
Option Explicit

Dim passed, failed
passed = 0 : failed = 0

Sub Check(name, ok, detail)
  If ok Then
    passed = passed + 1
    WScript.Echo "ok - " & name
  Else
    failed = failed + 1
    WScript.Echo "FAIL - " & name & ": " & detail
  End If
End Sub

Const kKey = "Software\TarvikFtpTest\Suite"
Dim ftp, shell, root, key, value_name
Set ftp = CreateObject("TarvikFtp.FtpLibrary")
Set shell = CreateObject("WScript.Shell")
root = "HKEY_CURRENT_USER" : key = kKey
Const kCases = 15
On Error Resume Next

Check "RegCreate creates a key", ftp.RegCreate(root, key), ""
Check "RegExists finds it (lower-case root, / separators)", _
      ftp.RegExists("hkey_current_user", "Software/TarvikFtpTest/Suite"), ""
Check "RegSetValueEx stores a REG_SZ value", _
      ftp.RegSetValueEx(root, key, "Greeting", "hello world", "REG_SZ"), ""
Check "RegSetValueEx stores a REG_DWORD value", _
      ftp.RegSetValueEx(root, key, "Count", "255", "REG_DWORD"), ""
Check "RegSetValueEx refuses an unknown type", _
      ftp.RegSetValueEx(root, key, "Odd", "1", "REG_WHATEVER") = False, ""
value_name = "Count"
Check "RegGetValueEx reads the DWORD as text", ftp.RegGetValueEx(root, key, value_name) = "255", ""
Check "the script host reads what the control wrote", _
      shell.RegRead("HKCU\" & kKey & "\Count") = 255, ""
Check "the script host reads the control's text without a stray character", _
      shell.RegRead("HKCU\" & kKey & "\Greeting") = "hello world", ""
shell.RegWrite "HKCU\" & kKey & "\FromScript", "written by the script host", "REG_SZ"
value_name = "FromScript"
Check "the control reads what the script host wrote", _
      ftp.RegGetValueEx(root, key, value_name) = "written by the script host", ""
Check "RegSetValue sets the default value", ftp.RegSetValue(root, key, "default"), ""
Check "RegGetValue reads it", ftp.RegGetValue(root, key) = "default", ""
Check "RegDeleteValueEx deletes a value", ftp.RegDeleteValueEx(root, key, "Count"), ""
value_name = "Count"
Check "a deleted value reads GetValueError", _
      ftp.RegGetValueEx(root, key, value_name) = "GetValueError", ""
Check "RegDelete deletes the key tree", ftp.RegDelete(root, "Software\TarvikFtpTest"), ""
Check "RegExists no longer finds it", ftp.RegExists(root, key) = False, ""

If passed + failed < kCases Then
  WScript.Echo "FAIL - " & (kCases - passed - failed) & " case(s) raised an error"
  failed = kCases - passed
End If
WScript.Echo passed & " passed, " & failed & " failed"
