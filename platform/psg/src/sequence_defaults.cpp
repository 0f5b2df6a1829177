// What a sequence file need not define.  A user's sequence holds
// pulsesequence() and nothing else; these weak definitions give it the
// sequence variables and the two display renditions.  A program that defines
// any of them itself (twinscan defines all) exports its own, which the
// dynamic linker finds first.
#include "psg.h"

#include "run_state.h"

#define PSG_DEFAULT __attribute__((weak, visibility("default")))

extern "C" {

PSG_DEFAULT char dm[256];
PSG_DEFAULT char homo[256];
PSG_DEFAULT double d1, d2, pw, tpwr, rof1, rof2, alfa, np, sw;
PSG_DEFAULT double d3, d4;
PSG_DEFAULT int oph, ix, ct, OBSch, DECch;

PSG_DEFAULT void t_pulsesequence(void)
{
    psg::note_missing_rendition("t_pulsesequence");
}

PSG_DEFAULT void x_pulsesequence(void)
{
    psg::note_missing_rendition("x_pulsesequence");
}

} // extern "C"
