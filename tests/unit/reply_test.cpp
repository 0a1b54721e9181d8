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
  const std::string sql = "select 1, null, 'x', 2 union all select 3, 4, 5, 6";
  const std::vector<std::string> keys{"n", "b", "n", "a", "past"};
  const Json::Value rows = CDB::sel(true, sql, keys);
  EXPECT_EQ(Json::FastWriter().write(rows),
            "[{\"a\":\"2\",\"b\":\"\",\"n\":\"x\",\"past\":\"\"},"
            "{\"a\":\"6\",\"b\":\"4\",\"n\":\"5\",\"past\":\"\"}]\n");
  EXPECT_EQ(CDB::sel(false, sql, keys), rows[0]);  // the first row only
  EXPECT_EQ(CDB::selOne(sql, keys), rows[0]);
  EXPECT_EQ(CDB::sel(true, sql + " limit 0", keys), Json::Value());
  EXPECT_FALSE(CDB::selOne(sql + " limit 0", keys).has_value());
  sqlite3_close(CDB::dbCnn);
  CDB::dbCnn = nullptr;
}

// Every failing statement throws, whether or not the engine gives a message:
// without a connection it gives none.
TEST(RowReading, EveryFailureThrows) {
  sqlite3* open = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &open), SQLITE_OK);
  const struct {
    sqlite3* connection;
    bool modify;
    std::string sql;
    const char* message;
  } failures[] = {
      {open, false, "select 1; select * from missing", "no such table: missing"},
      {open, true, "create table t (a); insert into missing values (1)", "no such table: missing"},
      {nullptr, false, "select 1", "bad parameter or other API misuse"},
      {nullptr, true, "create table t (a)", "bad parameter or other API misuse"},
  };
  for (const auto& f : failures) {
    CDB::dbCnn = f.connection;
    try {
      if (f.modify) {
        CDB::execModify(f.sql);
      } else {
        CDB::sel(true, f.sql, {"a"});
      }
      ADD_FAILURE() << "no error: " << f.sql;
    } catch (const CMyErr& e) {
      EXPECT_EQ(e.type, CMyErr::err);
      EXPECT_EQ(e.what(), f.message + f.sql);
    }
  }
  sqlite3_close(open);
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
  const Json::Value tree = CDB::sel(true, sql, keys);
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
