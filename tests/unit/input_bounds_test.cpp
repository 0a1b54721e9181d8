// Input the program refuses or defuses: multipart fields past their memory
// bound, clock texts the daemon's packet cannot carry, CSV cells a
// spreadsheet would run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "form/form.h"
#include "ops/log_export.h"
#include "util/clock_text.h"

namespace {

const std::string kBoundary = "b0und";

std::string field(const std::string& name, const std::string& value,
                  const std::string& fileName = "") {
  return "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" +
         (fileName.empty() ? "" : "; filename=\"" + fileName + "\"") + "\r\n\r\n" + value + "\r\n";
}

// The fields held in memory count together, each entry with its own cost;
// files do not count; reading stops where the bound is passed.
TEST(InputBounds, MultipartFieldsShareOneBound) {
  const size_t kBound = 1000;
  const std::string filler(600, 'x');
  const struct {
    const char* what;
    std::string body;
    korvan::ParseResult result;
  } rows[] = {
      {"two fields within", field("a", std::string(400, 'x')) + field("b", std::string(400, 'y')),
       korvan::ParseResult::kSuccess},
      {"two fields past", field("a", filler) + field("b", filler) + field("c", "z"),
       korvan::ParseResult::kTooLarge},
      {"a file beside", field("a", filler) + field("f", std::string(5000, 'f'), "up.bin"),
       korvan::ParseResult::kSuccess},
      {"many empty fields", [] {
         std::string many;
         for (int i = 0; i < 20; ++i) many += field("e", "");
         return many;
       }(),
       korvan::ParseResult::kTooLarge},
  };
  for (const auto& row : rows) {
    const std::string body = row.body + "--" + kBoundary + "--\r\n" + std::string(100000, 'p');
    FILE* in = tmpfile();
    ASSERT_NE(in, nullptr);
    fwrite(body.data(), 1, body.size(), in);
    rewind(in);
    korvan::Form form;
    EXPECT_EQ(form.parseMultipart(in, static_cast<int>(body.size()), kBoundary, kBound),
              row.result)
        << row.what;
    // Never more than the bound and the headers of the parts behind it.
    if (row.result == korvan::ParseResult::kTooLarge) {
      EXPECT_LT(ftell(in), 1600) << row.what;
    }
    fclose(in);
  }
}

TEST(InputBounds, ClockTexts) {
  setenv("TZ", "UTC", 1);
  tzset();
  for (const char* good : {"2000-01-01 00:00:00", "2038-01-19 03:14:07", "2024-02-29 23:59:59",
                           "2026-03-07 09:05:02"}) {
    EXPECT_TRUE(korvan::isClockText(good)) << good;
  }
  for (const char* bad :
       {"", "abc", "9999-12-31 23:59:59", "2026-13-45 99:99:99", "1999-12-31 23:59:59",
        "2038-01-19 03:14:08", "2026-02-29 00:00:00", "2100-02-29 00:00:00", "2026-04-31 10:00:00",
        "2026-03-07 24:00:00", "2026-03-07 10:60:00", "2026-03-07 10:00:60",
        "2026-03-07T10:00:00", "2026-03-07 10:00:00 ", "2026-03-07 1:00:000", "+026-03-07 10:00:00"}) {
    EXPECT_FALSE(korvan::isClockText(bad)) << bad;
  }
  // West of Greenwich the last local seconds would not fit the packet.
  setenv("TZ", "EST5", 1);
  tzset();
  EXPECT_FALSE(korvan::isClockText("2038-01-19 03:14:07"));
  EXPECT_TRUE(korvan::isClockText("2038-01-18 22:14:07"));
  unsetenv("TZ");
  tzset();
}

TEST(InputBounds, CsvCellsThatCouldRun) {
  const struct {
    std::string text, cell;
  } rows[] = {
      {"=1+1", "'=1+1"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"+x", "'+x"},
      {"\tcmd", "'\tcmd"},
      {"\rcmd", "\"'\rcmd\""},
      {"\ncmd", "\"'\ncmd\""},
      {"  =cmd", "'  =cmd"},
      {"\xC2\xA0\xE3\x80\x80@x", "'\xC2\xA0\xE3\x80\x80@x"},
      {"\xEF\xBC\x9D" "1", "'\xEF\xBC\x9D" "1"},  // full-width =
      {"\xEF\xBC\x8B" "1", "'\xEF\xBC\x8B" "1"},  // full-width +
      {"\xEF\xBC\x8D" "1", "'\xEF\xBC\x8D" "1"},  // full-width -
      {" \xEF\xBC\xA0x", "' \xEF\xBC\xA0x"},      // full-width @
      {"a=b", "a=b"},
      {"   ", "   "},
      {"\xEF\xBC\x91", "\xEF\xBC\x91"},  // full-width 1
      {"a, \"b\"", "\"a, \"\"b\"\"\""},
  };
  for (const auto& row : rows) EXPECT_EQ(csvCell(row.text), row.cell) << row.text;
}

// The export's readable details: changes as "name: old -> new", anything
// that is no list of changes as it was logged.
TEST(InputBounds, LogDetailsAsText) {
  const struct {
    std::string details, text;
  } rows[] = {
      {R"([{"nm":"Name","v1":"web","v2":"web2"}])" "\n", "Name: web -> web2"},
      {R"([{"nm":"user name","v1":"operator"},{"nm":"ip","v1":"1.2.3.4<br>5.6.7.8<br>"}])",
       "user name: operator; ip: 1.2.3.4, 5.6.7.8"},
      {R"([{"nm":"failures","v1":3}])", "failures: 3"},
      {R"([{"v1":"x"}])", R"([{"v1":"x"}])"},
      {R"({"nm":"a"})", R"({"nm":"a"})"},
      {"plain text\n", "plain text"},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(logDetailsText(row.details), row.text) << row.details;
}

}  // namespace
