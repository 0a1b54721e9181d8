// The AJAX dispatcher seen from the browser: recognition of a call, parsing,
// the IP access lists, the reply envelope and its failures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "calls.h"
#include "testroot.h"

namespace korvantest {
namespace {

// Posts `postKey` exactly as given (URL-encoded on the way).
CgiResult postRaw(const TempRoot& root, const std::string& postKey) {
  CgiRequest r = ajaxRequest(Json::Value());
  r.body = "postKey=" + urlEncode(postKey);
  return runCgi(root, r);
}

std::string compact(const Json::Value& v) {
  const std::string text = Json::FastWriter().write(v);
  return text.substr(0, text.size() - 1);  // without the writer's line feed
}

TEST(Ajax, PostKeyLengthDecidesTheRouteAndRawLineBreaksGo) {
  TempRoot root;
  const std::string ref = compact(sessionRequest(root, "ref"));
  // A string member pads the document to exactly `size` bytes.
  auto padded = [&](size_t size) {
    std::string text = ref.substr(0, ref.size() - 1) + ",\"pad\":\"\"}";
    return text.insert(text.size() - 2, std::string(size - text.size(), 'x'));
  };
  EXPECT_EQ(completeReply(postRaw(root, padded(29999)))["ret"], "ok");
  for (const std::string& shell : {padded(30000), std::string(), std::string("\r\n")}) {
    EXPECT_EQ(postRaw(root, shell).body().rfind(" <!DOCTYPE", 0), 0u) << shell.size();
  }
  // Raw CR LF inside a JSON string vanish; the escape \n stays a line feed.
  postRaw(root, "{\"type\":\"login\",\r\n\"userNM\":\"ab\r\ncd\",\"pw\":\"x\"}");
  postRaw(root, "{\"type\":\"login\",\"userNM\":\"ef\\ngh\",\"pw\":\"x\"}");
  EXPECT_EQ(root.scalar("select group_concat(f_userName, '|') from userLock"), "abcd|ef\ngh");
}

TEST(Ajax, IpAccessLists) {
  TempRoot root;
  const Json::Value ref = sessionRequest(root, "ref");
  struct Case {
    const char *kind, *list, *from;
    bool admitted;
  } cases[] = {
      {"1", "", "127.0.0.1", false},  // an empty white list refuses everyone
      {"1", "10.1.1.1", "10.1.1.1", true},
      {"1", "10.1.1.1", "10.1.1.11", false},  // exact match only
      {"0", "10.1.1.1", "10.1.1.1", false},
      {"0", "10.1.1.1", "10.1.1.2", true},
      {"0", "", "10.1.1.1", true},  // an empty black list admits everyone
      {"7", "10.1.1.1", "10.1.1.1", true},
  };
  for (const Case& c : cases) {
    root.exec(std::string("update other2 set ipsType=") + c.kind + "; delete from ips2;" +
              (*c.list ? "insert into ips2 values ('" + std::string(c.list) + "')" : ""));
    const Json::Value reply = ajax(root, ref, {}, c.from);
    EXPECT_EQ(reply["ret"] == "ok", c.admitted) << c.kind << " " << c.list << " " << c.from;
  }
  // The check comes before the session check, and for login too.
  const Json::Value login = loginRequest("operator", "operator");
  root.exec("update other2 set ipsType=0; insert into ips2 values ('10.1.1.1');");
  for (const Json::Value& request : {Json::Value(Json::objectValue), login})
    EXPECT_EQ(ajax(root, request, {}, "10.1.1.1")["retMsg"],
              "ip black list error(your ip is in the list)");
  EXPECT_EQ(root.scalar("select status from user2 where id=2;"), "0");
}

// Rebuilds every table from its columns and declared types alone: no
// defaults, no unique names, no keys besides the ids the database assigns,
// and another name for the second column of iplist.
void bareTables(const TempRoot& root) {
  for (const auto& table : root.query("select name from sqlite_master where type='table'")) {
    const std::string& t = table[0];
    const bool keyed = t == "user2" || t == "userLock" || t == "log2";
    std::string columns;
    for (const auto& c : root.query("select name, type, pk from pragma_table_info('" + t + "')")) {
      columns += (columns.empty() ? "" : ", ") + c[0] + " " + c[1];
      if (keyed && c[2] == "1") columns += " primary key";
    }
    root.exec("drop table " + t + "; create table " + t + " (" + columns + ");");
  }
  root.exec(
      "alter table iplist rename column reserved to spare;"
      "insert into server2 (uid, nm, encrypt, ip, gateway, subnetMask, portKM, portV, portWeb)"
      " values ('S', 'srv', 0, 16777343, 16777343, 16777215, 1, 2, 80);"
      "insert into other2 values (0, 2);"
      "insert into secureConf (f_pwd, f_firstLogin, f_language)"
      " values ('{\"pwdTry\":2}', 1, 'en');"
      "insert into priv2 values (1, 3, 'Admins', 0, '33');"
      "insert into user2 (id, nm, pw, pid, dog) values (1, 'admin', 'admin', 1, '33');"
      "insert into dogInfo2 (id, setted, uid, nm) values (1, 0, '1', '1'), (2, 0, '2', '2');"
      "insert into dog2 (id, uid, nm, sm, code, frame, status, usrstatus, type2, serialUserID)"
      " values (7, 'U1X', 'usb-7', 0, 1000, 30, 1, 0, 0, -1);");
}

TEST(Ajax, NeedsOnlyTheTablesAndColumns) {
  TempRoot root(false);
  bareTables(root);
  Json::Value call = loginRequest("admin", "wrong");
  EXPECT_EQ(ajax(root, call)["retMsg"], "User Name or Password error: 1 times");
  call["pw"] = "admin";
  Json::Value reply = ajax(root, call);
  ASSERT_EQ(reply["ret"], "ok") << reply["retMsg"];
  // A NULL cell goes out as an empty text.
  EXPECT_EQ(compact(reply["firstLogin"]) + compact(reply["curUser"]["interval"]) +
                compact(reply["dogs"][0]["dogInfoID"]) + compact(reply["dogs"][0]["group2"]),
            R"(true"""1""")");

  // The first-login gate has tests of its own.
  root.exec("update secureConf set f_firstLogin=0;");
  call = sessionOf(reply, "");
  const char* const steps[] = {
      R"({"type":"modifyServerIPS","serveripsPara":{"action":"insIP","newIP":"192.168.1.10"}})",
      (R"({"type":"insUser","userPara":{"nm":"second","pw":"pw-second","pid":"1","dogDB":"3",)"
       R"("prior":"0"}})"),
      R"({"type":"saveLanguage","language":"de"})",
      R"({"type":"logout"})",
  };
  for (const char* step : steps) {
    call = withMembers(call, step);
    reply = ajax(root, call);
    EXPECT_EQ(reply["ret"], "ok") << step << reply["retMsg"];
  }
  EXPECT_EQ(root.scalar("select (select ip||'/'||spare from iplist) || (select id from user2 where"
                        " nm='second') || (select count(id) from log2) || (select count(f_id) from"
                        " userLock) || status || f_language from user2, secureConf where id=1;"),
            "167880896/02610de");
}

// Documents that are no call: an orderly error envelope and nothing changed.
TEST(Ajax, DocumentsThatAreNoCall) {
  TempRoot root;
  const Json::Value ref = sessionRequest(root, "ref");
  Json::Value badUser = ref, badType = ref, badRights = sessionRequest(root, "updPriv");
  badUser["user"] = "1";
  badType["type"] = Json::Value(Json::arrayValue);
  badRights["priv"] = Json::Value(Json::arrayValue);
  std::vector<std::string> docs = {
      "[1,2]",           "5", "\"ref\"", "not json at all", compact(badUser), compact(badType),
      compact(badRights)};
  docs.push_back(std::string(5000, '[') + std::string(5000, ']'));
  for (const char* type : {"noSuchType", "", "updFoo", "UPDUSER"}) {
    Json::Value request = sessionRequest(root, type);
    request["userPara"]["memo"] = "changed";
    request["userPara"]["id"] = "1";
    docs.push_back(compact(request));
  }
  for (const std::string& doc : docs) {
    const Json::Value reply = completeReply(postRaw(root, doc));
    const bool typed = doc.find("userPara") != std::string::npos;
    const std::string msg = reply["retMsg"].asString();
    EXPECT_EQ(compact(reply), R"({"ret":"err","retMsg":)" + compact(msg) + "}");
    EXPECT_EQ(msg == "unknown request type" ? 1 : msg.empty() ? 2 : 0, typed) << doc.substr(0, 40);
  }
  EXPECT_EQ(root.scalar("select memo from user2 where id=1;"), "built-in administrator");

  // A syntax error keeps the members read before it; the call goes on.
  const std::string doc = compact(ref);
  const Json::Value reply = completeReply(postRaw(root, doc.substr(0, doc.size() - 1) + ",x"));
  EXPECT_EQ(reply["curUser"]["nm"], "admin") << reply["retMsg"];
}

// Members of the wrong shape are refused by name before anything is read or
// written: text where text is read, objects where objects are.
TEST(Ajax, MemberShapes) {
  TempRoot root;
  const std::string logs = root.scalar("select count(*) from log2");
  Json::Value login;
  Json::Reader().parse(R"({"type":"login","userNM":"admin","pw":["admin"]})", login);
  Json::Value ref = sessionRequest(root, "ref"), user = ref,
              users = sessionRequest(root, "updUser");
  ref["timezone"] = Json::Value(Json::arrayValue);
  user["user"] = "1";
  users["userPara"]["id"] = "1";
  Json::Value nestedArray = users, nestedObject = users, notObject = users;
  nestedArray["userPara"]["memo"].append("x");
  nestedObject["userPara"]["memo"]["a"] = "x";
  notObject["userPara"] = "x";
  const std::pair<Json::Value, const char*> cases[] = {
      {login, "pw is not text"},
      {ref, "timezone is not text"},
      {user, "user is not an object"},
      {nestedArray, "userPara.memo is not text"},
      {nestedObject, "userPara.memo is not text"},
      {notObject, "userPara is not an object"},
  };
  for (const auto& [request, message] : cases) {
    const Json::Value reply = completeReply(postRaw(root, compact(request)));
    EXPECT_EQ(reply["ret"].asString() + " " + reply["retMsg"].asString(),
              std::string("err invalid request: ") + message);
  }
  EXPECT_EQ(root.scalar("select count(*) from log2"), logs);
}

// The install tree's database: the factory configuration, private to its
// owner, in which the administrator logs in with the known password and is
// held at the first-login gate (what the gate lets through: the access tests).
TEST(Ajax, FactoryDatabaseAsInstalled) {
  TempRoot root;
  std::remove(root.dbPath().c_str());
  const std::string install =
      "cmake -DKORVAN_SOURCE_DIR='" KORVAN_SOURCE_DIR "' -DCMAKE_INSTALL_PREFIX='" + root.dir() +
      "' -P '" KORVAN_SOURCE_DIR "/cmake/install-db.cmake' >/dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  struct stat st {};
  ASSERT_EQ(stat(root.dbPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(root.scalar("select group_concat(nm) || '|' || (select count(*) from dog2) || '|' ||"
                        " (select f_firstLogin from secureConf) || '|' ||"
                        " (select group_concat(level) from priv2) from user2"),
            "admin|0|1|3");
  const Json::Value reply = ajax(root, loginRequest("admin", "admin"));
  EXPECT_EQ(reply["ret"].asString() + compact(reply["firstLogin"]), "oktrue") << reply["retMsg"];
}

TEST(Ajax, SaveLanguage) {
  TempRoot root;
  Json::Value request = sessionRequest(root, "saveLanguage");
  const std::pair<const char*, const char*> cases[] = {{"zh-Hans_CN", "ok"},
                                                       {"en'; drop table user2; --", "warning"},
                                                       {"abcdefghijklmnopq", "warning"},
                                                       {"de fr", "warning"},
                                                       {"\xc3\xa9", "warning"},
                                                       {"", "ok"}};
  std::string stored = "en";
  for (const auto& [language, ret] : cases) {
    request["language"] = language;
    const Json::Value reply = ajax(root, request);
    EXPECT_EQ(reply["ret"].asString() + (reply.isMember("dogs") ? "" : reply["retMsg"].asString()),
              *ret == 'o' ? "ok" : "warninginvalid language")
        << language;
    if (*ret == 'o') stored = language;
    EXPECT_EQ(root.scalar("select f_language from secureConf;"), stored) << language;
  }
}

}  // namespace
}  // namespace korvantest
