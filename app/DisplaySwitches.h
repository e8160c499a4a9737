#pragma once

class COrvexDoc;

namespace orvex {

// Smooth (Gouraud) or flat shading: the document's shade model, the
// panel's "Gouraud" check, and per-vertex or per-face normals on every
// mesh (other objects rebuild their display lists when next drawn).
void SetSmoothShading(COrvexDoc& doc, int smooth);

} // namespace orvex
