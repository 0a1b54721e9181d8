// Directory login against real servers: OpenLDAP and FreeRADIUS, started
// once for this program by tests/directory/servers on free loopback ports.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "calls.h"
#include "testroot.h"

using namespace korvantest;

namespace {

std::string gDir;
std::string gLdap, gLdaps, gRadius;
// A loopback port where nothing listens.
const std::string kDead = "127.0.0.1:9";

std::string script() { return std::string(KORVAN_SOURCE_DIR) + "/tests/directory/servers"; }

class Servers : public ::testing::Environment {
 public:
  void SetUp() override {
    gDir = std::string("/tmp/korvan-dir-") + std::to_string(getpid());
    ASSERT_EQ(std::system((script() + " start " + gDir + " >/dev/null").c_str()), 0);
    std::istringstream ports(readFile(gDir + "/ports"));
    ports >> gLdap >> gLdaps >> gRadius;
    ASSERT_FALSE(gRadius.empty());
  }
  void TearDown() override {
    std::system((script() + " stop " + gDir).c_str());
    std::system(("rm -rf " + gDir).c_str());
  }
};
const auto* const kServers = ::testing::AddGlobalTestEnvironment(new Servers);

// Changes an entry of the test directory as its administrator.
void ldapModify(const std::string& ldif) {
  const std::string file = gDir + "/change.ldif";
  writeFile(file, ldif);
  ASSERT_EQ(std::system(("ldapmodify -x -H ldap://127.0.0.1:" + gLdap +
                         " -D cn=admin,dc=example,dc=org -w admin-secret -f " + file + " >/dev/null")
                            .c_str()),
            0);
}

Json::Value login(const TempRoot& root, const std::string& name, const std::string& pw) {
  return ajax(root, loginRequest(name, pw));
}

std::string outcome(const Json::Value& reply) {
  return reply["ret"].asString() == "ok" ? "ok level " + reply["curUser"]["level"].asString()
                                         : reply["retMsg"].asString();
}

// The LDAP settings of the tests: StartTLS to the test server, its CA, the
// service account, groups from memberOf; kvm-admins -> Administrators (1),
// kvm-operators -> Operators (2).
Json::Value ldapSettings(const std::string& order = "directoryFirst") {
  Json::Value p;
  p["order"] = order;
  p["kind"] = "ldap";
  p["uri1"] = "ldap://127.0.0.1:" + gLdap;
  p["uri2"] = "";
  p["tlsVerify"] = "1";
  p["caPem"] = readFile(gDir + "/ca.pem");
  p["bindDn"] = "cn=reader,dc=example,dc=org";
  p["bindPw"] = "reader-secret";
  p["baseDn"] = "ou=people,dc=example,dc=org";
  p["filter"] = "(uid=%s)";
  p["groupSource"] = "memberOf";
  p["timeout"] = "1";
  p["map"] = "1:kvm-admins\n2:cn=kvm-operators,ou=groups,dc=example,dc=org\n";
  return p;
}

Json::Value radiusSettings(const std::string& order = "directoryFirst") {
  Json::Value p;
  p["order"] = order;
  p["kind"] = "radius";
  p["radius1"] = "127.0.0.1:" + gRadius;
  p["radius2"] = "";
  p["radiusSecret"] = "radius-secret";
  p["radiusRetries"] = "0";
  p["groupAttr"] = "Filter-Id";
  p["timeout"] = "1";
  p["map"] = "1:kvm-admins\n2:kvm-operators\n";
  return p;
}

Json::Value configure(const TempRoot& root, const Json::Value& settings) {
  Json::Value request = sessionRequest(root, "updDirectory");
  request["dirPara"] = settings;
  return ajax(root, request);
}

std::string lastRecord(const TempRoot& root) {
  return root.scalar("select typeSub||' '||sth from log2 order by id desc limit 1;");
}

class DirectoryLogin : public ::testing::Test {
 protected:
  TempRoot root;
};

TEST_F(DirectoryLogin, LdapOutcomesOverStartTlsAndLdaps) {
  for (const std::string& uri : {"ldap://127.0.0.1:" + gLdap, "ldaps://127.0.0.1:" + gLdaps}) {
    TempRoot root;
    Json::Value settings = ldapSettings();
    settings["uri1"] = uri;
    ASSERT_EQ(configure(root, settings)["ret"], "ok") << uri;
    const std::string longName(300, 'a');
    struct Case {
      std::string name, pw, expect;
    } cases[] = {
        {"alice", "alice-pw", "ok level 3"},
        {"bob", "bob-pw", "ok level 2"},
        {"carol", "carol-pw", "no access group"},
        {"alice", "wrong", "User Name or Password error: 1 times"},
        {"nobody", "x", "User Name or Password error: 1 times"},
        {"alice", "", "User Name or Password error: 2 times"},
        // The typed name is one assertion value: wildcards and filter
        // syntax match nothing.
        {"*", "alice-pw", "User Name or Password error: 1 times"},
        {"alice)(uid=*", "alice-pw", "User Name or Password error: 1 times"},
        {std::string("alice\0x", 7), "alice-pw", "Invalid user name"},
        {"a*", "alice-pw", "User Name or Password error: 1 times"},
        {longName, "alice-pw", "User Name too long"},
        {std::string(33, 'b'), "x", "User Name too long"},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(outcome(login(root, c.name, c.pw)), c.expect) << uri << " " << c.name.substr(0, 20);
    }
    // A directory account: no local password, keyed by the directory's id.
    EXPECT_EQ(root.scalar("select count(*) from user2 where nm='alice' and pw is null;"), "1");
    EXPECT_EQ(root.scalar("select src||(length(srcId)=36) from dirUser2 where nm='alice';"), "ldap1");
    EXPECT_EQ(root.scalar("select count(*) from user2 where nm='carol';"), "0");
    EXPECT_NE(root.scalar("select group_concat(sth) from log2 where typeSub='login';").find(uri),
              std::string::npos);
    EXPECT_NE(root.scalar("select group_concat(sth) from log2 where typeSub='loginFailed';")
                  .find("no access group"),
              std::string::npos);
  }
}

// The shared objects one login loads, by the dynamic loader's own account.
std::string loadedBy(const TempRoot& root, const std::string& name, const std::string& pw,
                     std::string& reply) {
  const std::string trace = root.dir() + "/loader";
  for (const auto& file : std::filesystem::directory_iterator(root.dir())) {
    if (file.path().filename().string().rfind("loader.", 0) == 0) std::filesystem::remove(file.path());
  }
  reply = outcome(ajax(root, loginRequest(name, pw), {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", trace}}));
  std::string loaded;
  for (const auto& file : std::filesystem::directory_iterator(root.dir())) {
    if (file.path().filename().string().rfind("loader.", 0) == 0) loaded += readFile(file.path());
  }
  return loaded;
}

// A login loads only what it uses: an LDAP login no SASL mechanism plugin
// (and none of the libraries they pull in), since it binds simply; a local
// account that is tried first neither the LDAP library nor the crypto
// library that opens the stored secrets.
TEST_F(DirectoryLogin, ALoginLoadsOnlyWhatItUses) {
  const struct {
    const char* order;
    const char* name;
    const char* pw;
    const char* reply;
    std::vector<std::string> loaded, notLoaded;
  } cases[] = {
      {"directoryFirst", "alice", "alice-pw", "ok level 3", {"libldap", "libcrypto"}, {"/sasl2/"}},
      {"localFirst", "operator", "operator", "ok level 2", {"libsqlite3"}, {"libldap", "libcrypto"}},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(configure(root, ldapSettings(c.order))["ret"], "ok");
    std::string reply;
    const std::string loaded = loadedBy(root, c.name, c.pw, reply);
    EXPECT_EQ(reply, c.reply) << c.name;
    for (const std::string& lib : c.loaded) EXPECT_NE(loaded.find(lib), std::string::npos) << c.name << " " << lib;
    for (const std::string& lib : c.notLoaded) EXPECT_EQ(loaded.find(lib), std::string::npos) << c.name << " " << lib;
  }
}

TEST_F(DirectoryLogin, GroupChangeTakesEffectAtTheNextLogin) {
  ASSERT_EQ(configure(root, ldapSettings())["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "dave", "dave-pw")), "ok level 2");
  ldapModify("dn: cn=kvm-admins,ou=groups,dc=example,dc=org\nchangetype: modify\nadd: member\n"
             "member: uid=dave,ou=people,dc=example,dc=org\n");
  EXPECT_EQ(outcome(login(root, "dave", "dave-pw")), "ok level 3");
  ldapModify("dn: cn=kvm-admins,ou=groups,dc=example,dc=org\nchangetype: modify\ndelete: member\n"
             "member: uid=dave,ou=people,dc=example,dc=org\n");
  EXPECT_EQ(outcome(login(root, "dave", "dave-pw")), "ok level 2");
  EXPECT_EQ(root.scalar("select count(*) from user2 where nm='dave';"), "1");
}

TEST_F(DirectoryLogin, GroupSearchesAndRenamedEntry) {
  Json::Value settings = ldapSettings();
  settings["groupSource"] = "member";
  settings["groupBase"] = "ou=groups,dc=example,dc=org";
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "bob", "bob-pw")), "ok level 2");
  settings["groupSource"] = "memberUid";
  settings["map"] = "1:posix-admins\n";
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
  EXPECT_EQ(outcome(login(root, "bob", "bob-pw")), "no access group");
}

TEST_F(DirectoryLogin, ServersDownAndEachOrder) {
  // The first server down: the second answers, and the record names it.
  Json::Value settings = ldapSettings();
  settings["uri1"] = "ldap://" + kDead;
  settings["uri2"] = "ldap://127.0.0.1:" + gLdap;
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
  EXPECT_NE(lastRecord(root).find("ldap://127.0.0.1:" + gLdap), std::string::npos);

  // Both down: a local account logs in under every order; a directory name
  // is refused without being counted.
  settings["uri2"] = "ldaps://" + kDead;
  for (const char* order : {"localFirst", "directoryFirst", "directoryOnly"}) {
    settings["order"] = order;
    ASSERT_EQ(configure(root, settings)["ret"], "ok");
    EXPECT_EQ(outcome(login(root, "operator", "operator")), "ok level 2") << order;
    EXPECT_EQ(outcome(login(root, "admin", "admin")), "ok level 3") << order;
    EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "The directory server cannot be reached") << order;
  }
  EXPECT_EQ(root.scalar("select count(*) from userLock where f_userName='alice' and f_wrongTimes>0;"), "0");
  EXPECT_NE(root.scalar("select group_concat(sth) from log2 where typeSub='loginFailed';").find("unreachable"),
            std::string::npos);

  // With the directory up, directoryOnly leaves local accounts out, but
  // never the built-in administrator.
  settings["uri1"] = "ldap://127.0.0.1:" + gLdap;
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "operator", "operator")), "User Name or Password error: 1 times");
  EXPECT_EQ(outcome(login(root, "admin", "admin")), "ok level 3");
}

TEST_F(DirectoryLogin, WrongCaAndUnsafeVerification) {
  Json::Value settings = ldapSettings();
  settings["caPem"] = readFile(gDir + "/other-ca.pem");
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "The directory server cannot be reached");
  EXPECT_NE(root.scalar("select group_concat(sth) from log2 where typeSub='loginFailed';").find("TLS refused"),
            std::string::npos);
  settings["tlsVerify"] = "0";
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
}

TEST_F(DirectoryLogin, LockOutCountsTheFoldedName) {
  Json::Value settings = ldapSettings();
  settings["caseFold"] = "1";
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "Alice", "x")), "User Name or Password error: 1 times");
  EXPECT_EQ(outcome(login(root, "ALICE", "x")), "User Name or Password error: 2 times");
  EXPECT_EQ(outcome(login(root, "alice", "x")), "User Name or Password error: 3 times");
  EXPECT_EQ(outcome(login(root, "aLiCe", "alice-pw")),
            "Exceed max retry count. Please login after 20 minutes");
  root.exec("delete from userLock;");
  EXPECT_EQ(outcome(login(root, "ALICE", "alice-pw")), "ok level 3");
  EXPECT_EQ(root.scalar("select nm from user2 where pw is null;"), "alice");
}

TEST_F(DirectoryLogin, NeverTakesOverALocalAccount) {
  root.exec("insert into user2 (id,nm,pw,pid,dog) values (7,'dave','local-pw',3,'11110000');");
  ASSERT_EQ(configure(root, ldapSettings("directoryFirst"))["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "dave", "dave-pw")), "This name belongs to a local account");
  // The directory knows dave: the local password is no way in.
  EXPECT_EQ(outcome(login(root, "dave", "local-pw")), "User Name or Password error: 2 times");
  ASSERT_EQ(configure(root, ldapSettings("localFirst"))["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "dave", "local-pw")), "ok level 1");
  EXPECT_EQ(root.scalar("select count(*) from dirUser2;"), "0");
}

TEST_F(DirectoryLogin, UnusedAccountsAreRemoved) {
  ASSERT_EQ(configure(root, ldapSettings())["ret"], "ok");
  ASSERT_EQ(outcome(login(root, "bob", "bob-pw")), "ok level 2");
  root.exec("update user2 set loginTime='2001-01-01 00:00:00',createTime='2001-01-01 00:00:00' where nm='bob';");
  ASSERT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
  EXPECT_EQ(root.scalar("select count(*) from user2 where nm='bob';"), "0");
  EXPECT_EQ(root.scalar("select count(*) from dirUser2 where nm='bob';"), "0");
  EXPECT_NE(root.scalar("select sth from log2 where typeSub='dirUserRemoved';").find("bob"), std::string::npos);
}

TEST_F(DirectoryLogin, TheDirectoryKeepsPasswordNameAndGroup) {
  ASSERT_EQ(configure(root, ldapSettings())["ret"], "ok");
  ASSERT_EQ(outcome(login(root, "bob", "bob-pw")), "ok level 2");
  const std::string id = root.scalar("select id from user2 where nm='bob';");
  const struct {
    const char* member;
    const char* value;
    const char* setPW;
    const char* reply;
  } cases[] = {
      {"memo", "on call", "yes", "The directory keeps this account's password, name and group"},
      {"pid", "1", "no", "The directory keeps this account's password, name and group"},
      {"nm", "bobby", "no", "The directory keeps this account's password, name and group"},
      {"memo", "on call", "no", ""},
  };
  for (const auto& c : cases) {
    Json::Value request = sessionRequest(root, "updUser");
    userRow(request, root, id);
    request["userPara"][c.member] = c.value;
    request["userPara"]["setPW"] = c.setPW;
    EXPECT_EQ(ajax(root, request)["retMsg"].asString(), c.reply) << c.member;
  }
  EXPECT_EQ(root.scalar("select nm||pid||ifnull(pw,'-')||memo from user2 where id=" + id), "bob2-on call");
}

TEST_F(DirectoryLogin, Radius) {
  ASSERT_EQ(configure(root, radiusSettings())["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
  EXPECT_EQ(outcome(login(root, "bob", "bob-pw")), "ok level 2");
  EXPECT_EQ(outcome(login(root, "carol", "carol-pw")), "no access group");
  EXPECT_EQ(outcome(login(root, "bob", "wrong")), "User Name or Password error: 1 times");
  EXPECT_EQ(root.scalar("select src||srcId from dirUser2 where nm='alice';"), "radiusalice");
  // The group from Class instead; the first server down.
  Json::Value settings = radiusSettings();
  settings["groupAttr"] = "Class";
  settings["map"] = "2:admins-class\n";
  settings["radius1"] = kDead;
  settings["radius2"] = "127.0.0.1:" + gRadius;
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 2");
  // A wrong shared secret: the server drops the request, which reads as down.
  settings["radiusSecret"] = "not-the-secret";
  settings["radius1"] = "127.0.0.1:" + gRadius;
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "The directory server cannot be reached");
}

TEST_F(DirectoryLogin, SettingsAreCheckedWholeAndSecretsWriteOnly) {
  ASSERT_EQ(configure(root, ldapSettings())["ret"], "ok");
  const auto before = root.query("select * from directory2 join dirMap2;");
  struct Case {
    const char* member;
    const char* value;
    const char* refusal;
  } cases[] = {
      {"uri1", "http://x", "dirPara.uri1: must start with ldap:// or ldaps://"},
      {"uri2", "ldap://host:0", "dirPara.uri2: the port must be 1 to 65535"},
      {"baseDn", "people", "dirPara.baseDn: is not a DN (attribute=value,...)"},
      {"timeout", "11", "dirPara.timeout: must be 1 to 10"},
      {"filter", "(uid=alice)", "dirPara.filter: must contain %s where the name goes"},
      {"map", "9:kvm-admins", "dirPara.map: line 1 does not start with the id of a device group and ':'"},
      {"order", "sometimes", "dirPara.order: must be off, localFirst, directoryFirst or directoryOnly"},
      {"caPem", "not a certificate", "dirPara.caPem: must hold PEM certificates (-----BEGIN CERTIFICATE-----)"},
  };
  for (const Case& c : cases) {
    Json::Value settings = ldapSettings();
    settings[c.member] = c.value;
    EXPECT_EQ(configure(root, settings)["retMsg"], c.refusal);
  }
  EXPECT_EQ(root.query("select * from directory2 join dirMap2;"), before);

  const Json::Value shown = ajax(root, sessionRequest(root, "selDirectory"))["directory"];
  EXPECT_EQ(shown["bindPw"], "set");
  EXPECT_EQ(shown["radiusSecret"], "not set");
  EXPECT_EQ(dumpTables(root).find("reader-secret"), std::string::npos);
  // A change that leaves the secret out keeps it.
  Json::Value settings = ldapSettings();
  settings.removeMember("bindPw");
  settings["timeout"] = "2";
  ASSERT_EQ(configure(root, settings)["ret"], "ok");
  EXPECT_EQ(outcome(login(root, "alice", "alice-pw")), "ok level 3");
}

TEST_F(DirectoryLogin, TestReportsEachStepAndLogsNobodyIn) {
  Json::Value request = sessionRequest(root, "testDirectory");
  request["dirPara"] = ldapSettings();
  request["userNM"] = "alice";
  request["pw"] = "alice-pw";
  const Json::Value reply = ajax(root, request);
  std::string steps;
  for (const Json::Value& s : reply["steps"]) steps += s["step"].asString() + s["ok"].asString() + " ";
  EXPECT_EQ(steps, "connect1 TLS1 bind1 search1 groups1 password1 device group1 ");
  EXPECT_EQ(reply["steps"][6]["detail"], "Administrators");
  EXPECT_EQ(root.scalar("select count(*) from user2 where nm='alice';"), "0");
  EXPECT_EQ(root.scalar("select count(*) from directory2;"), "0");
}

}  // namespace
