#pragma once

#include <string>

class COrvexDoc;

namespace orvex {

class CUserInterface;

// Texts of the isosurface dialogs, shared by File/Open and the commands.
constexpr const char* kDecompressTitle = "Decompress Isosurface";
constexpr const char* kGridWidthsTitle = "Set Grid Widths";
constexpr const char* kExtractionTitle = "Parameters for Surface Extraction";

// Decoding of the files of `base` into a new polygon mesh of the document's
// scene, level by level when `eachLevel` (each level's surface is shown and
// its counts written). On failure the scene is as it was and the message is
// returned in `error`.
struct CIsoDecodeView {
  bool m_EachLevel = true;
  bool m_VisualDebug = true;
};
int DecodeIsosurfaceIntoScene(COrvexDoc& doc, CUserInterface* ui, const std::string& base,
                              const CIsoDecodeView& view, std::string& error);

// File/Open of a volume (".iso" potentials, ".bbm" signs, ".dat" grid file
// of a closed mesh, turned into its signed distance) or of a
// compressed surface ("..._header.txt"). -1 when `path` is none of them;
// else 1, or 0 with the document's last error set and the document as it
// was.
int OpenIsosurfaceFile(COrvexDoc& doc, const std::string& path);

} // namespace orvex
