' The control as a script host sees it, against one FTP server. The harness prepares the files
' and compares what was transferred byte for byte.
'   cscript //nologo ftp_suite.vbs <host> <port> <user> <password> <work folder>
' Server:  /down/file.bin, /down/tree/..., /down/big.bin     Local:  <work>\up\file.bin,
' <work>\up\tree\..., <work>\resume\big.bin (the first part of /down/big.bin), empty <work>\dl
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

' Receives the control's events through the test container.
Class Events
  Public messages
  Public transfers
  Public commands
  Sub OnServerMessage()
    messages = messages + 1
    commands = commands & ftp.MessageInfo & vbLf
  End Sub
  Sub OnTransfer()
    transfers = transfers + 1
  End Sub
End Class

Dim host, port, user, password, work
host = WScript.Arguments(0) : port = CLng(WScript.Arguments(1))
user = WScript.Arguments(2) : password = WScript.Arguments(3) : work = WScript.Arguments(4)

Dim ftp, box, heard
Set ftp = CreateObject("TarvikFtp.FtpLibrary")
Check "CreateObject(""TarvikFtp.FtpLibrary"")", IsObject(ftp), ""
Check "Connected is False before anything", ftp.Connected = False, ftp.Connected

Set heard = New Events
heard.messages = 0 : heard.transfers = 0 : heard.commands = ""
Set box = CreateObject("TarvikTest.Container")
box.Place ftp, heard

ftp.ServerName = host : ftp.Port = port : ftp.Username = user : ftp.Password = password
Check "Connect logs in", ftp.Connect() And ftp.Connected, ftp.ErrorNumber & " " & ftp.ErrorInfo
Check "OnServerMessage raised while logging in", heard.messages > 0, heard.messages

Dim text
text = ftp.GetFileList("/down/")
Check "GetFileList reads a listing as text", InStr(text, "file.bin") > 0, text

Dim files, entry, names, walked
Set files = ftp.GetFtpDirectoryInfo("/down/")
names = "|" : walked = 0
For Each entry In files
  names = names & entry.FileName & "|"
  walked = walked + 1
Next
Check "For Each walks the CFtpFiles of a listing", _
      InStr(names, "|file.bin|") > 0 And InStr(names, "|tree|") > 0 And walked = files.Count, _
      names & " (" & walked & " of " & files.Count & ")"
Check "CFtpFiles.Item and CFtpFile properties", files.Item(1).FileName <> "", ""

ftp.RemotePath = "/down/file.bin" : ftp.LocalPath = work & "\dl\"
Check "Download of a file", ftp.Download(), ftp.ErrorNumber & " " & ftp.ErrorInfo
ftp.RemotePath = "/down/tree/" : ftp.LocalPath = work & "\dl\"
Check "Download of a folder tree", ftp.Download(), ftp.ErrorNumber & " " & ftp.ErrorInfo
ftp.LocalPath = work & "\up\file.bin" : ftp.RemotePath = "/up/"
Check "Upload of a file", ftp.Upload(), ftp.ErrorNumber & " " & ftp.ErrorInfo
ftp.LocalPath = work & "\up\tree\" : ftp.RemotePath = "/up/"
Check "Upload of a folder tree", ftp.Upload(), ftp.ErrorNumber & " " & ftp.ErrorInfo

' Resume: the local file holds the first part; the standing answer is "Resume".
heard.commands = "" : heard.transfers = 0
ftp.ReplaceSetting = 2
ftp.RemotePath = "/down/big.bin" : ftp.LocalPath = work & "\resume\"
Check "Download resumes a partial file", ftp.Download(), ftp.ErrorNumber & " " & ftp.ErrorInfo
Check "the resumed download asked the server to restart (REST)", _
      InStr(heard.commands, "REST ") > 0, heard.commands
Check "OnTransfer raised during a transfer on a container's site", heard.transfers > 0, _
      heard.transfers

Check "a failing call returns False", ftp.DeleteFile("/down/no-such-file.bin") = False, ""
Check "ErrorNumber and ErrorInfo describe the failure", _
      ftp.ErrorNumber = 16550 And ftp.ErrorInfo <> "", ftp.ErrorNumber & " " & ftp.ErrorInfo
Check "Disconnect", ftp.Disconnect() And Not ftp.Connected, ""
box.Release

Dim refused
Set refused = CreateObject("TarvikFtp.FtpLibrary")
refused.ServerName = "127.0.0.1" : refused.Port = 1 : refused.Timeout = 5
Check "Connect to a closed port fails with 10061", _
      refused.Connect() = False And refused.ErrorNumber = 10061 And refused.ErrorInfo <> "", _
      refused.ErrorNumber & " " & refused.ErrorInfo

WScript.Echo passed & " passed, " & failed & " failed"
