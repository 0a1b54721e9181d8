// The change actions by request type: the one place that maps a change
// request's `type` to the action that carries it out.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>

#include "actions/action.h"
#include "util/caller.h"

// The action for `type`, built on the two documents (which must outlive it),
// or nullptr when `type` names no change action. "updDog" gives the
// factory-mode action when CDB::isFactory is set, so call this after the
// device mode has been read.
std::unique_ptr<CAction> makeAction(const std::string& type, const Caller& caller,
                                    Json::Value& jsIData, Json::Value& jsOData);
