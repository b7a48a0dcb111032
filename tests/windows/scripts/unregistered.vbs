' After regsvr32 /u: the control can no longer be created.
Option Explicit
Dim ftp, number
On Error Resume Next
Set ftp = CreateObject("TarvikFtp.FtpLibrary")
number = Err.Number
On Error Goto 0
If number <> 0 Then
  WScript.Echo "ok - CreateObject fails once the control is unregistered"
  WScript.Echo "1 passed, 0 failed"
Else
  WScript.Echo "FAIL - CreateObject still creates the control after regsvr32 /u"
  WScript.Echo "0 passed, 1 failed"
End If
