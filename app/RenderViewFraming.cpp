// The first look of a view: the model transform that frames the scene,
// whatever its units and the transforms of its meshes.

#include <cfloat>
#include <cmath>

#include "app/RenderViewState.h"
#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"

namespace orvex {
namespace {

// Radius the sphere around the scene's bounding box takes in view units:
// at the view's distance of 5 and 45 degrees of field, it just fits the
// picture's height, whichever way the scene is turned.
constexpr double kFramedRadius = 1.9;

// A vertex held by pointer (triangle meshes) or by value (quad and
// polygon meshes).
template <class T> const T* PointTo(const T& v) {
  return &v;
}
template <class T> const T* PointTo(T* const& v) {
  return v;
}

// Box of points, empty until the first one.
struct CBox {
  double min[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL};
  double max[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  void Add(const double p[3]) {
    for (int k = 0; k < 3; k++) {
      min[k] = std::fmin(min[k], p[k]);
      max[k] = std::fmax(max[k], p[k]);
    }
  }
};

// The map a mesh is drawn with (CTransform::glApply: translate, scale,
// rotate), as a 3 x 4 matrix.
void TransformMatrix(const CTransform& t, double m[3][4]) {
  // rotation by the angle in degrees about the normalised axis, as glRotate
  double x = t.m_RotationAxis.x, y = t.m_RotationAxis.y, z = t.m_RotationAxis.z;
  const double length = std::sqrt(x * x + y * y + z * z);
  double r[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  if (length > 0.0) {
    x /= length;
    y /= length;
    z /= length;
    const double a = t.m_RotationAngle * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a), u = 1.0 - c;
    const double rot[3][3] = {{x * x * u + c, x * y * u - z * s, x * z * u + y * s},
                              {y * x * u + z * s, y * y * u + c, y * z * u - x * s},
                              {z * x * u - y * s, z * y * u + x * s, z * z * u + c}};
    for (int i = 0; i < 3; i++)
      for (int j = 0; j < 3; j++) r[i][j] = rot[i][j];
  }
  const double scale[3] = {t.m_Scale.x, t.m_Scale.y, t.m_Scale.z};
  const double translation[3] = {t.m_Translation.x, t.m_Translation.y, t.m_Translation.z};
  for (int i = 0; i < 3; i++) {
    for (int j = 0; j < 3; j++) m[i][j] = scale[i] * r[i][j];
    m[i][3] = translation[i];
  }
}

// Adds the points of a vertex array (anything with x, y, z) through the
// map m.
template <class Vertices>
void AddPoints(CBox& box, const Vertices& vertices, const double m[3][4]) {
  for (const auto& vertex : vertices) {
    const auto* v = PointTo(vertex);
    if (!v) continue;
    double p[3];
    for (int k = 0; k < 3; k++) p[k] = m[k][0] * v->x + m[k][1] * v->y + m[k][2] * v->z + m[k][3];
    box.Add(p);
  }
}

// The box of every mesh's vertices where they are drawn: triangle meshes
// through their transforms, quad and polygon meshes as they are.
CBox SceneBox(const CSceneGraph3d& scene) {
  static const double identity[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
  CBox box;
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    switch (object ? object->GetType() : TYPE_OBJECT3D) {
    case TYPE_MESH3D: {
      const CMesh3d* mesh = static_cast<const CMesh3d*>(object);
      double m[3][4];
      TransformMatrix(mesh->m_Transform, m);
      AddPoints(box, mesh->m_ArrayVertex, m);
      break;
    }
    case TYPE_QUAD_MESH:
      AddPoints(box, static_cast<const CQuadMesh*>(object)->m_Vertices, identity);
      break;
    case TYPE_POLYGON_MESH:
      AddPoints(box, static_cast<const CPolygonMesh*>(object)->m_Vertices, identity);
      break;
    default:
      break;
    }
  }
  return box;
}

} // namespace

void CRenderViewState::FrameScene(const CSceneGraph3d& scene) {
  const CBox box = SceneBox(scene);
  double center[3], radius2 = 0.0;
  for (int k = 0; k < 3; k++) {
    center[k] = 0.5 * (box.min[k] + box.max[k]);
    radius2 += 0.25 * (box.max[k] - box.min[k]) * (box.max[k] - box.min[k]);
  }
  const double scale = kFramedRadius / std::sqrt(radius2);
  const double t[3] = {-scale * center[0], -scale * center[1],
                       kDefaultDistance - scale * center[2]};
  // an empty scene, a single point or values beyond floats keep the
  // view's own defaults
  for (const double v : {scale, t[0], t[1], t[2]})
    if (!(std::fabs(v) < FLT_MAX)) return;

  // the scaled centre lands where the view looks, at the default distance
  const float s = static_cast<float>(scale);
  m_HomeScale = {s, s, s};
  m_HomeTranslation = {static_cast<float>(t[0]), static_cast<float>(t[1]),
                       static_cast<float>(t[2])};
  m_Scale = m_HomeScale;
  m_Translation = m_HomeTranslation;
  m_Rotation = {0.0f, 0.0f, 0.0f};
}

} // namespace orvex
