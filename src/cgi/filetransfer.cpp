// File transfers: firmware upload, database upload, database download, log
// export, recognised by their form fields.
//
// A transfer is admitted as an AJAX call is: the client must pass the IP access
// list, the form fields userID and token must name an open session, which
// the transfer extends, and the session's user must have the route's level.
// Without them nothing is stored and nothing is sent.
#include "cgi/filetransfer.h"

#include <string>

#include "cgi/admission.h"
#include "cgi/cgic.h"
#include "cgi/routes.h"
#include "cgi/transfers.h"
#include "form/form.h"
#include "form/spool.h"
#include "util/myerr.h"

namespace {

// Admits the transfer of `route` as an AJAX call is admitted, with the
// session named by the form fields userID and token, and returns what the
// admission learnt. Throws the CMyErr of the first refusal, having written
// nothing but the record of a known caller's refusal.
RequestContext admitTransfer(const Route& route) {
  const std::string userId = formField("userID");
  const std::string token = formField("token");
  Json::Value request;
  // An empty token names no session: the id is then left empty, which the
  // session check refuses, as it refuses an id that is not a number.
  request["user"]["id"] = token.empty() ? "" : userId;
  request["user"]["token"] = token;
  bool admitted = false;
  return admitRequest(route, route.type, request, admitted);
}

}  // namespace

bool isOperaFile() {
  for (const Route& route : transferRoutes()) {
    if (route.transferPresent(route.type)) return true;
  }
  return false;
}

int operaFile() {
  for (const Route& route : transferRoutes()) {
    if (!route.transferPresent(route.type)) continue;
    // Spools of uploads that were killed are not removed by their process.
    korvan::removeAbandonedSpools();
    RequestContext context;
    try {
      // Refused before the admission: the session of such a request would
      // stand in its URL.
      if (route.postOnly && !korvan::equalsNoCase(cgiRequestMethod, "post")) {
        throw CMyErr(CMyErr::err, "this transfer takes a POST form");
      }
      context = admitTransfer(route);
    } catch (const CMyErr& e) {
      transferReply(e.what());
      return 0;
    }
    route.transferServe(context, route.type);
    return 0;
  }
  return 0;
}
