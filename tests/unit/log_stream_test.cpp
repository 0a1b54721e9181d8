// The operation log streamed as it is read equals, byte for byte, the compact
// writer's text of the whole document.
#include "cgi/reply_stream.h"
#include "ops/sellog.h"
#include "store/db.h"
#include "testroot.h"

namespace {

class LogStream : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("KORVAN_ROOT", root_.dir().c_str(), 1);
    CDB::cnn();
  }
  void TearDown() override {
    sqlite3_close(CDB::dbCnn);
    CDB::dbCnn = nullptr;
    unsetenv("KORVAN_ROOT");
  }

  static Caller admin() {
    Caller caller;
    caller.level = 3;
    return caller;
  }

  // The reply around the log as the dispatcher sends it: members before and
  // after "log", texts that need escaping among them.
  static Json::Value reply() {
    Json::Value doc;
    Json::Reader().parse(R"({"curUser":{"nm":"a\"b</script>"},"ret":"ok",
        "users":[{"memo":"line\nbreak\u2028"}],"log":null})",
                         doc);
    return doc;
  }

  // Streamed, with "users" held as a finished fragment, as the snapshot
  // holds its lists; escaped piece by piece as the dispatcher does.
  static std::string streamed(const korvan::LogQueryParams& request) {
    CLogStream stream(admin(), request);
    Json::Value doc = reply();
    std::string users = Json::FastWriter().write(doc["users"]);
    users.pop_back();  // the line feed
    korvan::JsonFragments fragments{{"users", escapeMarkup(users)}};
    doc.removeMember("users");
    std::string out;
    writeCompactStreamed(
        doc, fragments, "log", [&stream](const TextSink& sink) { stream.write(sink); },
        [&out](std::string_view piece) { out += escapeMarkup(piece); });
    return out;
  }

  // The same document built as a tree and written at once.
  static std::string whole(const korvan::LogQueryParams& request) {
    Json::Value doc = reply();
    std::vector<std::string> keys{"user",    "time", "ip", "type",
                                  "typeSub", "sth",  "id", "typeSubCN"};
    std::string sql = logQuerySql(admin(), request);
    doc["log"] = CDB::sel(true, sql, keys);
    return escapeMarkup(Json::FastWriter().write(doc));
  }

  korvantest::TempRoot root_;
};

TEST_F(LogStream, ByteForByteTheCompactWritersText) {
  // Quotes, backslashes, control characters, markup, non-ASCII and the line
  // separators, in every column, over a few thousand records.
  root_.exec(
      "delete from log2;"
      "with recursive n(i) as (select 1 union all select i+1 from n where i<3000)"
      " insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth)"
      " select 'u'||(i%7)||'''\"\\'||char(1,9,10,31,127), datetime(1700000000+i,'unixepoch'),"
      " '10.0.0.'||(i%9), case i%3 when 0 then 'ips' else 'user<&>' end,"
      " 'upd'||char(8232,8233), 'caf'||char(233)||' '||char(128512),"
      " '[{\"nm\":\"Name\",\"v1\":\"<b>'||i||'</b>\",\"v2\":\"\\u0000\"}]'||char(10) from n;"
      "update log2 set sth=null where id%500=0;");
  Json::Value request;
  for (auto [k, v] : {std::pair{"user", ""}, {"timeBegin", ""}, {"timeEnd", ""}, {"type", "all"}}) {
    request["logCondition"][k] = v;
  }
  korvan::LogQueryParams query;
  query.decode(korvan::LogQueryParams::rules(), request);
  EXPECT_EQ(streamed(query), whole(query));
}

}  // namespace
