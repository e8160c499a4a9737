#include "tests/support/SceneSnapshot.h"

#include <sstream>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"

namespace testsupport {
namespace {

void DescribeColor(std::ostream& out, const CColor& c) {
  out << int(c.r) << ',' << int(c.g) << ',' << int(c.b);
}

void DescribeMesh(std::ostream& out, const CMesh3d& mesh) {
  out << " vertices " << mesh.NbVertex() << " faces " << mesh.NbFace() << " list mode "
      << mesh.m_DisplayListMode << " use mesh color " << mesh.m_UseMeshColor << " modified "
      << mesh.m_Modified << " revision " << mesh.m_Revision << " show " << int(mesh.m_Show)
      << " bindings " << mesh.m_NormalBinding << mesh.m_ColorBinding << " color ";
  DescribeColor(out, mesh.m_Color);
  out << '\n';
  for (int i = 0; i < mesh.NbVertex(); i++) {
    const CVertex3d* v = mesh.GetVertex(i);
    out << "  v" << i << " at " << v->x << ' ' << v->y << ' ' << v->z << " normal " << v->m_Normal.x
        << ' ' << v->m_Normal.y << ' ' << v->m_Normal.z << " flag " << v->m_Flag << " counter "
        << v->m_Counter << " tags " << v->m_TagA << ',' << v->m_TagB << ',' << v->m_TagD
        << " color ";
    DescribeColor(out, v->m_Color);
    out << '\n';
  }
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    out << "  f" << i << " flag " << f->m_Flag << " tag " << f->m_Tag << " color ";
    DescribeColor(out, f->m_Color);
    out << '\n';
  }
}

} // namespace

std::string SceneSnapshot(const CSceneGraph3d& scene) {
  std::ostringstream out;
  out.precision(17);
  out << "objects " << scene.NbObject() << " textures " << scene.NbTexture() << '\n';
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    out << "object " << i << " type " << object->GetType();
    if (object->GetType() == TYPE_MESH3D) {
      DescribeMesh(out, *static_cast<const CMesh3d*>(object));
    } else if (object->GetType() == TYPE_VECTORSET3D) {
      const auto* set = static_cast<const CVectorSet3d*>(object);
      out << " points " << set->NbPoint() << " modified " << set->m_Modified << " revision "
          << set->m_Revision << '\n';
    } else {
      out << '\n';
    }
  }
  return out.str();
}

} // namespace testsupport
