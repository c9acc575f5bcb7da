// Test support: the shipped Zorvel.dll hosted as in RegisteredControlTest, uploading to
// orvane-server, whose address and data folder come from the server fixture.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "control/testing/registered_control_win.h"

namespace zorvel::testing {

// The parameter data file's line of a forward from `productId` to one recipient, with the
// source and work file fields as given.
std::string ParaLine(const std::string& productId, const std::string& sources,
                     const std::string& works);

class RegisteredServerTest : public RegisteredControlTest {
 protected:
  void SetUp() override;
  // Starts the upload and expects the server's "1", as Result, HTMLResult and OnComplete.
  void UploadAndExpectSuccess();
  // The files of the forwards made since the test began (the server keeps one folder per
  // forward), in the order their parameter data files list the work files.
  std::vector<std::string> StoredFiles();

  std::string serverUrl_;
  std::filesystem::path data_;
  std::vector<std::filesystem::path> earlierForwards_;
};

}  // namespace zorvel::testing
