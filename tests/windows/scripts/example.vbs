' Tarvik FTP from VBScript: print a listing, download a folder, upload a file.
'   cscript //nologo example.vbs <host> <port> <user> <password> <remote folder> <local folder>
Option Explicit
Dim args, ftp, files, entry
Set args = WScript.Arguments

Set ftp = CreateObject("TarvikFtp.FtpLibrary")
ftp.ServerName = args(0)
ftp.Port = CLng(args(1))
ftp.Username = args(2)
ftp.Password = args(3)
If Not ftp.Connect() Then
  WScript.Echo "Connect failed: " & ftp.ErrorNumber & " " & ftp.ErrorInfo
  WScript.Quit 1
End If

WScript.Echo "Listing of " & args(4) & ":"
Set files = ftp.GetFtpDirectoryInfo(args(4))
For Each entry In files
  WScript.Echo "  " & entry.FileName & "  " & ftp.FormatSize(entry.FileSize)
Next

ftp.RemotePath = args(4) & "/"
ftp.LocalPath = args(5) & "\downloaded\"
WScript.Echo "Download of " & args(4) & ": " & ftp.Download()

ftp.LocalPath = args(5) & "\upload.txt"
ftp.RemotePath = args(4) & "/uploaded/"
WScript.Echo "Upload of upload.txt: " & ftp.Upload()

ftp.Disconnect
WScript.Echo "Done."
