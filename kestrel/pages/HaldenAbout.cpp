// HaldenAbout runs AboutBox's procedures (frmAbout.cpp) unchanged.
#include "kestrel/pages/HaldenAbout.h"
