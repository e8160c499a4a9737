#pragma once

// SceneSnapshot (SceneSnapshot.h) of a document's scene, with what the
// document itself reports: highlight flags and indices, overlays, display
// state and the modified flag.

#include <sstream>
#include <string>

#include "app/OrvexDoc.h"
#include "tests/support/SceneSnapshot.h"

namespace testsupport {

inline std::string DocumentSnapshot(const COrvexDoc& doc) {
  std::ostringstream out;
  out << "highlight vertex " << doc.m_bHighlightVertex << ' ' << doc.m_HighlightVertexIndex
      << " second " << doc.m_bHighlightSecondVertex << ' ' << doc.m_HighlightSecondVertexIndex
      << " face " << doc.m_bHighlightFace << ' ' << doc.m_HighlightFaceIndex << '\n'
      << "overlay " << doc.m_bWireframeOverlay << " global color " << doc.m_bGlobalColorOverlay
      << " lighting " << doc.m_bLighting << " polygon mode " << doc.m_Display.m_PolygonMode
      << " smooth " << doc.m_Display.m_bSmoothShading << " texture " << doc.m_Display.m_bTexture2D
      << '\n'
      << "modified " << doc.IsModified() << " command running " << doc.IsCommandRunning() << '\n';
  return out.str() + SceneSnapshot(doc.m_SceneGraph);
}

} // namespace testsupport
