// The console-module actions of "updDog", from the request's parameter
// object `dogPara`. The dispatcher picks CUpdDog_factory when the device is
// in factory mode (the request context's mode), CUpdDog otherwise (see the
// route table, cgi/routes.h).
//
// Every packet to the switch daemon is followed by a one-second pause before
// the next step, giving the module time to take the setting; the pause after
// the last packet runs once the change is committed, outside the write lock.
#pragma once

#include <string>

#include "actions/action.h"
#include "util/request_params.h"

// Normal operation: name, share mode, video code and frame rate of a module
// (dog2) and the descriptive fields of its console slot (dogInfo2, same uid).
// Tells the daemon only what changed, and logs the change.
class CUpdDog : public CAction {
 public:
  CUpdDog(const RequestContext& context, const korvan::ModuleParams& params, Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {}
  // The change's name in the journal (store/journal.h).
  static constexpr const char* kJournalKind = "module";
  // Writes the rows of a journalled module change of either kind (this one's
  // or CUpdDog_factory's) that a process which died left open.
  static void writeJournalledRows(const journal::Entry& entry);

  // Compares the two sides: name changed, share mode changed, and (for
  // module kinds 1 and 3 only) code or frame changed. True when any is set.
  bool isChangeArm(bool& isChangeNM, bool& isChangeSM, bool& isChangeCodeFrame);

 protected:
  // Side A: the module joined with its slot row; nothing when either is
  // missing. `type2`, `sm` and `priv` are loaded as 0 and `status` as the sum
  // of the module's two status columns. Side B: `dogPara`.
  void initDaDb() override;
  // Name packet if the name changed, code-and-frame packet if they changed;
  // no plan when neither did. Every statement of modify is built first, so a
  // refused value sends nothing.
  std::optional<JournalPlan> journalPlan() override;
  // Sends the planned packets.
  void tellArm() override;
  // Updates dog2, then dogInfo2.
  void modify() override;
  // Record "updDog" with eleven fields; share mode and kind by display name.
  void log() override;
  void afterCommit() override;

 private:
  void prepareStatements();
  const korvan::ModuleParams& params_;
  std::string updDog2_;
  std::string updDogInfo2_;
  Json::Value packets_;     // the planned packets
  bool pauseOwed_ = false;  // a packet went out; its pause is still due
};

// Factory mode: writes the module's identity with its settings, always sends
// identity, name and (module kinds 1 and 3) code and frame, never refuses as
// unchanged and writes no log record.
class CUpdDog_factory : public CAction {
 public:
  CUpdDog_factory(const RequestContext& context, const korvan::ModuleParams& params,
                  Json::Value& jsOData)
      : CAction(context, params, jsOData), params_(params) {}
  static constexpr const char* kJournalKind = "moduleSetup";

 protected:
  void initDaDb() override;     // side B only: `dogPara`
  void checkChange() override;  // accepts every request
  // Identity, name and (kinds 1 and 3) code-and-frame packets, always.
  std::optional<JournalPlan> journalPlan() override;
  void tellArm() override;
  void modify() override;  // updates dog2 only
  void log() override;     // no record
  void afterCommit() override;

 private:
  void prepareStatement();
  const korvan::ModuleParams& params_;
  std::string updDog2_;
  Json::Value packets_;
};
