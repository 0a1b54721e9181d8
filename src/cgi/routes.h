// The route table: one entry per request the program serves, the AJAX types
// and the three file transfers, holding everything the dispatcher, the
// admission, the permission check and the shape check need to know about it.
// Adding a request type is one entry here plus its handler or change action.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "actions/action.h"
#include "cgi/permissions.h"
#include "util/request_context.h"
#include "util/request_params.h"

// Handler of an AJAX request that is not a change action, called with the
// request's parameters as the route's struct decoded them. Login alone
// changes the context's caller, to the user it logged in.
using Handler = void (*)(RequestContext& context, const korvan::Params& params,
                         Json::Value& reply);
// Builds the change action of a request on its parameters and the reply
// (which must outlive it).
using ActionMaker = std::unique_ptr<CAction> (*)(const RequestContext& context,
                                                 const korvan::Params& params, Json::Value& reply);
// Decodes a request document into the route's parameter struct
// (util/request_params.h); throws the refusal of a malformed member shape.
using ParamsDecoder = std::unique_ptr<korvan::Params> (*)(const Json::Value& request);
// The member rules of the route's parameter struct, as data.
using ParamsRules = const korvan::MemberRules& (*)();
// A file transfer: whether the form carries it (by the field `field`), and
// serving it once admitted, with what the admission learnt; the reply is the
// transfer's own.
using TransferTest = bool (*)(const char* field);
using TransferServe = void (*)(const RequestContext& context, const char* field);

struct Route {
  // The AJAX `type`, or the form field that carries a transfer.
  const char* type = "";
  // Exactly one of these is set for a known request.
  Handler handler = nullptr;
  ActionMaker action = nullptr;
  TransferTest transferPresent = nullptr;
  TransferServe transferServe = nullptr;

  Access access = Access::administrators;
  // The parameter struct of the request: what the admission decodes the
  // document into and the handler or action receives. A transfer carries its
  // values in form fields and has the common members alone.
  ParamsDecoder decode = korvan::decodeAs<korvan::NoParams>;
  ParamsRules rules = &korvan::NoParams::rules;
  const char* paramsName = "NoParams";
  // Whether the console module's uid is taken from the stored module of
  // dogPara.id into the context (a request uid that differs is refused).
  bool bindsConsole = false;
  // Whether the first-login gate lets the request through (auth/first_login.h).
  bool beforePasswordSet = false;
  // Whether a request that cannot have the write lock within a second is
  // answered from a read transaction, its session upkeep left to the next
  // call (store/lock_wait.h). Only for requests that write nothing else.
  bool answersUnderLock = false;
  // Whether the daemon connection is opened before anything else.
  bool needsDaemon = false;
  // Whether a successful request has stored or sent something: its reply
  // must not read as failed once it has.
  bool changesState = true;
  // The parameter object whose `dogDB` is prepared as the context's rights.
  const char* rightsFrom = nullptr;
  // Whether the request is made without a session (the session check is
  // skipped; the caller has only its address).
  bool withoutSession = false;
  // Whether an admitted request extends the caller's session.
  bool extendsSession = true;
  // Whether a failed request restarts the device locally once admitted.
  bool rebootOnFailure = false;
  // Whether the reply carries the operation-log records, read as it is written.
  bool streamsLog = false;
  // The members a successful reply carries besides `ret` and the snapshot,
  // for the API reference; nullptr when none.
  const char* replyMembers = nullptr;
  // Whether a transfer is refused, before its admission, unless it comes as
  // a POST form: its session would otherwise stand in the URL.
  bool postOnly = false;

  bool isTransfer() const { return transferServe != nullptr; }
};

// The route of AJAX type `type`. A type the table does not know gets a route
// with no handler and no action, for administrators only.
const Route& ajaxRoute(std::string_view type);

// The file transfers in the order they are tested, first match wins.
const std::vector<Route>& transferRoutes();

// Every route, for checks over the whole table.
const std::vector<Route>& allRoutes();
