// CUpdServer: "updServer", the switch's own settings in the single row of
// server2, from the request's parameter object `server`: identity, name,
// encryption, IPv4 address, gateway and mask (dotted in the request, integer
// form in the table) and the keyboard/mouse, video and web ports.
//
// The request is checked before anything else: addresses must read as IPv4
// addresses (isInetAddress, util/ipv4.h), ports be whole numbers from 1 to 65535 and `encrypt` 0, 1
// or 2. Otherwise CMyErr(warning, "invalid network setting: <member>") and nothing is sent, stored
// or logged: a broken network packet would cut the switch off its network.
#pragma once

#include "actions/action.h"
#include "util/request_params.h"

class CUpdServer : public CAction {
 public:
  CUpdServer(const RequestContext& context, const korvan::ServerParams& params,
             Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {}
  // The change's name in the journal (store/journal.h).
  static constexpr const char* kJournalKind = "server";
  // Writes the rows of a journalled server change that a process which died
  // left open.
  static void writeJournalledRows(const journal::Entry& entry);

  // Adds the address members compared and logged: `ipInt`, `ipStr`,
  // `gatewayInt`, `subnetMaskInt` (integer and dotted forms of both sides),
  // then drops `ip` from both sides.
  void initDaDbIP();
  // Network changed: address, web port, gateway or mask differ. Ports
  // changed: keyboard/mouse or video port differ. True when either is set.
  bool isChangeArm(bool& isChangeIP, bool& isChangePort);

 protected:
  // Checks the request, then side A: the stored row; side B: `server`.
  // Side A keeps gateway and mask in integer form and side B in dotted form,
  // so the default check always finds a difference.
  void initDaDb() override;
  // Network change: network packet, then restart. Port change only: restart.
  // Anything else is not the daemon's business (no plan). The plan's packets
  // hold the network packet alone.
  std::optional<JournalPlan> journalPlan() override;
  void tellArm() override;
  // One update of the whole row (no WHERE: the table holds one row).
  void modify() override;
  // Record "updServer"; encryption by display name; gateway and mask are not
  // logged.
  void log() override;

 private:
  void checkRequest() const;
  Json::Value packets_;  // the planned network packet, if any
  const korvan::ServerParams& params_;
};
