#include "server/request_framing.h"

#include <gtest/gtest.h>

namespace server {
namespace {

int StatusOf(std::string_view method, std::vector<std::string> lengths,
             std::vector<std::string> codings = {}, std::uint64_t limit = 1000) {
  std::optional<FramingRefusal> refusal = CheckFraming(method, lengths, codings, limit);
  return refusal ? refusal->status : 0;
}

TEST(RequestFramingTest, BodiesAreTakenOnlyWithOneHonestLengthWithinTheLimit) {
  EXPECT_EQ(StatusOf("POST", {"1000"}), 0);
  EXPECT_EQ(StatusOf("POST", {"0"}), 0);
  EXPECT_EQ(StatusOf("GET", {}), 0);
  EXPECT_EQ(StatusOf("POST", {"1000", "1000"}), 0);

  EXPECT_EQ(StatusOf("POST", {}), 411);
  EXPECT_EQ(StatusOf("PUT", {}), 411);
  EXPECT_EQ(StatusOf("DELETE", {}), 411);
  EXPECT_EQ(StatusOf("POST", {"5"}, {"chunked"}), 411);
  EXPECT_EQ(StatusOf("GET", {}, {"chunked"}), 411);

  EXPECT_EQ(StatusOf("POST", {"1001"}), 413);
  EXPECT_EQ(StatusOf("GET", {"1001"}), 413);
  EXPECT_EQ(StatusOf("POST", {"18446744073709551615"}), 413);

  for (const char* lying : {"-1", "+5", "5 ", " 5", "0x10", "5,5", "", "18446744073709551616"}) {
    EXPECT_EQ(StatusOf("POST", {lying}), 400) << lying;
  }
  EXPECT_EQ(StatusOf("POST", {"5", "6"}), 400);
}

}  // namespace
}  // namespace server
