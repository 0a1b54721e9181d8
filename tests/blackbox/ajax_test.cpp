// The AJAX dispatcher seen from the browser: recognition of a call, parsing,
// the IP access lists, routing, the reply envelope and its failures.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fake_daemon.h"
#include "testroot.h"

using korvantest::ajax;
using korvantest::CgiRequest;
using korvantest::CgiResult;
using korvantest::runCgi;
using korvantest::sessionRequest;
using korvantest::TempRoot;

namespace {

const char* const kJsonHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";

// Posts `postKey` exactly as given (URL-encoded on the way).
CgiResult postRaw(const TempRoot& root, const std::string& postKey) {
  CgiRequest r;
  r.method = "POST";
  r.contentType = "application/x-www-form-urlencoded";
  r.body = "postKey=" + korvantest::urlEncode(postKey);
  return runCgi(root, r);
}

std::string compact(const Json::Value& v) {
  std::string text = Json::FastWriter().write(v);
  text.pop_back();  // the writer's line feed
  return text;
}

bool isPageShell(const CgiResult& r) { return r.body().rfind(" <!DOCTYPE", 0) == 0; }

// A reply that is complete: one header, one JSON document, exit status 0.
Json::Value completeReply(const CgiResult& r) {
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.header(), kJsonHeader);
  EXPECT_EQ(r.out.find("Content-type", 1), std::string::npos) << "header written twice";
  EXPECT_EQ(r.body().size() >= 3 ? r.body().substr(r.body().size() - 3) : "", "\n \n");
  return korvantest::replyOf(r);
}

TEST(Ajax, PostKeyLengthDecidesTheRoute) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  std::string shell = compact(ref);
  // Pad a string member so that the document has exactly `size` bytes.
  auto padded = [&](size_t size) {
    std::string text = shell.substr(0, shell.size() - 1) + ",\"pad\":\"\"}";
    text.insert(text.size() - 2, std::string(size - text.size(), 'x'));
    return text;
  };
  CgiResult call = postRaw(root, padded(29999));
  EXPECT_EQ(completeReply(call)["ret"], "ok");
  EXPECT_TRUE(isPageShell(postRaw(root, padded(30000))));
  EXPECT_TRUE(isPageShell(postRaw(root, "")));
  EXPECT_TRUE(isPageShell(postRaw(root, "\r\n")));
}

TEST(Ajax, RawLineBreaksAreDroppedEscapedOnesKept) {
  TempRoot root;
  // Raw CR LF inside a JSON string vanish; the escape \n stays a line feed.
  postRaw(root, "{\"type\":\"login\",\r\n\"userNM\":\"ab\r\ncd\",\"pw\":\"x\"}");
  postRaw(root, "{\"type\":\"login\",\"userNM\":\"ef\\ngh\",\"pw\":\"x\"}");
  EXPECT_EQ(root.query("select f_userName from userLock order by f_id;"),
            (std::vector<std::vector<std::string>>{{"abcd"}, {"ef\ngh"}}));
}

TEST(Ajax, IpAccessLists) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  const char* refused = "ip black list error(your ip is in the list)";
  auto from = [&](const std::string& addr) { return ajax(root, ref, {}, addr); };

  root.exec("update other2 set ipsType=1;");  // an empty white list refuses everyone
  EXPECT_EQ(from("127.0.0.1")["retMsg"], refused);
  root.exec("insert into ips2 values ('10.1.1.1');");
  EXPECT_EQ(from("10.1.1.1")["ret"], "ok");
  EXPECT_EQ(from("10.1.1.11")["retMsg"], refused);  // exact match only

  root.exec("update other2 set ipsType=0;");
  EXPECT_EQ(from("10.1.1.1")["retMsg"], refused);
  EXPECT_EQ(from("10.1.1.2")["ret"], "ok");
  root.exec("delete from ips2;");  // an empty black list admits everyone
  EXPECT_EQ(from("10.1.1.1")["ret"], "ok");

  root.exec("update other2 set ipsType=7; insert into ips2 values ('10.1.1.1');");
  EXPECT_EQ(from("10.1.1.1")["ret"], "ok");

  // The check comes before the session check, and for login too.
  root.exec("update other2 set ipsType=0;");
  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "admin";
  login["pw"] = "admin";
  EXPECT_EQ(from("10.1.1.1")["retMsg"], refused);
  EXPECT_EQ(ajax(root, login, {}, "10.1.1.1")["retMsg"], refused);
  EXPECT_EQ(root.scalar("select status from user2 where id=2;"), "0");
}

TEST(Ajax, TypesWithoutAHandler) {
  TempRoot root;
  for (const char* type : {"noSuchType", "", "updFoo", "UPDUSER"}) {
    Json::Value request = sessionRequest(root, type);
    request["userPara"]["memo"] = "changed";
    request["userPara"]["id"] = "1";
    Json::Value reply = ajax(root, request);
    EXPECT_EQ(reply["ret"], "err") << type;
    EXPECT_EQ(reply["retMsg"], "unknown request type") << type;
    EXPECT_FALSE(reply.isMember("curUser")) << type;
  }
  EXPECT_EQ(root.scalar("select memo from user2 where id=1;"), "built-in administrator");
  EXPECT_EQ(root.scalar("select count(*) from user2;"), "2");

  // A document the reader cannot read has no credentials: refused as such.
  Json::Value reply = completeReply(postRaw(root, "not json at all"));
  EXPECT_EQ(reply["ret"], "err");
  EXPECT_NE(reply["retMsg"], "unknown request type");
}

TEST(Ajax, MalformedDocumentsGetAnOrderlyError) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  std::string deep = std::string(5000, '[') + std::string(5000, ']');
  Json::Value badUser = ref;
  badUser["user"] = "1";
  Json::Value badType = ref;
  badType["type"] = Json::Value(Json::arrayValue);
  Json::Value badRights = sessionRequest(root, "updPriv");
  badRights["priv"] = Json::Value(Json::arrayValue);
  for (const std::string& doc : {std::string("[1,2]"), std::string("5"), std::string("\"ref\""),
                                 deep, compact(badUser), compact(badType), compact(badRights)}) {
    Json::Value reply = completeReply(postRaw(root, doc));
    EXPECT_EQ(reply["ret"], "err") << doc.substr(0, 40);
    EXPECT_NE(reply["retMsg"].asString(), "") << doc.substr(0, 40);
    EXPECT_EQ(reply.size(), 2u) << doc.substr(0, 40);
  }
}

TEST(Ajax, SaveLanguage) {
  TempRoot root;
  Json::Value request = sessionRequest(root, "saveLanguage");
  request["language"] = "zh-Hans_CN";
  Json::Value reply = ajax(root, request);
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("dogs"));
  EXPECT_EQ(root.scalar("select f_language from secureConf;"), "zh-Hans_CN");
  EXPECT_NE(root.traceLog().find("3193_Time:"), std::string::npos);
  // The next page shell loads it.
  runCgi(root, CgiRequest{});
  EXPECT_NE(korvantest::readFile(root.path("usr/app/yal/www/lib/language.js"))
                .find("var siteLang ='zh-Hans_CN';"),
            std::string::npos);

  for (const char* bad : {"en'; drop table user2; --", "abcdefghijklmnopq", "de fr", "\xc3\xa9"}) {
    request["language"] = bad;
    reply = ajax(root, request);
    EXPECT_EQ(reply["ret"], "warning") << bad;
    EXPECT_EQ(reply["retMsg"], "invalid language") << bad;
  }
  EXPECT_EQ(root.scalar("select f_language from secureConf;"), "zh-Hans_CN");
  request["language"] = "";
  EXPECT_EQ(ajax(root, request)["ret"], "ok");
  EXPECT_EQ(root.scalar("select f_language from secureConf;"), "");
}

// A loopback port on which nothing listens.
int closedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

TEST(Ajax, FailedRestartRebootsOnlyForAnOpenSession) {
  TempRoot root;
  const std::string marker = root.path("rebooted");
  korvantest::writeFile(root.path("sbin/reboot"), "#!/bin/sh\necho reboot >> '" + marker + "'\n");
  chmod(root.path("sbin/reboot").c_str(), 0755);
  korvantest::FakeDaemon daemon;
  const std::map<std::string, std::string> up{{"KORVAN_ARM_PORT", std::to_string(daemon.port())}};
  const std::map<std::string, std::string> down{{"KORVAN_ARM_PORT", std::to_string(closedPort())}};
  Json::Value restart = sessionRequest(root, "restart");
  Json::Value stranger = restart;
  stranger["user"]["token"] = "not-the-token";

  // Refused by the session check, or the daemon unreachable without a
  // session: an error reply and no reboot.
  EXPECT_EQ(ajax(root, stranger, up)["retMsg"], "curUser has loginned or idle timeout");
  EXPECT_EQ(ajax(root, stranger, down)["ret"], "armErr");
  root.exec("update other2 set ipsType=0; insert into ips2 values ('127.0.0.1');");
  EXPECT_EQ(ajax(root, restart, down)["ret"], "armErr");  // open session, refused address
  root.exec("update other2 set ipsType=2;");
  EXPECT_FALSE(korvantest::fileExists(marker));

  // A restart the daemon acknowledges does not reboot here.
  EXPECT_EQ(ajax(root, restart, up)["ret"], "ok");
  EXPECT_FALSE(korvantest::fileExists(marker));

  // An authenticated restart whose daemon is unreachable, or refuses: reboot,
  // and no JSON reply after the header.
  CgiResult r = korvantest::postAjax(root, restart, down);
  EXPECT_TRUE(korvantest::fileExists(marker));
  EXPECT_EQ(r.body().find("\"ret\""), std::string::npos) << r.out;
  std::remove(marker.c_str());
  daemon.scriptRet(5, 1);
  r = korvantest::postAjax(root, restart, up);
  EXPECT_TRUE(korvantest::fileExists(marker));
  EXPECT_EQ(r.body().find("\"ret\""), std::string::npos) << r.out;
}

}  // namespace
