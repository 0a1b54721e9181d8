// The AJAX dispatcher: recognises a call by its postKey field, parses the JSON
// request, opens the daemon connection where the route of its `type` needs it
// (cgi/routes.h), runs the admission (cgi/admission.h), calls the route's
// handler or change action, and writes one JSON reply. All members static;
// one request per process.
#pragma once

#include <json/json.h>

#include <memory>
#include <string>

#include "cgi/routes.h"
#include "util/request_context.h"

class CAjax {
 public:
  // True when postKey holds 1 to 29,999 bytes that are not CR or LF.
  static bool isAjax();
  // Serves the AJAX request completely; always returns 0.
  static int main2(std::string siteLanguage);
  // Parses the request, writes the response header, opens the daemon
  // connection where the route needs it, runs the admission (CMyErr on a
  // refusal) and returns the context it admitted. For a route made without a
  // session the caller has only its address until the login succeeds.
  // The decoded parameters go to `params`.
  static RequestContext begin2(Json::Value& jsIData, Json::Value& jsOData,
                               std::unique_ptr<korvan::Params>& params);
};

// Calls the handler of `route`, which is not a change action. A login
// replaces the context's caller by the user it logged in.
void onOtherDBAction(const Route& route, RequestContext& context, const korvan::Params& params,
                     Json::Value& jsOData);
// Runs the change action of `route`; CMyErr(err, "unknown request type") for
// a route without one.
void onModifyDBAction(const Route& route, const RequestContext& context,
                      const korvan::Params& params, Json::Value& jsOData);
