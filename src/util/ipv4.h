// The rules by which request texts are taken as IPv4 addresses.
//
// Two rules are kept, because the places that store addresses need them:
//
//  - isDottedQuad, for the IP access list and the server IP list: four
//    decimal numbers from 0 to 255, without leading zeros. The access list
//    keeps the text as entered and compares it, as text, with the client
//    address the web server reports, which is always in this form; any other
//    spelling ("10.1", "010.0.0.1") would be an entry that never matches.
//
//  - isInetAddress, for the server's network settings: any text inet_aton
//    reads ("10.1" is 10.0.0.1, "010.0.0.1" is 8.0.0.1). These are stored as
//    the value inet_aton gives (CTools::IP_strToInt) and shown again in the
//    strict form, so every such text has one meaning there; and the browser's
//    own check lets numbers with leading zeros through, which the strict rule
//    would refuse.
#pragma once

#include <string>
#include <string_view>

namespace korvan {

bool isDottedQuad(std::string_view text);

bool isInetAddress(const std::string& text);

}  // namespace korvan
