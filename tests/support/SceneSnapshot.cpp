#include "tests/support/SceneSnapshot.h"

#include <sstream>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VectorSet3d.h"
#include "tests/support/SceneFingerprint.h"

namespace testsupport {

std::string SceneSnapshot(const CSceneGraph3d& scene) {
  using namespace testmeshes;
  const SceneFingerprint fingerprint = FingerprintScene(scene);
  std::ostringstream out;
  out << "objects " << scene.NbObject() << " textures " << scene.NbTexture() << " overlays "
      << fingerprint.overlays << '\n';
  int index = 0;
  for (const SceneFingerprint::Object& object : fingerprint.objects) {
    for (int aspect = 0; aspect < kAspectCount; aspect++)
      out << "object " << index << ' ' << AspectName(aspect) << ' ' << object.hash[aspect] << '\n';
    index++;
  }
  // what only drawing could have changed: the revision a list is built from
  for (int i = 0; i < scene.NbObject(); i++) {
    CObject3d* object = scene.GetAt(i);
    if (object->GetType() == TYPE_MESH3D) {
      const auto* mesh = static_cast<const CMesh3d*>(object);
      out << "mesh " << i << " modified " << mesh->m_Modified << " revision " << mesh->m_Revision
          << '\n';
    } else if (object->GetType() == TYPE_VECTORSET3D) {
      const auto* set = static_cast<const CVectorSet3d*>(object);
      out << "vector set " << i << " modified " << set->m_Modified << " revision "
          << set->m_Revision << '\n';
    }
  }
  return out.str();
}

} // namespace testsupport
