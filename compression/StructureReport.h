#pragma once

#include <string>

#include "compression/StructureEncoder.h"

namespace orvex {

class CStructureMesh;

// The report of one run: cost, duration, speed and counts, one line each.
std::string StructureReport(const CStructureResult& result);

// The multiple-seed table: its header and one row per seed face (seed, the
// face's boundary edges, the vertices around it, offsets, dummy codes, cost).
std::string StructureSeedTableHeader();
std::string StructureSeedRow(const CStructureMesh& mesh, int seed, const CStructureResult& result);

} // namespace orvex
