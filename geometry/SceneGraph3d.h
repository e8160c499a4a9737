#pragma once

#include <mutex>
#include <string>

#include "geometry/Array3d.h"
#include "geometry/DrawOptions.h"
#include "geometry/Object3d.h"
#include "geometry/TextureImage.h"

// Quad and polygon meshes implement this beside CObject3d: the scene draws
// them without display lists and switches their use-mesh-color flag through
// it, without knowing their classes.
class CSceneMesh3d {
public:
  virtual ~CSceneMesh3d() = default;
  virtual void DrawContent() const = 0;
  virtual void SetUseMeshColor(int use) = 0;
};

// The document's ordered list of 3D objects and its table of texture images.
// It owns both: Free (and the destructor) deletes every object and texture.
// Meshes refer to textures by their index in the table.
class CSceneGraph3d {
public:
  CArray3d<CObject3d> m_ArrayObject;
  CArray3d<CTextureImage> m_ArrayTexture;

  // Render-side cache: the texture names GL holds for the table in one
  // share group. Drawing (const) fills it; it is no state of the scene.
  // The objects keep their display lists the same way. Paints of the scene
  // from several threads take turns on these caches (m_RenderMutex);
  // readers that do not draw never touch them.
  mutable unsigned int* m_pIndexTextures = nullptr; // one OpenGL name per texture, or null
  mutable int m_NbIndexTexture = 0;                 // entries in m_pIndexTextures
  mutable int m_TextureGroup = 0;                   // share group of those names (GlListGroup.h)
  mutable int m_ListDone = 0;                       // 0 until glBuildList has run

  CSceneGraph3d() = default;
  CSceneGraph3d(const CSceneGraph3d&) = delete;
  CSceneGraph3d& operator=(const CSceneGraph3d&) = delete;
  // Moves take the objects, textures and texture names along; the moved-from
  // scene is left empty (a moved-into scene's old contents are freed).
  CSceneGraph3d(CSceneGraph3d&& other) noexcept;
  CSceneGraph3d& operator=(CSceneGraph3d&& other) noexcept;
  virtual ~CSceneGraph3d();

  // A new scene (the caller owns it) with a faithful copy of every object
  // (CObject3d::Clone) and texture, in the same order; it uploads its own
  // textures when first drawn. Null when an object cannot be copied.
  CSceneGraph3d* Clone() const;
  // Exchanges the whole contents of two scenes.
  void Swap(CSceneGraph3d& other) noexcept;

  // objects
  int Add(CObject3d* object) { return m_ArrayObject.Add(object); }
  int NbObject() const { return m_ArrayObject.GetSize(); }
  CObject3d* GetAt(int i) const;
  int Find(const CObject3d* object) const { return m_ArrayObject.Find(object); }
  CObject3d* FindObjectOfType(int type) const;
  // Takes object i out of the list without deleting it (the caller owns it
  // from then on); null when i is out of range.
  CObject3d* RemoveAt(int i);
  // Deletes object i and removes it from the list; 0 when out of range.
  int DeleteAt(int i);

  // textures
  int AddTexture(CTextureImage* texture) { return m_ArrayTexture.Add(texture); }
  int NbTexture() const { return m_ArrayTexture.GetSize(); }
  CTextureImage* GetTexture(int i) const;
  // Index of the first texture whose file name equals fileName exactly
  // (case-sensitive); returns 1 when found, else 0.
  int FindTexture(const std::string& fileName, int& index) const;

  // Deletes the texture names, every texture and every object, and clears
  // the built flag so that the next glDraw uploads the textures of whatever
  // the scene is refilled with.
  void Free();

  // drawing, with the options of the view that paints; each call holds
  // m_RenderMutex while it runs
  virtual int glBuildList() const;
  void glDraw(const CDrawOptions& options = CDrawOptions()) const;
  void glDrawType(int type, const CDrawOptions& options = CDrawOptions()) const;
  void glDrawContent(int bindTextures, const CDrawOptions& options = CDrawOptions()) const;

  // bulk operations
  void SetModifiedAll();
  void BuildAdjacencyAll();
  void CalculateNormalPerFaceAll();
  void CalculateNormalPerVertexAll();
  void ShowAll(int visible);
  void SetNormalBindingAll(int binding);
  void SetColorBindingAll(int binding);
  void SetUseMeshColorAll(int use);

private:
  friend int glBuildScene(const CSceneGraph3d& scene);
  void DeleteTextureNames() const;
  void glUploadTextures() const;
  mutable std::mutex m_RenderMutex;
  int glBuildLists(const CDrawOptions& options) const;
  void glBindTextureOf(CObject3d* object) const;
  // Draws one object: triangle meshes with the options, the others as
  // their own glDraw does.
  static int glDrawObject(CObject3d* object, const CDrawOptions& options);
};
