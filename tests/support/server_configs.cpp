#include "tests/support/server_configs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

// The servers that cannot be installed side by side as packages are unpacked under /opt.
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr const char* kPureFtpd = "/opt/pure-ftpd/usr/sbin/pure-ftpd";
constexpr const char* kPurePw = "/opt/pure-ftpd/usr/bin/pure-pw";
constexpr const char* kProftpd = "/opt/proftpd/usr/sbin/proftpd";

void RequireProgram(const char* path) {
  if (::access(path, X_OK) != 0) {
    throw std::runtime_error(std::string(path) +
                             " is not installed; run scripts/install-servers.sh");
  }
}

void WriteFile(const fs::path& path, const std::string& text, fs::perms permissions) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
  fs::permissions(path, permissions);
}

constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kReadable = kPrivate | fs::perms::group_read | fs::perms::others_read;

ServerLaunch PreparePyftpdlib(const ServerSetting& s) {
  RequireProgram(kPython);
  fs::path script = s.dir / "server.py";
  WriteFile(script, R"(import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer

port, user, password, root, anonymous, low, high = sys.argv[1:8]
config_logging(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
authorizer.add_anonymous(anonymous)
FTPHandler.authorizer = authorizer
FTPHandler.passive_ports = range(int(low), int(high) + 1)
FTPServer(("127.0.0.1", int(port)), FTPHandler).serve_forever()
)",
            kReadable);
  ServerLaunch launch;
  launch.argv = {kPython,
                 script.string(),
                 std::to_string(s.port),
                 s.account->name,
                 s.account->password,
                 s.root.string(),
                 s.anonymous.string(),
                 std::to_string(s.passive_low),
                 std::to_string(s.passive_high)};
  launch.as_account = true;
  return launch;
}

ServerLaunch PrepareVsftpd(const ServerSetting& s) {
  RequireProgram(kVsftpd);
  // An empty folder that no session user can write, required for its privilege separation.
  fs::path empty = s.dir / "empty";
  fs::create_directories(empty);
  fs::path log = s.dir / "vsftpd.log";
  fs::path config = s.dir / "vsftpd.conf";
  // Sessions cannot get namespaces or a seccomp filter in a container; background=NO keeps the
  // listener as the process started here; the configuration file must belong to root.
  WriteFile(config,
            "listen=YES\n"
            "listen_ipv6=NO\n"
            "listen_address=127.0.0.1\n"
            "listen_port=" +
                std::to_string(s.port) +
                "\n"
                "background=NO\n"
                "seccomp_sandbox=NO\n"
                "isolate=NO\n"
                "isolate_network=NO\n"
                "secure_chroot_dir=" +
                empty.string() +
                "\n"
                "pam_service_name=vsftpd\n"
                "local_enable=YES\n"
                "write_enable=YES\n"
                "local_umask=022\n"
                "local_root=" +
                s.root.string() +
                "\n"
                "chroot_local_user=YES\n"
                "allow_writeable_chroot=YES\n"
                "anonymous_enable=YES\n"
                "no_anon_password=YES\n"
                "anon_root=" +
                s.anonymous.string() +
                "\n"
                "ftp_username=" +
                s.account->name +
                "\n"
                "pasv_enable=YES\n"
                "pasv_min_port=" +
                std::to_string(s.passive_low) +
                "\n"
                "pasv_max_port=" +
                std::to_string(s.passive_high) +
                "\n"
                "port_enable=YES\n"
                "connect_from_port_20=NO\n"
                "userlist_enable=NO\n"
                "tcp_wrappers=NO\n"
                "xferlog_enable=YES\n"
                "log_ftp_protocol=YES\n"
                "vsftpd_log_file=" +
                log.string() + "\n",
            kPrivate);
  ServerLaunch launch;
  launch.argv = {kVsftpd, config.string()};
  launch.extra_logs = {log};
  return launch;
}

ServerLaunch PreparePureFtpd(const ServerSetting& s) {
  RequireProgram(kPureFtpd);
  RequireProgram(kPurePw);
  // A SHA-512 crypt hash: the tool's own default (argon2) costs seconds of CPU per login.
  // "/./" at the end of the home folder locks the session into it.
  fs::path passwd = s.dir / "pureftpd.passwd";
  fs::path database = s.dir / "pureftpd.pdb";
  WriteFile(passwd,
            s.account->name + ":" + s.account->password_hash + ":" +
                std::to_string(s.account->uid) + ":" + std::to_string(s.account->gid) +
                "::" + s.root.string() + "/./::::::::::::\n",
            kPrivate);
  std::string make_database = std::string(kPurePw) + " mkdb '" + database.string() + "' -f '" +
                              passwd.string() + "' > '" + (s.dir / "output.txt").string() +
                              "' 2>&1";
  if (std::system(make_database.c_str()) != 0) {
    throw std::runtime_error("pure-pw mkdb failed: " + make_database);
  }
  ServerLaunch launch;
  launch.argv = {kPureFtpd,
                 "--bind",
                 "127.0.0.1," + std::to_string(s.port),
                 "--login",
                 "puredb:" + database.string(),
                 "--passiveportrange",
                 std::to_string(s.passive_low) + ":" + std::to_string(s.passive_high),
                 "--chrooteveryone",
                 "--dontresolve",
                 "--maxclientsnumber",
                 "50",
                 "--maxclientsperip",
                 "50",
                 "--syslogfacility",
                 "none"};
  return launch;
}

ServerLaunch PrepareProftpd(const ServerSetting& s) {
  RequireProgram(kProftpd);
  // Users come from files of its own: the test account, and "ftpanon" for anonymous sessions.
  fs::path passwd = s.dir / "ftpd.passwd";
  fs::path group = s.dir / "ftpd.group";
  std::string ids = std::to_string(s.account->uid) + ":" + std::to_string(s.account->gid);
  WriteFile(passwd,
            s.account->name + ":" + s.account->password_hash + ":" + ids + "::" + s.root.string() +
                ":/bin/bash\n" + "ftpanon:*:" + ids + "::" + s.anonymous.string() + ":/bin/bash\n",
            kPrivate);
  WriteFile(group, s.account->name + ":x:" + std::to_string(s.account->gid) + ":\n", kPrivate);
  fs::path log = s.dir / "proftpd.log";
  fs::path config = s.dir / "proftpd.conf";
  WriteFile(config,
            "ServerName \"Tarvik test server\"\n"
            "ServerType standalone\n"
            "Port " +
                std::to_string(s.port) +
                "\n"
                "DefaultAddress 127.0.0.1\n"
                "SocketBindTight on\n"
                "UseIPv6 off\n"
                "UseReverseDNS off\n"
                "User " +
                s.account->name +
                "\n"
                "Group " +
                s.account->name +
                "\n"
                "PidFile " +
                (s.dir / "proftpd.pid").string() +
                "\n"
                "ScoreboardFile " +
                (s.dir / "proftpd.scoreboard").string() +
                "\n"
                "DelayTable " +
                (s.dir / "proftpd.delay").string() +
                "\n"
                "WtmpLog off\n"
                "SystemLog " +
                log.string() +
                "\n"
                "TransferLog none\n"
                "AuthOrder mod_auth_file.c\n"
                "AuthUserFile " +
                passwd.string() +
                "\n"
                "AuthGroupFile " +
                group.string() +
                "\n"
                "RequireValidShell off\n"
                "UseFtpUsers off\n"
                "DefaultRoot ~\n"
                "PassivePorts " +
                std::to_string(s.passive_low) + " " + std::to_string(s.passive_high) +
                "\n"
                "AllowOverwrite on\n"
                "AllowStoreRestart on\n"
                "AllowRetrieveRestart on\n"
                "Umask 022\n"
                "MaxInstances 50\n"
                "<IfModule mod_delay.c>\n"
                "  DelayEngine off\n"
                "</IfModule>\n"
                "<IfModule mod_ctrls.c>\n"
                "  ControlsEngine off\n"
                "</IfModule>\n"
                "<Anonymous " +
                s.anonymous.string() +
                ">\n"
                "  User ftpanon\n"
                "  Group " +
                s.account->name +
                "\n"
                "  UserAlias anonymous ftpanon\n"
                "  <Limit WRITE>\n"
                "    DenyAll\n"
                "  </Limit>\n"
                "</Anonymous>\n",
            kPrivate);
  ServerLaunch launch;
  launch.argv = {kProftpd, "--nodaemon", "--quiet", "--config", config.string()};
  launch.extra_logs = {log};
  return launch;
}

}  // namespace

fs::path AnonymousDirFor(const std::string& name, const fs::path& dir) {
  if (name != "pureftpd") return dir / "anonymous";
  // This server always serves anonymous sessions from the home folder of the system's "ftp" user.
  const passwd* ftp = ::getpwnam("ftp");
  if (ftp == nullptr || !fs::is_directory(ftp->pw_dir)) return {};
  return ftp->pw_dir;
}

ServerLaunch PrepareServer(const ServerSetting& setting) {
  if (setting.name == "pyftpdlib") return PreparePyftpdlib(setting);
  if (setting.name == "vsftpd") return PrepareVsftpd(setting);
  if (setting.name == "pureftpd") return PreparePureFtpd(setting);
  if (setting.name == "proftpd") return PrepareProftpd(setting);
  throw std::invalid_argument("unknown FTP server \"" + setting.name + "\"");
}

}  // namespace tarvik::test
