#pragma once
// A flat level for client tests and fuzz targets: LevelWorldInstance over an
// n x n floor of `size`-metre quads at y = 0 from the origin (x and z from 0
// to n x size), with a grid of one cell per quad. TvReleaseLevelWorld takes it down.

#include "core/maths.h"

void MakeFlatLevelWorld(int n, Real size);
