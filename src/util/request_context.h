// RequestContext: what the dispatcher's admission learnt about the request
// being served, handed as one value to the handlers and change actions: who
// is calling, the device mode, and the values prepared from the request for
// them. It is built once and never read back from the request document, so
// no layer below the dispatcher writes into the request to pass things on.
#pragma once

#include <json/json.h>

#include <string>

#include "util/caller.h"

// The device's mode as other2.factoryMode holds it. In factory mode no
// console slots are kept and only super administrators log in.
enum class DeviceMode { normal, factory };

struct RequestContext {
  Caller caller;
  DeviceMode mode = DeviceMode::normal;
  // The console rights text as the browser edited it (member `dogDB` of the
  // request's parameter object, for the types whose route names one); null
  // when the request sent none or its type edits no rights.
  Json::Value rights;
  // The uid of the stored console module a KVM session request names, for
  // the routes that bind it; empty otherwise.
  std::string consoleUid;
  // Whether the request was admitted from a read transaction because another
  // request held the write lock: it then writes nothing, not even upkeep
  // (store/lock_wait.h).
  bool writesDeferred = false;

  bool factory() const { return mode == DeviceMode::factory; }

  // A copy of the parameter object `param` whose member `dog` holds the
  // edited rights: the values a rights-editing action stores and compares.
  // A null `param` gives an object with `dog` alone.
  Json::Value withRights(const Json::Value& param) const {
    Json::Value copy = param;
    copy["dog"] = rights;
    return copy;
  }
};
