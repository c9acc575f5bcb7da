// The configuration in the registry: the host product's identifier (local machine, read only),
// the transfer settings of the current user and the server addresses of the machine.
#pragma once

#include <string>

// The product identifier found under the highest-numbered installation key V01..V10.
std::u16string GetProductID();

std::u16string GetSendUserName();

// Each address whose value is found replaces its variable; an absent one keeps it. The user's
// own value is taken first, the machine's (written by the setup) when the user has none.
void GetFileTransURL(std::u16string& fileTransUrl, std::u16string& saveSizeUrl,
                     std::u16string& historyUrl);

// Stores basMain::strSendName as the sender name.
bool SaveSendUserName();
