// The reply writer against the library's, and the snapshot's row reader.
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

}  // namespace
