// The phrase page shares its whole design with the hex page (WEPkeyDlg.cpp).
#include "kestrel/pages/WEPphraseDlg.h"
