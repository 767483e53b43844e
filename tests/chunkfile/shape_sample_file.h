#pragma once
// A plain chunk file holding every chunk class of the shape, object,
// environment and light families, with values that survive a read and a
// write unchanged (the SHPCENTR radius equals the header's stored radius,
// light-scale thresholds are whole, tracks are in the current order).

#include <string>

#include "tests/chunkfile/shape_test_support.h"

inline std::string SampleFamiliesFile() {
    const std::string polygons = I32s({1, 0, 0, 0, 0, 1, 2, -1, -1}) + I32s({20, 1, 4, 7 | 1 << 16, 0, 2, 3, 1, -1});
    const std::string uvLists = U32Bytes(2) + U32Bytes(3) + F32s({0, 0, 1, 0, 0, 1}) + U32Bytes(4) +
                                F32s({0, 0, 1, 0, 1, 1, 0, 1});
    const std::string shape = Parent("QORSHAPE", {
        Leaf("SHPHEAD1", U32Bytes(0x20) + Fixed("user", 16) + I32s({3, 4, 2}) + F32s({2.5f}) +
                             I32s({0, 100, 0, 100, 0, 0, 2}) + U32Bytes(1) + Names({"Tank"})),
        Leaf("SHPRAWVT", I32s({0, 0, 0, 100, 0, 0, 100, 100, 0, 0, 100, 0})),
        Leaf("SHPVFLAG", U32Bytes(1) + U32Bytes(2) + U32Bytes(3) + U32Bytes(4)),
        Leaf("SHPVNORM", F32s({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1})),
        Leaf("SHPPNORM", F32s({0, 0, 1, 0, 0, -1})),
        Leaf("SHPPOLYS", polygons),
        Leaf("SHPUVCRD", uvLists),
        Leaf("SHPTEXFN", U32Bytes(2) + Names({"wall.bmp", "floor"})),
        Leaf("SHPCENTR", I32s({50, 50, 0}) + F32s({2.5f})),
        Leaf("SHPFLAGS", U32Bytes(0x10)),
        Parent("SUBSHAPE", {
            Leaf("SUBSHPHD", U32Bytes(0) + I32s({1, 4, 1}) + F32s({2.5f}) + I32s({0, 100, 0, 100, 0, 0})),
            Leaf("SHPRAWVT", I32s({0, 0, 1, 100, 0, 1, 100, 100, 1, 0, 100, 1})),
            Leaf("SHPPOLYS", I32s({1, 0, 0, 0, 0, 1, 2, 3, -1})),
        }),
    });
    const std::string object = Parent("QOOBJECT", {
        ObjectHeader("Tank", 3, 0, 0x100, 5),
        Parent("OBINTDT", {Leaf("OBJNOTES", std::string("Enter notes here\0\0\0\0", 20))}),
        Parent("MODULEDT", {
            Leaf("VMDARRAY", U32Bytes(2) + I32s({1, 1, 5, 6}) + I32s({2, 0, 7, 8})),
            Leaf("ADJMDLEP", U32Bytes(1) + I32s({1, 2, 3, 4, 5})),
            Leaf("MODFLAGS", I32s({1, 2})),
            Leaf("MODZONE", I32s({3, 4})),
            Leaf("MODACOUS", I32s({-1}) + F32s({-1.0f}) + U32Bytes(0)),
        }),
        Leaf("OBJTRAK2", U32Bytes(1) + std::string(76, '\x01') + U32Bytes(0x80000005) + U32Bytes(9)),
        Leaf("TRAKSOUN", I32s({5000, 40000, 127, 0, 0, 0}) + Padded("engine")),
        Leaf("TRSNDCAT", Padded("") + I32s({1, 2})),
        Leaf("ALTLOCAT", I32s({1, 2}) + U32Bytes(1) + std::string(36, '\x02')),
        Parent("OBJPRJDT", {}),
        Leaf("SHPVTINT", Fixed("day", 8) + U32Bytes(0) + U32Bytes(4) + I32s({1, 2, 3, 4})),
    });
    return PlainFile({
        Leaf("QIFVERIN", U32Bytes(0)),
        Parent("QORENVDT", {
            Leaf("ENDTHEAD", U32Bytes(0) + Fixed("editor", 16) + I32s({4})),
            Leaf("QIFFNAME", Padded("maps\\sample.qif")),
            Leaf("ENVSDSCL", U32Bytes(0) + U32Bytes(0x408F4000)), // the f64 1000.0
            Leaf("ENVACOUS", I32s({0, 0x40000000, 0})),
            Leaf("SOUNDDIR", Padded("sounds\\level1")),
            Leaf("RANTEXID", Padded("grass") + U32Bytes(2) + I32s({10, 11, 0, 0})),
        }),
        Parent("SPECLOBJ", {}),
        shape,
        object,
        Parent("DUMMYOBJ", {
            Leaf("DUMOBJDT", I32s({1, 2, 3, 0, 1, 0, 0, 0, 1}) + F32s({0, 0, 0, 1}) + Padded("L3#Tank")),
            Leaf("DUMOBJTX", Padded("Sound\nbang")),
        }),
        Parent("LIGHTSET", {Leaf("LTSETHDR", "daylight" + U32Bytes(0)), Leaf("STDLIGHT", std::string(84, '\x03'))}),
        Leaf("AMBIENCE", U32Bytes(0x808080)),
        Leaf("LITSCALE", U32Bytes(1) + F32s({0.5f, 100, 0, 2, 50, 10}) + I32s({0, 0, 0, 0})),
        Leaf("PLOBJLIT", std::string(60, '\x04') + U32Bytes(2) + I32s({1, 2})),
    });
}
