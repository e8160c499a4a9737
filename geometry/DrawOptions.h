#pragma once

// How a render view asks the scene to draw itself. The view owns these
// (they are properties of the picture, not of the document), fills them
// for each paint and passes them down the glDraw family; nothing that is
// drawn keeps or changes them.
struct CDrawOptions {
  // Meshes that qualify draw their faces as one indexed vertex-array call
  // (Mesh3dArrays.cpp); off draws face by face, the same picture.
  bool m_IndexedDrawing = true;
  // Objects in display-list mode draw through their cached lists; off
  // (while a command changes the scene) they draw what they hold now.
  bool m_DisplayLists = true;
  // Triangle meshes draw in their single mesh color whatever their own
  // color choice (the wireframe overlay in one global color).
  bool m_ForceMeshColor = false;
};
