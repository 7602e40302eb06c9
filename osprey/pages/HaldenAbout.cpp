// HaldenAbout runs AboutBox's procedures (frmAbout.cpp) unchanged.
#include "osprey/pages/HaldenAbout.h"
