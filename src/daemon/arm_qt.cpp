// CArm::qt lives apart from the other operations because it alone reads the
// CGI environment: the rest of the daemon link links without the CGI layer.
#include "cgi/cgic.h"
#include "daemon/arm.h"
#include "daemon/recv_pak.h"
#include "daemon/send_pak.h"

void CArm::qt(Json::Value& jsIData, Json::Value& jsOData) {
  CSendPak::qt(socketCnn, jsIData, jsOData, cgiRemoteAddr);
  CRecvPak::qt(socketCnn, jsIData, jsOData);
}
