// Application-wide state of the main module, set at start-up and read by the windows.
#pragma once

#include <string>

#include "app/main/cls_address.h"

namespace basMain {

inline bool blnLog = false;             // append the control's log lines to "fileup.log"
inline std::u16string strProductID;     // host product installation; empty: not installed
inline std::u16string strSendName;      // sender name, editable in the forward window
inline std::u16string strTempDir;       // the user's temporary directory, ending with "\"
inline std::u16string strFileTransUrl;  // upload address
inline std::u16string strSaveSizeUrl;   // saved-size query address
inline std::u16string strHistoryUrl;    // history query address
inline AddressCollection colAddressBook;

}  // namespace basMain
