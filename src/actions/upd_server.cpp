#include "actions/upd_server.h"

#include <cctype>
#include <map>

#include "actions/journal_packets.h"
#include "daemon/arm.h"
#include "daemon/packets.h"
#include "store/cn.h"
#include "store/db.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/ipv4.h"
#include "util/members.h"
#include "util/number.h"
#include "util/request_params.h"
#include "util/tools.h"

using korvan::textOf;

namespace {

bool isPort(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  const long long port = korvan::leadingInteger(text);
  return port >= 1 && port <= 65535;
}

bool isEncryption(const std::string& text) { return text == "0" || text == "1" || text == "2"; }

}  // namespace

void CUpdServer::checkRequest() const {
  // The values as they will be stored: the checks judge their text.
  const Json::Value& server = params_.server;
  auto refuse = [](const char* member) {
    throw CMyErr(CMyErr::warning, std::string("invalid network setting: ") + member);
  };
  if (!isEncryption(textOf(server["encrypt"]))) refuse("encrypt");
  for (const char* member : {"ip", "gateway", "subnetMask"}) {
    if (!korvan::isInetAddress(textOf(server[member]))) refuse(member);
  }
  for (const char* member : {"portKM", "portV", "portWeb"}) {
    if (!isPort(textOf(server[member]))) refuse(member);
  }
}

void CUpdServer::initDaDb() {
  checkRequest();
  std::string sql =
      " select uid,nm,encrypt,ip,gateway,subnetMask,portKM,portV,portWeb from server2";
  std::vector<std::string> keys{"uid",        "nm",     "encrypt", "ip",     "gateway",
                                "subnetMask", "portKM", "portV",   "portWeb"};
  da = CDB::sel(false, sql, keys);
  // The whole object: its members are stored and logged by name.
  db = params_.server;
  initDaDbIP();
}

void CUpdServer::initDaDbIP() {
  da["ipInt"] = textOf(da["ip"]);
  da["ipStr"] = CTools::IP_intToStr(textOf(da["ip"]));
  da["gatewayInt"] = textOf(da["gateway"]);
  da["subnetMaskInt"] = textOf(da["subnetMask"]);
  db["ipInt"] = CTools::IP_strToInt(textOf(db["ip"]));
  db["ipStr"] = textOf(db["ip"]);
  db["gatewayInt"] = CTools::IP_strToInt(textOf(db["gateway"]));
  db["subnetMaskInt"] = CTools::IP_strToInt(textOf(db["subnetMask"]));
  da.removeMember("ip");
  db.removeMember("ip");
}

bool CUpdServer::isChangeArm(bool& isChangeIP, bool& isChangePort) {
  const Json::Value& a = da;
  const Json::Value& b = db;
  auto differs = [&a, &b](const char* member) { return textOf(a[member]) != textOf(b[member]); };
  isChangeIP =
      differs("ipInt") || differs("portWeb") || differs("gatewayInt") || differs("subnetMaskInt");
  isChangePort = differs("portKM") || differs("portV");
  return isChangeIP || isChangePort;
}

std::optional<CAction::JournalPlan> CUpdServer::journalPlan() {
  bool ip = false, port = false;
  if (!isChangeArm(ip, port)) return std::nullopt;
  // The journal holds the network packet only: the restart that follows is
  // an action, never sent twice.
  packets_ = Json::Value(Json::arrayValue);
  if (ip) {
    // The request's own values, as the browser sent them.
    ServerNetwork network;
    network.ip = params_.ip;
    network.gateway = params_.gateway;
    network.subnetMask = params_.subnetMask;
    network.portWeb =
        static_cast<uint32_t>(korvan::pak::wireInt(std::to_string(params_.portWeb.value())));
    packets_.append(journalled::networkPacket(network));
  }
  return JournalPlan{"server", kJournalKind, "server", packets_, &CUpdServer::writeJournalledRows};
}

void CUpdServer::tellArm() {
  // The two exchanges go back to back on the same connection.
  journalled::sendPackets(packets_);
  CArm::restart();
}

void CUpdServer::modify() {
  std::map<std::string, bool> columns{{"uid", true},     {"nm", true},     {"encrypt", false},
                                      {"portKM", false}, {"portV", false}, {"portWeb", false}};
  std::string sql = " update server2 set ";
  sql += " ip=" + sqlNumber(textOf(db["ipInt"])) + ",";
  sql += " gateway=" + sqlNumber(CTools::IP_strToInt(textOf(db["gateway"]))) + ",";
  sql += " subnetMask=" + sqlNumber(CTools::IP_strToInt(textOf(db["subnetMask"]))) + ",";
  CDB::getUpdSql(columns, db, sql);
  CDB::execModify(sql);
}

void CUpdServer::log() {
  CKeyCNList keys{CKeyCN("uid", "uid"),
                  CKeyCN("nm", "Name"),
                  CKeyCN("encrypt", "Encrypt"),
                  CKeyCN("ipStr", "ip"),
                  CKeyCN("portKM", "keymousePort"),
                  CKeyCN("portV", "videoPort"),
                  CKeyCN("portWeb", "webPort")};
  Json::Value a = da, b = db;
  a["encrypt"] = CCN::name(CCN::serverEncrypt, textOf(a["encrypt"]));
  b["encrypt"] = CCN::name(CCN::serverEncrypt, textOf(b["encrypt"]));
  Json::Value entries;
  CLog::compAB(keys, a, b, entries);
  CLog::insLog(caller, "server", "updServer", "updateNetwork", CLog::detailText(entries));
}

void CUpdServer::writeJournalledRows(const journal::Entry& entry) {
  writeJournalledRowsAs<CUpdServer, korvan::ServerParams>(entry);
}
