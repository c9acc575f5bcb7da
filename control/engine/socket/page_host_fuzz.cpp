// Page addresses come from whatever page hosts the control: the host rules behind the page
// check must take any text apart without reading past it, and a page they send to a lookup
// must name a host with a dot.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/engine/socket/host_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view url(reinterpret_cast<const char*>(data), size);
  const std::string host = UrlHost(url);
  if (host.size() > url.size()) std::abort();
  if (url.find(host) == std::string_view::npos) std::abort();
  (void)HasDot(host);
  (void)IsIPv4Literal(host);
  const PageHost page = ClassifyPageHost(url);
  if (page.kind == PageHostKind::kName && (page.name.empty() || !HasDot(page.name))) std::abort();
  if (page.name.size() > url.size()) std::abort();
  if (size >= 2) (void)PublicAddressVerdict(data[0], data[1]);
  return 0;
}
