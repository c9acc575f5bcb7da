#pragma once

#include <string>

// Opens the download window modeless on the download descriptor at `oftsPath`.
void ShowDownloadWindow(const std::u16string& oftsPath);
