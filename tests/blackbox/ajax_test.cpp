// The AJAX dispatcher seen from the browser: recognition of a call, parsing,
// the IP access lists, routing, the reply envelope and its failures.
#include <gtest/gtest.h>

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

// The tables and columns alone: declared types, but no defaults, no unique
// names, no keys besides the ids the database assigns, and another name for
// the second column of iplist.
const char* const kBareTables =
    "drop table user2; drop table priv2; drop table dog2; drop table dogInfo2;"
    "drop table server2; drop table other2; drop table secureConf; drop table userLock;"
    "drop table log2; drop table ips2; drop table iplist;"
    "create table user2 (id integer primary key, nm text, pw text, memo text, pid integer,"
    " dog text, token text, status integer, expireTime integer, loginTime text,"
    " loginTime2 text, createTime text, pwdExpire text, pwdDepth text, timezone integer,"
    " interval integer, code text, frame text, media text, prior integer, nm2 text,"
    " addrH text, addrC text, phone text, email text, memo2 text);"
    "create table priv2 (id integer, level integer, nm text, type integer, dog text);"
    "create table dog2 (id integer, uid text, nm text, sm integer, code integer,"
    " frame integer, status integer, usrstatus integer, type2 integer, serialUserID integer);"
    "create table dogInfo2 (id integer, setted integer, uid text, nm text, group2 text,"
    " pos1 text, pos2 text, depart text, memo text);"
    "create table server2 (uid text, nm text, encrypt integer, ip integer, gateway integer,"
    " subnetMask integer, portKM integer, portV integer, portWeb integer, temp integer,"
    " humid integer);"
    "create table other2 (factoryMode integer, ipsType integer);"
    "create table secureConf (f_pwd text, f_ntpServer text, f_snmpServer text,"
    " f_firstLogin integer, f_language text);"
    "create table userLock (f_id integer primary key, f_datetime text, f_userName text,"
    " f_wrongTimes integer);"
    "create table log2 (id integer primary key, user text, time text, ip text, type text,"
    " typeSub text, typeSubCN text, sth text);"
    "create table ips2 (ip text);"
    "create table iplist (ip integer, spare integer);";

TEST(Ajax, NeedsOnlyTheTablesAndColumns) {
  TempRoot root(false);
  root.exec(kBareTables);
  root.exec(
      "insert into server2 (uid, nm, encrypt, ip, gateway, subnetMask, portKM, portV, portWeb)"
      " values ('S', 'srv', 0, 16777343, 16777343, 16777215, 1, 2, 80);"
      "insert into other2 values (0, 2);"
      "insert into secureConf (f_pwd, f_firstLogin, f_language)"
      " values ('{\"pwdTry\":2}', 1, 'en');"
      "insert into priv2 values (1, 3, 'Admins', 0, '33');"
      "insert into user2 (id, nm, pw, pid, dog) values (1, 'admin', 'admin', 1, '33');"
      "insert into dogInfo2 (id, setted, uid, nm) values (1, 0, '1', '1');"
      "insert into dogInfo2 (id, setted, uid, nm) values (2, 0, '2', '2');"
      "insert into dog2 values (7, 'U1X', 'usb-7', 0, 1000, 30, 1, 0, 0, -1);");
  Json::Value login;
  login["type"] = "login";
  login["userNM"] = "admin";
  login["pw"] = "wrong";
  EXPECT_EQ(ajax(root, login)["retMsg"], "User Name or Password error: 1 times");
  EXPECT_EQ(root.scalar("select f_id is not null from userLock;"), "1");

  login["pw"] = "admin";
  Json::Value reply = ajax(root, login);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["firstLogin"], true);
  EXPECT_EQ(reply["curUser"]["token"].asString().size(), 32u);
  EXPECT_EQ(reply["curUser"]["interval"], "");  // a NULL cell
  ASSERT_EQ(reply["dogs"].size(), 1u);
  EXPECT_EQ(reply["dogs"][0]["dogInfoID"], "1");
  EXPECT_EQ(reply["dogs"][0]["group2"], "");

  Json::Value call;
  call["userID"] = "1";
  call["user"]["id"] = "1";
  call["user"]["token"] = reply["curUser"]["token"];
  call["type"] = "modifyServerIPS";
  call["serveripsPara"]["action"] = "insIP";
  call["serveripsPara"]["newIP"] = "192.168.1.10";
  reply = ajax(root, call);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["serverips"]["serverips"][0]["ip"], "192.168.1.10");
  EXPECT_EQ(root.scalar("select ip || '/' || spare from iplist;"), "167880896/0");

  call["type"] = "insUser";
  call["userPara"]["nm"] = "second";
  call["userPara"]["pw"] = "pw";
  call["userPara"]["pid"] = "1";
  call["userPara"]["dogDB"] = "3";
  call["userPara"]["prior"] = "0";
  reply = ajax(root, call);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(root.scalar("select id from user2 where nm='second';"), "2");
  EXPECT_EQ(root.scalar("select count(*) from log2 where id is not null;"), "1");

  call["type"] = "saveLanguage";
  call["language"] = "de";
  EXPECT_EQ(ajax(root, call)["ret"], "ok");
  call["type"] = "logout";
  EXPECT_EQ(ajax(root, call)["ret"], "ok");
  EXPECT_EQ(root.scalar("select status || f_language from user2, secureConf where id=1;"), "0de");
}

// Documents that are no call: an orderly error envelope and nothing changed.
TEST(Ajax, DocumentsThatAreNoCall) {
  TempRoot root;
  Json::Value ref = sessionRequest(root, "ref");
  std::string deep = std::string(5000, '[') + std::string(5000, ']');
  Json::Value badUser = ref;
  badUser["user"] = "1";
  Json::Value badType = ref;
  badType["type"] = Json::Value(Json::arrayValue);
  Json::Value badRights = sessionRequest(root, "updPriv");
  badRights["priv"] = Json::Value(Json::arrayValue);
  std::vector<std::string> docs = {"[1,2]", "5", "\"ref\"", "not json at all", deep,
                                   compact(badUser), compact(badType), compact(badRights)};
  for (const char* type : {"noSuchType", "", "updFoo", "UPDUSER"}) {
    Json::Value request = sessionRequest(root, type);
    request["userPara"]["memo"] = "changed";
    request["userPara"]["id"] = "1";
    docs.push_back(compact(request));
  }
  for (const std::string& doc : docs) {
    Json::Value reply = completeReply(postRaw(root, doc));
    EXPECT_EQ(reply["ret"], "err") << doc.substr(0, 40);
    EXPECT_NE(reply["retMsg"].asString(), "") << doc.substr(0, 40);
    EXPECT_EQ(reply.size(), 2u) << doc.substr(0, 40);
    bool typed = doc.find("userPara") != std::string::npos;
    EXPECT_EQ(reply["retMsg"] == "unknown request type", typed) << doc.substr(0, 40);
  }
  EXPECT_EQ(root.scalar("select memo from user2 where id=1;"), "built-in administrator");

  // A syntax error keeps the members read before it; the call goes on.
  std::string doc = compact(ref);
  doc.pop_back();
  Json::Value reply = completeReply(postRaw(root, doc + ",\"pad\": oops"));
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_EQ(reply["curUser"]["nm"], "admin");
}

TEST(Ajax, SaveLanguage) {
  TempRoot root;
  Json::Value request = sessionRequest(root, "saveLanguage");
  request["language"] = "zh-Hans_CN";
  Json::Value reply = ajax(root, request);
  EXPECT_EQ(reply["ret"], "ok") << reply["retMsg"];
  EXPECT_TRUE(reply.isMember("dogs"));
  EXPECT_EQ(root.scalar("select f_language from secureConf;"), "zh-Hans_CN");

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

}  // namespace
