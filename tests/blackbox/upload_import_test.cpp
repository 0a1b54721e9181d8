// Database uploads are imported, never used as they came: the stored copy has
// the program's own schema and the upload's rows, whatever triggers, views,
// constraints or column types the upload carried, and it works as the live
// database; an upload that cannot be imported is refused with the reason.
#include <functional>
#include <sstream>

#include "calls.h"
#include "testroot.h"

namespace korvantest {
namespace {

const std::string kHeader = "Content-type: text/html;charset=utf-8\r\n\r\n";
const std::string kSuccess = "update database success \n";
const std::string kRefused = "update database failed: not a configuration database: ";

// The answer of `sql` on a copy of the database file `bytes`, with the file
// `attached` attached as "u".
std::string ask(const std::string& bytes, const std::string& sql,
                const std::string& attached = "") {
  TempRoot scratch(false);
  writeFile(scratch.dbPath(), bytes);
  writeFile(scratch.path("u.db"), attached);
  return scratch.scalar("attach '" + scratch.path("u.db") + "' as u; " + sql);
}

// The schema objects, one line each.
const char* const kSchema =
    "select group_concat(type||' '||name||' '||ifnull(sql,''), char(10)) from "
    "(select * from main.sqlite_schema order by type, name)";

// For every table of the copy `stored` that the `upload` holds too, the cells
// of the columns both have, in the copy and in the upload.
std::pair<std::string, std::string> sharedCells(const std::string& stored,
                                                const std::string& upload) {
  std::string copied, uploaded;
  std::istringstream tables(
      ask(stored, "select group_concat(name, ' ') from main.sqlite_schema where type='table'"));
  for (std::string table; tables >> table;) {
    const std::string cells =
        ask(stored,
            "select group_concat('quote(\"'||m.name||'\")', '||'',''||') from pragma_table_info('" +
                table + "','main') m join pragma_table_info('" + table +
                "','u') u on m.name = u.name collate nocase",
            upload);
    if (cells.empty()) continue;
    const auto rows = [&](const std::string& schema) {
      return table + ":\n" +
             ask(stored,
                 "select group_concat(r, char(10)) from (select " + cells + " r from " + schema +
                     "." + table + " order by rowid)",
                 upload) +
             "\n";
    };
    copied += rows("main");
    uploaded += rows("u");
  }
  return {copied, uploaded};
}

// Makes the file of an upload from the database of `root`.
using Bytes = std::function<std::string(const TempRoot& root, const std::string& file)>;

// The seeded configuration with `sql` applied and then `bytes` made of it.
std::string makeUpload(const std::string& sql, const Bytes& bytes) {
  TempRoot source;
  if (!sql.empty()) source.exec(sql);
  const std::string file = readFile(source.dbPath());
  return bytes ? bytes(source, file) : file;
}

// The users as a login leaves them: names, groups and passwords.
const char* const kUsers =
    "select group_concat(id||':'||nm||':'||pid||':'||ifnull(pw,'-')) from user2";

// Rebuilds `table` of the seeded configuration as `definition` (the columns it
// lists, in that order), keeping the rows of those columns.
std::string rebuilt(const std::string& table, const std::string& definition,
                    const std::string& columns) {
  return "create table rebuilt " + definition + "; insert into rebuilt (" + columns + ") select " +
         columns + " from " + table + "; drop table " + table + "; alter table rebuilt rename to " +
         table + ";";
}

const std::string kUserCore = "id, nm, pw, pid, dog, token, status, expireTime, timezone, interval";

struct Case {
  const char* name;
  std::string sql;      // applied to the seeded configuration
  Bytes bytes;          // the file made of it
  std::string refusal;  // "" when it is imported
  // A query that gives the same on the upload and on the live copy after a
  // login and a refresh: what a trigger of the upload would have changed.
  std::string intact = kUsers;
  // A query on the stored copy and its answer.
  std::string check = "select 1";
  std::string expect = "1";
};

const Case kCases[] = {
    // Triggers of every kind: the rows come, the triggers do not.
    {"a trigger that promotes the operator",
     "create trigger promote after insert on log2 begin "
     "update user2 set pid=1, pw='known' where nm='operator'; end;",
     nullptr, ""},
    {"a trigger that deletes records",
     "insert into log2 (user, time, ip, type, typeSub, typeSubCN, sth) values "
     "('operator', '2026-01-01 00:00:00', '10.0.0.9', 'access', 'login', 'login', '');"
     "create trigger wipe after insert on log2 begin delete from log2 where user='operator'; end;",
     nullptr, "", "select count(*) from log2 where user='operator'"},
    {"a trigger that re-creates an administrator",
     "create trigger admin after update on user2 begin "
     "insert or ignore into user2 (id, nm, pw, pid) values (99, 'intruder', 'x', 1); end;",
     nullptr, ""},
    {"triggers that load an extension or run for long",
     "create trigger load before update on user2 begin "
     "select load_extension('/tmp/korvan-no-such-extension.so'); end;"
     "create trigger slow after insert on log2 begin select count(*) from (with recursive "
     "c(x) as (select 1 union all select x+1 from c where x < 30000000) select x from c); end;",
     nullptr, ""},
    // Older and stranger tables: what the schema knows is kept, the rest
    // takes the schema's defaults.
    {"an older configuration without the newest columns",
     rebuilt("user2",
             "(id INTEGER PRIMARY KEY, nm TEXT, pw TEXT, pid INTEGER, dog TEXT, "
             "token TEXT, status INTEGER, expireTime INTEGER, timezone INTEGER, "
             "interval INTEGER)",
             kUserCore) +
         rebuilt("dog2", "(id INTEGER PRIMARY KEY, uid TEXT, nm TEXT, sm INTEGER)",
                 "id, uid, nm, sm") +
         "drop table loginStranger;",
     nullptr, "", kUsers,
     "select (select group_concat(quote(memo2)||quote(code)||prior) from user2) || "
     "(select group_concat(serialUserID||'/'||frame) from dog2 where id < 3)",
     "'''0'0,'''0'0-1/30,-1/30"},
    {"strict types, check constraints, foreign keys, indexes and generated columns",
     rebuilt("user2",
             "(id INTEGER PRIMARY KEY, nm TEXT, pw TEXT CHECK (length(pw) < 61), "
             "pid INTEGER REFERENCES priv2(id) ON DELETE CASCADE, dog TEXT, token TEXT, "
             "status INTEGER, expireTime INTEGER, timezone INTEGER, interval INTEGER, "
             "memo TEXT AS ('generated')) STRICT",
             kUserCore) +
         "create index pw_index on user2 (pw collate nocase);",
     nullptr, "", kUsers, "select count(*) from user2 where memo is null", "2"},
    // What cannot be imported.
    {"not SQLite", "", [](const TempRoot&, const std::string&) { return "plain text\n"; },
     "not an SQLite database"},
    {"an empty file", "", [](const TempRoot&, const std::string&) { return ""; },
     "table user2 missing"},
    // Garbage in an index that the copy never reads: the check finds it.
    {"a damaged file", "",
     [](const TempRoot& root, const std::string& file) {
       const size_t page = std::stoul(root.scalar("pragma page_size"));
       const size_t at =
           std::stoul(root.scalar("select rootpage from sqlite_schema where name='dogInfo2_uid'"));
       std::string damaged = file;
       damaged.replace((at - 1) * page, page, page, '\xA5');
       return damaged;
     },
     "damaged"},
    {"a cut file", "",
     [](const TempRoot&, const std::string& file) { return file.substr(0, file.size() / 2); },
     "damaged"},
    {"a missing table", "drop table iplist;", nullptr, "table iplist missing"},
    {"a view named like a table",
     "create table grp as select * from priv2; drop table priv2;"
     "create view priv2 as select * from grp;",
     nullptr, "table priv2 missing"},
    {"a virtual table named like a table",
     "drop table ips2; create virtual table ips2 using fts5(ip);", nullptr, "table ips2 missing"},
    {"a table of unknown columns", "drop table other2; create table other2 (mode, kind);", nullptr,
     "table other2 has no known column"},
    {"rows that do not fit the schema",
     rebuilt("priv2", "(id INTEGER PRIMARY KEY, level INTEGER, nm TEXT, type INTEGER, dog TEXT)",
             "id, level, nm, type, dog") +
         "insert into priv2 (level, nm, type, dog) values (1, 'Viewers', 2, '0');",
     nullptr, "table priv2: UNIQUE constraint failed: priv2.nm"},
};

TEST(UploadImport, HostileUploadsAreImportedCleanOrRefused) {
  TempRoot plain(false);
  const std::string schema = ask(readFile(plain.dbPath()), kSchema);
  ASSERT_NE(schema.find("table user2"), std::string::npos);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string upload = makeUpload(c.sql, c.bytes);
    TempRoot device;
    const std::string stored = device.path("usr/app/firmupdate");
    writeFile(stored, "previous firmware");
    const CgiRequest request = multipartRequest({{"dbFile", "korvan.db", upload},
                                                 {"userID", std::nullopt, "1"},
                                                 {"token", std::nullopt, "test-token-1"}});
    sessionRequest(device, "upload");
    const CgiResult result = runCgi(device, request);
    EXPECT_EQ(result.exitStatus, 0);
    if (!c.refusal.empty()) {
      EXPECT_EQ(result.out, kHeader + kRefused + c.refusal + " \n");
      EXPECT_EQ(readFile(stored), "previous firmware");
      continue;
    }
    ASSERT_EQ(result.out, kHeader + kSuccess);
    // The stored copy: the program's schema, nothing of the upload's; the
    // upload's rows; its record with the stored size.
    const std::string copy = readFile(stored);
    EXPECT_EQ(ask(copy, kSchema), schema);
    const auto [copied, uploaded] = sharedCells(copy, upload);
    EXPECT_EQ(copied, uploaded);
    EXPECT_NE(copied.find("'operator'"), std::string::npos);
    EXPECT_EQ(ask(copy, c.check), c.expect);
    EXPECT_EQ(device.scalar("select typeSub||' '||sth from log2 order by id desc limit 1"),
              R"(dbUpload [{"nm":"file size","v1":")" + std::to_string(copy.size()) + "\"}]\n");

    // The copy as the live database: a login and a refresh work, and none of
    // the upload's triggers changed anything.
    TempRoot live;
    writeFile(live.dbPath(), copy);
    const Json::Value loggedIn = ajax(live, loginRequest("admin", "admin"));
    ASSERT_EQ(loggedIn["ret"], "ok") << loggedIn["retMsg"];
    const Json::Value refreshed = ajax(live, sessionOf(loggedIn, "ref"));
    EXPECT_EQ(refreshed["ret"], "ok") << refreshed["retMsg"];
    EXPECT_EQ(refreshed["users"].size(), 2u);
    EXPECT_EQ(live.scalar(c.intact), ask(upload, c.intact));
  }
}

}  // namespace
}  // namespace korvantest
