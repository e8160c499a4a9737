#pragma once

#include <vector>

#include "app/UndoStep.h"
#include "geometry/Color.h"
#include "geometry/Material.h"
#include "geometry/Transform.h"
#include "geometry/Vector3d.h"

class CMesh3d;

namespace orvex {

// The values of the triangle meshes that a command changes in place, kept
// in side arrays beside the scene instead of a copy of it: positions (with
// saved positions, normals and transforms) and/or attributes (colours,
// flags, tags, bindings, materials, texture coordinates). Meshes are found
// again by their place in the scene and must still have the recorded
// element counts; one that does not is left alone.
class CMeshValuesStep : public CUndoStep {
public:
  // Attributes include the materials; kMaterials alone records only them.
  enum Parts : unsigned { kPositions = 1, kAttributes = 2, kMaterials = 4 };

  CMeshValuesStep(std::string label, const COrvexDoc& doc, unsigned parts);
  ~CMeshValuesStep() override;
  std::size_t Bytes() const override { return m_Bytes; }
  // Whether the scene still has the recorded shape: the same objects, each
  // mesh with the same element counts.
  bool Matches(const CSceneGraph3d& scene) const override;
  // Bytes the record of the scene would take.
  static std::size_t Estimate(const CSceneGraph3d& scene, unsigned parts);

protected:
  void ExchangeScene(CSceneGraph3d& scene) override;

private:
  struct CVertexPosition {
    double x, y, z;
    CVector3d saved, normal;
  };
  struct CFacePosition {
    CVector3d normal, aux;
  };
  struct CVertexAttributes {
    CColor color;
    int flag, counter, tagA, tagB, tagD;
  };
  struct CFaceAttributes {
    CColor color;
    int flag, tag;
  };
  struct CMeshRecord {
    int index = 0;
    int nbVertex = 0;
    int nbFace = 0;
    std::vector<CVertexPosition> vertexPositions;
    std::vector<CFacePosition> facePositions;
    CTransform transform;
    int positionsSwapped = 0;
    std::vector<CVertexAttributes> vertexAttributes;
    std::vector<CFaceAttributes> faceAttributes;
    CColor color;
    CMaterial material;
    int normalBinding = 0, colorBinding = 0, useMeshColor = 0, indexTexture = 0;
    unsigned char show = 0;
    std::vector<float> uv;
    std::vector<int> uvIndex;
  };

  void Record(CMeshRecord& record, const CMesh3d& mesh) const;
  void ExchangePositions(CMeshRecord& record, CMesh3d& mesh);
  void ExchangeAttributes(CMeshRecord& record, CMesh3d& mesh);
  static bool SameShape(const CMeshRecord& record, const CSceneGraph3d& scene);

  std::size_t Measure() const;

  unsigned m_Parts;
  std::size_t m_Bytes = 0;
  int m_NbObject = 0;
  std::vector<CMeshRecord> m_Meshes;
};

} // namespace orvex
