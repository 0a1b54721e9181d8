#include "store/cn.h"

// Defined in this order so that they are built in it (and released in the
// reverse order at exit).
const std::string CCN::dogShareMode[3] = {"full share", "passive share", "grab share"};
const std::string CCN::dogType[4] = {"--", "usb", "serial", "virtual media"};
const std::string CCN::dogStatus[3] = {"offline", "idle", "busy"};
const std::string CCN::dogPriv[4] = {"disable", "readonly", "readwrite", "--"};
const std::string CCN::dogCode[4] = {"10", "11", "12", "--"};
const std::string CCN::dogFrame[6] = {"15", "20", "25", "30", "35", "--"};
const std::string CCN::serverEncrypt[3] = {"des", "3des", "aes"};
const std::string CCN::userCode[3] = {"stream0", "stream1", "stream2"};
const std::string CCN::userFrame[5] = {"15", "20", "25", "30", "35"};
const std::string CCN::userMedia[3] = {"disable", "readonly", "readwrite"};
const std::string CCN::userStatus[2] = {"offline", "online"};
const std::string CCN::userPrior[3] = {"low", "middle", "high"};
const std::string CCN::ipsType[2] = {"blacklist", "whitelist"};

const std::string CCN::outOfTable = "--";
