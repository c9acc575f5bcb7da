// The configuration in the registry: the host product's identifier (local machine, read only)
// and the transfer settings of the current user.
#pragma once

#include <string>

// The product identifier found under the highest-numbered installation key V01..V10.
std::u16string GetProductID();

std::u16string GetSendUserName();

// Each address whose value is found replaces its variable; an absent one keeps it.
void GetFileTransURL(std::u16string& fileTransUrl, std::u16string& saveSizeUrl,
                     std::u16string& historyUrl);

// Stores basMain::strSendName as the sender name.
bool SaveSendUserName();
