// The IP access list ("modifyIPS") and the server IP list ("modifyServerIPS"):
// the edits, the requester's self-protection, the log record, and refusals
// that change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "testroot.h"

namespace korvantest {
namespace {

const char* const kMe = "10.0.0.5";

class IpLists : public ::testing::Test {
 protected:
  Json::Value modify(const char* type, const char* para, const char* action, const char* newIP,
                     const char* oldIP = "", const char* kind = "") {
    Json::Value request = sessionRequest(root_, type);
    Json::Value& p = request[para];
    p["action"] = action;
    p["newIP"] = newIP;
    p["oldIP"] = oldIP;
    if (*kind) p["type"] = kind;
    return ajax(root_, request, {}, kMe);
  }
  // "<kind>:<address>,..." in stored order.
  std::string accessState() {
    std::string out = root_.scalar("select ipsType from other2") + ":";
    for (const auto& row : root_.query("select ip from ips2 order by rowid")) out += row[0] + ",";
    return out;
  }
  std::string serverState() {
    std::string out;
    for (const auto& row : root_.query("select ip||'/'||reserved from iplist order by rowid"))
      out += row[0] + ",";
    return out;
  }
  std::string logCount() { return root_.scalar("select count(*) from log2"); }

  TempRoot root_;
};

TEST_F(IpLists, AccessListEdits) {
  struct Step {
    const char* store;  // "<kind>:<address>,..." to store first, or nullptr
    const char *action, *newIP, *oldIP, *kind, *ret, *after;
    const char* detail = nullptr;  // the log record's detail, when checked
  };
  const Step steps[] = {
      // A white list always holds the requester: switching to it adds it.
      {"2:", "updType", "", "", "1", "ok", "1:10.0.0.5,",
       "[{\"nm\":\"type\",\"v1\":\"--\",\"v2\":\"whitelist\"},"
       "{\"nm\":\"list\",\"v1\":\"\",\"v2\":\"10.0.0.5 <br> \"}]\n"},
      {"2:", "updType", "", "", "1.0", "ok", "1:10.0.0.5,"},
      {"1:10.0.0.5,10.0.0.6,10.0.0.7", "delIP", "", kMe, "", "ok",
       "1:10.0.0.6,10.0.0.7,10.0.0.5,",
       "[{\"nm\":\"type\",\"v1\":\"whitelist\",\"v2\":\"whitelist\"},"
       "{\"nm\":\"list\",\"v1\":\"10.0.0.5 <br> 10.0.0.6 <br> 10.0.0.7 <br> \","
       "\"v2\":\"10.0.0.6 <br> 10.0.0.7 <br> 10.0.0.5 <br> \"}]\n"},
      // A black list never holds it.
      {"0:10.9.9.9", "insIP", kMe, "", "", "ok", "0:10.9.9.9,"},
      {"1:10.0.0.5,10.0.0.6", "updType", "", "", "0", "ok", "0:10.0.0.6,"},
      // Any other kind is no list: the requester is neither added nor removed.
      {"1:10.0.0.5,10.0.0.6", "updType", "", "", "2", "ok", "2:10.0.0.5,10.0.0.6,",
       "[{\"nm\":\"type\",\"v1\":\"whitelist\",\"v2\":\"--\"},"
       "{\"nm\":\"list\",\"v1\":\"10.0.0.5 <br> 10.0.0.6 <br> \","
       "\"v2\":\"10.0.0.5 <br> 10.0.0.6 <br> \"}]\n"},
      {nullptr, "delIP", "", kMe, "", "ok", "2:10.0.0.6,"},
      // Plain edits; an address already there, an unknown old address and an
      // unknown action change nothing or append, and are logged all the same.
      {"0:10.9.9.9", "insIP", "10.9.9.9", "", "", "ok", "0:10.9.9.9,",
       "[{\"nm\":\"type\",\"v1\":\"blacklist\",\"v2\":\"blacklist\"},"
       "{\"nm\":\"list\",\"v1\":\"10.9.9.9 <br> \",\"v2\":\"10.9.9.9 <br> \"}]\n"},
      {nullptr, "updIP", "10.1.1.1", "10.2.2.2", "", "ok", "0:10.9.9.9,10.1.1.1,"},
      {nullptr, "updIP", "10.3.3.3", "10.9.9.9", "", "ok", "0:10.1.1.1,10.3.3.3,"},
      {nullptr, "delIP", "", "10.1.1.1", "", "ok", "0:10.3.3.3,"},
      {nullptr, "frobnicate", "", "", "", "ok", "0:10.3.3.3,"},
      // The kind goes into the statement bare: only a number passes.
      {"1:10.0.0.5", "updType", "", "", "0 where 1=0", "err", "1:10.0.0.5,"},
  };
  for (const Step& s : steps) {
    if (s.store) {
      std::string list = s.store;
      root_.exec("delete from ips2; update other2 set ipsType=" + list.substr(0, 1));
      for (size_t at = 2, end; at < list.size(); at = end + 1) {
        end = std::min(list.find(',', at), list.size());
        root_.exec("insert into ips2 values('" + list.substr(at, end - at) + "')");
      }
    }
    const std::string logs = logCount();
    const Json::Value reply = modify("modifyIPS", "ipsPara", s.action, s.newIP, s.oldIP, s.kind);
    const std::string what = std::string(s.action) + " " + s.newIP + s.oldIP + s.kind;
    EXPECT_EQ(reply["ret"], s.ret) << what << reply["retMsg"];
    EXPECT_EQ(accessState(), s.after) << what;
    EXPECT_EQ(std::stoi(logCount()) - std::stoi(logs), *s.ret == 'o' ? 1 : 0) << what;
    if (s.detail) {
      EXPECT_EQ(root_.scalar("select sth from log2 order by id desc limit 1"), s.detail) << what;
    }
  }
  EXPECT_EQ(root_.query("select user,ip,type,typeSub,typeSubCN from log2 limit 1")[0],
            (std::vector<std::string>{"admin", kMe, "ips", "updIPS", "update ip list"}));

  // Writing the requester's row fails after the old rows are gone: the whole
  // rewrite is undone, or the white list would lock everybody out.
  root_.exec("delete from log2; delete from ips2; insert into ips2 values('10.0.0.5');"
             "update other2 set ipsType=1; create trigger refuse before insert on ips2"
             " when new.ip='10.0.0.5' begin select raise(abort, 'refused'); end;");
  EXPECT_EQ(modify("modifyIPS", "ipsPara", "insIP", "10.0.0.7")["ret"], "err");
  EXPECT_EQ(accessState(), "1:10.0.0.5,");
  EXPECT_EQ(logCount(), "0");
}

TEST_F(IpLists, ServerListInIntegerFormWithoutLog) {
  root_.exec("update other2 set ipsType=0; insert into iplist values(16777343,0);");
  for (const char* bad : {"", "10.0.0", "10.0.0.256", "10.0.0.1.2", "010.0.0.1", "10.0.0.1 "}) {
    for (const char* action : {"insIP", "updIP"}) {
      for (const char* type : {"modifyIPS", "modifyServerIPS"}) {
        const char* para = std::string(type) == "modifyIPS" ? "ipsPara" : "serveripsPara";
        const Json::Value reply = modify(type, para, action, bad, "127.0.0.1");
        EXPECT_EQ(reply["retMsg"], "invalid ip address") << type << action << " '" << bad << "'";
      }
    }
  }
  EXPECT_EQ(accessState(), "0:");
  struct Step {
    const char *action, *newIP, *oldIP, *after;
  } steps[] = {
      {"insIP", "192.168.1.10", "", "16777343/0,167880896/0,"},
      {"insIP", "192.168.1.10", "", "16777343/0,167880896/0,"},
      {"updIP", "10.0.0.1", "127.0.0.1", "167880896/0,16777226/0,"},
      {"delIP", "", "192.168.1.10", "16777226/0,"},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(modify("modifyServerIPS", "serveripsPara", s.action, s.newIP, s.oldIP)["ret"], "ok");
    EXPECT_EQ(serverState(), s.after) << s.action << s.newIP;
  }
  // The requester's address plays no part and nothing is logged.
  EXPECT_EQ(accessState(), "0:");
  EXPECT_EQ(logCount(), "0");
}

}  // namespace
}  // namespace korvantest
