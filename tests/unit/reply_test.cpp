// The reply writer against the library's, and the snapshot's row readers:
// into values, and straight into text.
#include "cgi/reply.h"

#include <gtest/gtest.h>

#include "store/db.h"

namespace {

Json::Value text(const std::string& s) { return Json::Value(s.data(), s.data() + s.size()); }

TEST(ReplyText, EqualsTheLibraryWritersEscapedText) {
  Json::Value holes;
  holes[2]["a"][0] = Json::Value(Json::objectValue);  // elements 0 and 1 never set
  for (const Json::Value& value :
       {Json::Value(), holes, Json::Value(Json::arrayValue), Json::Value(-7),
        Json::Value(Json::UInt64(~0ULL)), Json::Value(0.1), Json::Value(-0.0), Json::Value(1e300),
        Json::Value(true), text("a / b < c"), text("\" \\ \t \n \x07 \x7f </b>&amp;"),
        text("caf\xC3\xA9 \xE2\x80\xA8 \xE2\x80\xA9 \xF0\x9F\x98\x80 bad \xC3 \xFF"),
        text(std::string("nul\0in", 6))}) {
    Json::Value doc;
    doc["value"] = value;
    doc[std::string("key \"<&>\"\0\xE2\x80\xA8", 13)].append(value);
    EXPECT_EQ(replyText(doc), escapeMarkup(Json::FastWriter().write(doc)));
  }
}

TEST(RowReading, ByPositionAsStringsTheLastOfARepeatedNameWinning) {
  ASSERT_EQ(sqlite3_open(":memory:", &CDB::dbCnn), SQLITE_OK);
  Json::Value rows;
  std::string sql = "select 1, null, 'x', 2 union all select 3, 4, 5, 6";
  std::vector<std::string> keys{"n", "b", "n", "a", "past"};
  CDB::sel(true, sql, keys, rows);
  EXPECT_EQ(Json::FastWriter().write(rows),
            "[{\"a\":\"2\",\"b\":\"\",\"n\":\"x\",\"past\":\"\"},"
            "{\"a\":\"6\",\"b\":\"4\",\"n\":\"5\",\"past\":\"\"}]\n");
  sql = "select 1; select * from missing";  // fails after a row: nothing is kept
  EXPECT_THROW(CDB::sel(true, sql, keys, rows), CMyErr);
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_EQ(CDB::g_dbRowCnt, 0);
  sqlite3_close(CDB::dbCnn);
  CDB::dbCnn = nullptr;
}

// Rows read straight into text read as the reply writer writes the rows read
// into values; rows ordered in the program come as the engine orders them.
TEST(RowText, AsTheWriterWritesAndInTheEnginesOrder) {
  ASSERT_EQ(sqlite3_open(":memory:", &CDB::dbCnn), SQLITE_OK);
  std::string setup =
      "create table t (k integer primary key, a, b);"
      "insert into t (a, b) values (null, 'x\"<b>&\\'), (2, char(1,9,10)), (2.5, 'caf'||char(233)),"
      " (-1, char(8232)||'</script>'), (9223372036854775807, ''), (9.3e18, x'00ff'),"
      " ('abc', null), ('ab', 'z'), (x'0001', 7), ('10', '10'), (2, 'tie');";
  CDB::execModify(setup);
  const std::vector<const char*> keys{"b", "a", "k", "a", "past"};
  std::string sql = "select b, a, k from t";
  Json::Value tree;
  CDB::sel(true, sql, keys, tree);
  std::string text;
  CDB::selText(sql, keys, text);
  EXPECT_EQ(text + "\n", replyText(tree));

  std::string sorted = "[";  // the engine's order, the tie broken by k
  CDB::selText(sql + " order by a, b", keys, sorted);
  std::string ordered = "[";
  CDB::selText(sql, keys, ordered, {nullptr, nullptr, {{1}, {0}}});
  EXPECT_EQ(ordered, sorted);
  sorted = ordered = "";
  CDB::selText(sql + " order by a desc, b", keys, sorted);
  CDB::selText(sql, keys, ordered, {nullptr, nullptr, {{1, true}, {0}}});
  EXPECT_EQ(ordered, sorted);

  std::string none = "kept";
  CDB::selText("select b from t where 0", keys, none);
  EXPECT_EQ(none, "keptnull");
  EXPECT_THROW(CDB::selText("select nothing from t", keys, none), CMyErr);
  EXPECT_EQ(none, "keptnull");
  sqlite3_close(CDB::dbCnn);
  CDB::dbCnn = nullptr;
}

}  // namespace
