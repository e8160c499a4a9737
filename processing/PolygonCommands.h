#pragma once

// The menu commands of quad and polygon meshes, without any toolkit: each
// does the whole work of its command on a scene and says what to show
// (CSubdivisionOutcome: changed, status text, message box).

#include <string>

#include "processing/QuadShapes.h"
#include "processing/SubdivisionCommands.h"

class CSceneGraph3d;
class CTextureImage;

constexpr const char* kMenuTriangleToQuad = "&Algorithms/Mesh conversion/Triangle -> quad";
constexpr const char* kMenuPolygonToStar = "&Algorithms/Mesh conversion/Polygonal -> triangle/star";
constexpr const char* kMenuPolygonToRegular =
    "&Algorithms/Mesh conversion/Polygonal -> triangle/max regularity (valence 6)";
constexpr const char* kMenuPolygonToQuads =
    "&Algorithms/Mesh conversion/Polygonal -> quad && triangles";
constexpr const char* kMenuTriangleToPolygon = "&Algorithms/Mesh conversion/Triangle -> polygonal";
constexpr const char* kMenuQuadToPolygon = "&Algorithms/Mesh conversion/Quad -> polygonal";
constexpr const char* kMenuCatmullClark = "&Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark";
constexpr const char* kMenuKobbelt = "&Algorithms/Surface subdivision/Quad-mesh/Kobbelt";
constexpr const char* kMenuQuadBox = "&Predefined/Quad-mesh/box";
constexpr const char* kMenuMushroom = "&Predefined/Quad-mesh/mushroom...";

// Message when the first object is not of the kind a conversion needs.
constexpr const char* kNoMeshText = "Sorry, no mesh in scenegraph";

// Triangle -> quad on the first object; a mesh without flagged faces is
// left as it was, and the status says so.
CSubdivisionOutcome CommandTriangleToQuad(CSceneGraph3d* scene);
// Polygonal -> triangle (star or max regularity): the scene becomes the
// one triangle mesh made from its first object.
CSubdivisionOutcome CommandPolygonToTriangles(CSceneGraph3d* scene, bool regular);
// Polygonal -> quad && triangles on the first object.
CSubdivisionOutcome CommandPolygonToQuadsAndTriangles(CSceneGraph3d* scene);
// Triangle -> polygonal, Quad -> polygonal: a polygon mesh appended in
// place of the first object.
CSubdivisionOutcome CommandTriangleToPolygon(CSceneGraph3d* scene);
CSubdivisionOutcome CommandQuadToPolygon(CSceneGraph3d* scene);
// Weld of the first object when it is a polygon mesh (changed 0 and no
// message when it is not).
CSubdivisionOutcome CommandWeldPolygons(CSceneGraph3d* scene);
// Catmull-Clark or Kobbelt step of every quad mesh; "Insuffisant memory"
// when the result would not fit.
CSubdivisionOutcome CommandQuadSubdivision(CSceneGraph3d* scene, bool kobbelt);
// Smooths every quad mesh of the scene once; returns the number of quad
// meshes smoothed (the Smooth command calls it beside its triangle work).
int SmoothQuadMeshes(CSceneGraph3d* scene);

// Predefined/Quad-mesh: the scene becomes the new quad mesh.
CSubdivisionOutcome CommandQuadBox(CSceneGraph3d* scene);
CSubdivisionOutcome CommandMushroom(CSceneGraph3d* scene, const CMushroomParams& params);

// Predefined meshes of triangles: the scene becomes the new mesh.
CSubdivisionOutcome CommandTetrahedron(CSceneGraph3d* scene);
CSubdivisionOutcome CommandBox(CSceneGraph3d* scene);
// "Map" dialog: counts 1 … 10000, range.
CSubdivisionOutcome CommandMap(CSceneGraph3d* scene, int nx, int nz, float min, float max,
                               bool peaks);

// y ranges of image height fields: Predefined/Map from image and opened
// images.
constexpr float kMapFromImageYRange = 0.1f;
constexpr float kOpenedImageYRange = 0.2f;

// Image height field ("Sampling" dialog): columns x rows samples of an
// image whose pixels are true red, green, blue with row 0 at the bottom,
// as triangles or quads, ranged to [-1, 1] in x and z and [-yRange, yRange]
// in y. The scene becomes the new mesh.
CSubdivisionOutcome CommandMapFromImage(CSceneGraph3d* scene, const CTextureImage& image,
                                        int columns, int rows, bool useColors, bool quads,
                                        float yRange);
