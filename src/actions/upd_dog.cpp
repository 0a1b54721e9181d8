#include "actions/upd_dog.h"

#include <map>

#include "actions/journal_packets.h"
#include "daemon/arm.h"
#include "daemon/packets.h"
#include "store/cn.h"
#include "store/db.h"
#include "store/module_columns.h"
#include "store/oplog.h"
#include "store/sql.h"
#include "util/members.h"
#include "util/myerr.h"
#include "util/module_kind.h"
#include "util/request_params.h"

using journalled::pauseAfterPacket;
using korvan::textOf;

namespace {

bool sendsCodeFrame(const Json::Value& side) {
  int kind = korvan::moduleKind(textOf(side["uid"]));
  return kind == 1 || kind == 3;
}

// The values of the module packets, all read from the request before the
// first packet goes out, so that a malformed request is refused without a
// half-sent change. Code and frame are taken only as JSON strings.
struct CodeFrame {
  uint16_t frame;
  uint32_t code;
};

// `value` as a JSON string, or CMyErr(err, "dogPara.NAME must be a JSON string").
std::string jsonString(const Json::Value& value, const char* name) {
  if (!value.isString()) {
    throw CMyErr(CMyErr::err, std::string("dogPara.") + name + " must be a JSON string");
  }
  return value.asString();
}

CodeFrame codeFrameOf(const korvan::ModuleParams& params) {
  const std::string code = jsonString(params.code, "code");
  const std::string frame = jsonString(params.frame, "frame");
  return {static_cast<uint16_t>(korvan::pak::wireInt(frame)),
          static_cast<uint32_t>(korvan::pak::wireInt(code))};
}

// A number member as a packet's byte, as the packets read their numbers.
uint8_t byteOf(const korvan::Number& number) {
  return korvan::pak::wireByte(std::to_string(number.value()));
}

struct Name {
  uint8_t port;  // dogPara.id: the name packet's port
  std::string nm;
};

Name nameOf(const korvan::ModuleParams& params) { return {byteOf(params.id), params.nm}; }

}  // namespace

// ---- CUpdDog -----------------------------------------------------------------

void CUpdDog::initDaDb() {
  std::string sql = std::string(" select") + korvan::kModuleColumns +
                    " from dog2 as d2,dogInfo2 as di2 where d2.uid=di2.uid and d2.id= " +
                    std::to_string(params_.id.value());
  da = CDB::sel(false, sql, korvan::kModuleKeys);
  // The whole object: its slot members are stored and logged by name.
  db = params_.dogPara;
}

bool CUpdDog::isChangeArm(bool& isChangeNM, bool& isChangeSM, bool& isChangeCodeFrame) {
  const Json::Value& a = da;
  const Json::Value& b = db;
  isChangeNM = textOf(a["nm"]) != textOf(b["nm"]);
  isChangeSM = textOf(a["sm"]) != textOf(b["sm"]);
  isChangeCodeFrame = sendsCodeFrame(b) && (textOf(a["code"]) != textOf(b["code"]) ||
                                            textOf(a["frame"]) != textOf(b["frame"]));
  return isChangeNM || isChangeSM || isChangeCodeFrame;
}

void CUpdDog::prepareStatements() {
  std::map<std::string, bool> dogColumns{
      {"nm", true}, {"sm", false}, {"code", false}, {"frame", false}};
  std::map<std::string, bool> slotColumns{{"nm", true},   {"group2", true}, {"pos1", true},
                                          {"pos2", true}, {"depart", true}, {"memo", true}};
  updDog2_ = " update dog2 set ";
  CDB::getUpdSql(dogColumns, db, updDog2_);
  updDog2_ += " where id=" + std::to_string(params_.id.value());
  updDogInfo2_ = " update dogInfo2 set ";
  CDB::getUpdSql(slotColumns, db, updDogInfo2_);
  updDogInfo2_ += " where uid='" + sqlText(params_.uid) + "'";
}

std::optional<CAction::JournalPlan> CUpdDog::journalPlan() {
  prepareStatements();
  bool nm = false, sm = false, codeFrame = false;
  if (!isChangeArm(nm, sm, codeFrame)) return std::nullopt;
  CodeFrame video{};
  if (codeFrame) video = codeFrameOf(params_);
  Name name{};
  if (nm) name = nameOf(params_);
  const uint8_t port = codeFrame ? byteOf(params_.portID) : 0;
  // A share-mode change has no packet of its own.
  Json::Value packets(Json::arrayValue);
  if (nm) packets.append(journalled::namePacket(name.port, name.nm));
  if (codeFrame) packets.append(journalled::codeFramePacket(port, video.frame, video.code));
  if (packets.empty()) return std::nullopt;
  packets_ = packets;
  return JournalPlan{"dog" + std::to_string(params_.id.value()), kJournalKind, "dogPara", packets,
                     &CUpdDog::writeJournalledRows};
}

void CUpdDog::tellArm() {
  // The pause after the last packet comes after the commit (afterCommit), so
  // the write lock is not held through it.
  pauseOwed_ = journalled::sendPackets(packets_);
}

void CUpdDog::afterCommit() {
  if (pauseOwed_) pauseAfterPacket();
}

void CUpdDog::modify() {
  if (updDog2_.empty()) prepareStatements();
  CDB::execModify(updDog2_);
  CDB::execModify(updDogInfo2_);
}

void CUpdDog::log() {
  CKeyCNList keys{
      CKeyCN("uid", "uid"),         CKeyCN("nm", "Name"),           CKeyCN("sm", "shareMode"),
      CKeyCN("type2", "type"),      CKeyCN("group2", "group"),      CKeyCN("pos1", "position1"),
      CKeyCN("pos2", "position2"),  CKeyCN("depart", "department"), CKeyCN("memo", "Memo"),
      CKeyCN("code", "bit stream"), CKeyCN("frame", "frame rate")};
  Json::Value a = da, b = db;
  a["sm"] = CCN::name(CCN::dogShareMode, textOf(a["sm"]));
  b["sm"] = CCN::name(CCN::dogShareMode, textOf(b["sm"]));
  b["type2"] = CCN::name(CCN::dogType, textOf(b["type2"]));
  // The stored row has no kind of its own: both sides show the requested one.
  a["type2"] = b["type2"];
  Json::Value entries;
  CLog::compAB(keys, a, b, entries);
  CLog::insLog(caller, "dog", "updDog", "update console", CLog::detailText(entries));
}

// ---- CUpdDog_factory -----------------------------------------------------------

void CUpdDog_factory::initDaDb() { db = params_.dogPara; }

void CUpdDog_factory::checkChange() {}

void CUpdDog_factory::prepareStatement() {
  std::map<std::string, bool> columns{
      {"uid", true}, {"nm", true}, {"sm", false}, {"code", false}, {"frame", false}};
  updDog2_ = " update dog2 set ";
  CDB::getUpdSql(columns, db, updDog2_);
  updDog2_ += " where id=" + std::to_string(params_.id.value());
}

std::optional<CAction::JournalPlan> CUpdDog_factory::journalPlan() {
  prepareStatement();
  bool codeFrame = sendsCodeFrame(db);
  CodeFrame video{};
  if (codeFrame) video = codeFrameOf(params_);
  const uint8_t port = byteOf(params_.portID);
  const std::string& uid = params_.uid;
  const Name name = nameOf(params_);
  packets_ = Json::Value(Json::arrayValue);
  packets_.append(journalled::uidPacket(port, uid));
  packets_.append(journalled::namePacket(name.port, name.nm));
  if (codeFrame) packets_.append(journalled::codeFramePacket(port, video.frame, video.code));
  return JournalPlan{"dog" + std::to_string(params_.id.value()), kJournalKind, "dogPara", packets_,
                     &CUpdDog::writeJournalledRows};
}

void CUpdDog_factory::tellArm() { journalled::sendPackets(packets_); }

// The pause after the last packet, outside the write lock.
void CUpdDog_factory::afterCommit() { pauseAfterPacket(); }

void CUpdDog_factory::modify() {
  if (updDog2_.empty()) prepareStatement();
  CDB::execModify(updDog2_);
}

void CUpdDog_factory::log() {}

void CUpdDog::writeJournalledRows(const journal::Entry& entry) {
  if (entry.kind == CUpdDog_factory::kJournalKind) {
    writeJournalledRowsAs<CUpdDog_factory, korvan::ModuleParams>(entry);
  } else {
    writeJournalledRowsAs<CUpdDog, korvan::ModuleParams>(entry);
  }
}
