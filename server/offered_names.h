// What may go into a download address. A descriptor line is split by the recipient's program
// at its last "/" into the address it fetches and the name it saves under, and the line is
// turned into a command text: a blank or a control character before that point, or a separator
// inside the name, would let an uploader steer where the recipient's file is written.
#pragma once

#include <string_view>

namespace server {

// A source name recipients may be offered a file under (UTF-8): not empty, not "." or "..", no
// folder separator and no control character. Judged by characters, so the trail byte 0x5C of a
// code page 932 character such as "ソ" is no separator.
bool IsOfferableName(std::string_view utf8);

// A Host header fit to be written into an address: a host name or IPv4 address, or a bracketed
// IPv6 address, with an optional port.
bool IsUrlHost(std::string_view host);

// True when every byte is a character a URL holds as it is: letters, digits and
// -._~:/?#[]@!$&'()*+,;=%.
bool IsUrlText(std::string_view text);

}  // namespace server
