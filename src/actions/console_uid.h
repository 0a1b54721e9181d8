// The console a KVM session request names, checked while the call is
// admitted, before the daemon is sent anything: its identity comes from the
// stored module, never from the request.
#pragma once

#include <string>

#include "util/request_params.h"

namespace korvan {

// The request's console module is `dogPara`.`id`. Returns the stored uid; a
// request uid that differs throws CMyErr(err, "invalid request: dogPara.uid"),
// and an id that names no module (or no id) CMyErr(err, "invalid request:
// dogPara.id"). Reads only.
std::string storedConsoleUid(const KvmParams& request);

}  // namespace korvan
