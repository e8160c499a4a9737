#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "compression/ByteStream.h"
#include "compression/IsoContour.h"
#include "compression/IsoHeader.h"
#include "compression/IsoVolume.h"

// Progressive coding of an isosurface: the octree's signs and occupancy
// bits level by level (".sign", ".leaf"), the leaf vertices in their local
// frames (".geo"), and a text header ("_header.txt").

struct CIsoEncodeOptions {
  bool m_Geometry = true;
  int m_QuantXY = 8; // levels of both tangential components
  int m_QuantZ = 18; // levels of the normal component
};

struct CIsoEncodeResult {
  CIsoHeader m_Header;
  uint64_t m_SignBytes = 0, m_LeafBytes = 0, m_GeoBytes = 0;
  std::vector<uint64_t> m_LevelBytes; // sign + leaf bytes at the end of each level
  int m_Vertices = 0, m_Faces = 0;
};

// Encodes the surface of `volume` (dual contouring at unit step) into the
// three sinks (geo unused without geometry). Returns 0 with a message on
// bad options or a coder failure.
int IsoEncode(const CIsoVolume& volume, const CIsoEncodeOptions& options, CByteSink& sign,
              CByteSink& leaf, CByteSink& geo, CIsoEncodeResult& result, std::string& error);
// The same into base + "_header.txt", ".sign", ".leaf" and ".geo".
int IsoEncodeFiles(const CIsoVolume& volume, const CIsoEncodeOptions& options,
                   const std::string& base, CIsoEncodeResult& result, std::string& error);

// Called after each decoded level with that level's surface (cell centres,
// grid coordinates); 0 stops decoding.
using CIsoLevelCallback = std::function<int(int level, const CIsoSurface& surface)>;

// Decodes the streams of `header` into `surface` (grid coordinates).
// Returns 0 with a message on damaged or short streams.
int IsoDecode(const CIsoHeader& header, CByteSource& sign, CByteSource& leaf, CByteSource* geo,
              CIsoSurface& surface, std::string& error, const CIsoLevelCallback& onLevel = {});
// The same from the four files of `base`.
int IsoDecodeFiles(const std::string& base, CIsoHeader& header, CIsoSurface& surface,
                   std::string& error, const CIsoLevelCallback& onLevel = {});

// Vertex positions in space (origin + unit sizes x grid coordinates), as floats.
std::vector<float> IsoWorldXyz(const CIsoHeader& header, const CIsoSurface& surface);
