// "address.dat" in the program folder: the user's address book, read into
// basMain::colAddressBook and written back whole after every change.
#pragma once

bool ReadAddressBookFile();
bool WriteAddressBookFile();
