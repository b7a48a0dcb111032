// JScript smoke test: create the control, log in, list, hear events, disconnect.
//   cscript //nologo smoke.js <host> <port> <user> <password>
var passed = 0, failed = 0;
function check(name, ok, detail) {
  if (ok) { passed++; WScript.Echo("ok - " + name); }
  else { failed++; WScript.Echo("FAIL - " + name + ": " + detail); }
}
var args = WScript.Arguments;
var ftp = new ActiveXObject("TarvikFtp.FtpLibrary");
var messages = 0;
var box = new ActiveXObject("TarvikTest.Container");
box.Place(ftp, { OnServerMessage: function () { messages++; } });
check("FormatSize", ftp.FormatSize(2048) != "", "");
var name = "h" + String.fromCharCode(233, 8364) + ".txt";  // UTF-16 in, UTF-8 inside, back
check("text beyond ASCII crosses the boundary unchanged", ftp.GetFileName("C:\\d\\" + name) == name,
      ftp.GetFileName("C:\\d\\" + name));
ftp.ServerName = args(0); ftp.Port = parseInt(args(1), 10);
ftp.Username = args(2); ftp.Password = args(3);
check("Connect", ftp.Connect(), ftp.ErrorNumber + " " + ftp.ErrorInfo);
check("GetFileList", ftp.GetFileList("/down/").indexOf("file.bin") >= 0, "");
check("OnServerMessage reaches a JScript handler", messages > 0, messages);
check("Disconnect", ftp.Disconnect(), "");
box.Release();
WScript.Echo(passed + " passed, " + failed + " failed");
