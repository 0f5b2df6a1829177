// The sequence variables the library writes before every call.
#include "psg.h"

char dm[256];
char homo[256];
double d1, d2, pw, tpwr, rof1, rof2, alfa, np, sw;
int oph, ix, OBSch, DECch;
