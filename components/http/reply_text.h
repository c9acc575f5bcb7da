// The body of a query reply as text: in the charset the reply names, else in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace http {

// The charset parameter of a Content-Type value, lower case and unquoted; empty when none.
std::string CharsetOf(std::string_view contentType);

std::u16string DecodeReplyText(std::string_view body, std::string_view contentType);

}  // namespace http
