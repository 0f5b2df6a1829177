#include "shim_tables.h"

namespace shims {

NameTable sh_names_std = {
    "z0f",  "z0",    "z1",     "z1c",    "z2",     "z2c",  "z3",     "z4",
    "z5",   "z6",    "z7",     "z8",     "zx3",    "zy3",  "z4x",    "z4y",
    "x1",   "y1",    "xz",     "xy",     "x2y2",   "yz",   "x3",     "y3",
    "yz2",  "zx2y2", "xz2",    "zxy",    "z3x",    "z3y",  "z2x2y2", "z2xy",
    "z3x2y2", "z3xy", "z2x3",  "z2y3",   "z3x3",   "z3y3", "z5x",    "z5y",
    "z4x2y2", "z4xy", "z3c",   "z4c",    "x4",     "y4",   "",       "",
};

NameTable sh_names_12 = {
    "z0f",  "z0",    "z1",     "z1c",    "z2",     "z2c",  "z3",     "z4",
    "z5",   "z6",    "z7",     "z8",     "zx3",    "zy3",  "x4",     "y4",
    "x1",   "y1",    "xz",     "xy",     "x2y2",   "yz",   "x3",     "y3",
    "yz2",  "zx2y2", "xz2",    "zxy",    "z3x",    "z3y",  "z2x2y2", "z2xy",
    "z3x2y2", "z3xy", "z2x3",  "z2y3",   "z3x3",   "z3y3", "z5x",    "z5y",
    "z4x2y2", "z4xy", "z3c",   "z4c",    "",       "",     "",       "",
};

const std::uint16_t valid_mask[MAX_SHIMSET + 1][4] = {
    {0x0000, 0x0000, 0x0000, 0x0000},  //  0
    {0x00FE, 0x00FF, 0x0000, 0x0000},  //  1
    {0x01FE, 0x0FFF, 0x0000, 0x0000},  //  2
    {0x03D6, 0xFFFF, 0x0000, 0x0000},  //  3
    {0xF7D6, 0xFFFF, 0x0000, 0x0000},  //  4
    {0xFFFE, 0xFFFF, 0x0FFF, 0x0000},  //  5
    {0x01D6, 0x0FFF, 0x0000, 0x0000},  //  6
    {0x03D6, 0x3FFF, 0x0000, 0x0000},  //  7
    {0x00D4, 0x0F3F, 0x0000, 0x0000},  //  8
    {0xF7D6, 0xFFFF, 0x33FF, 0x0000},  //  9
    {0x01FE, 0x00FF, 0x0000, 0x0000},  // 10
    {0x0014, 0x003F, 0x0000, 0x0000},  // 11
    {0xF1D6, 0xFFFF, 0x0000, 0x0000},  // 12
    {0xF3D6, 0xFFFF, 0x00C0, 0x0000},  // 13
    {0xF3D6, 0xFFFF, 0x33C3, 0x0000},  // 14
    {0x00D6, 0x0F3F, 0x0000, 0x0000},  // 15
    {0x003E, 0x0FFF, 0x0C00, 0x0000},  // 16
    {0xF3D6, 0xFFFF, 0x0000, 0x0000},  // 17
    {0x0056, 0x0FFF, 0x0000, 0x0000},  // 18
    {0xF7D6, 0xFFFF, 0x0000, 0x0000},  // 19
    {0xF7D6, 0xFFFF, 0x00C3, 0x0000},  // 20
};

}  // namespace shims
